#pragma once
// A 128-bit hash of a picture's bytes: two independent 64-bit mixes, eight
// bytes at a time, so that pictures that differ share a hash only by a chance
// of about 2^-128. Not for security: for telling pictures apart quickly.

#include <cstddef>
#include <string>

namespace Vellix {

// 16 bytes.
std::string ContentHash(const void* aData, size_t aSize);

}  // namespace Vellix
