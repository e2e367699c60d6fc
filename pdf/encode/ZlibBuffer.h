#pragma once
// Whole-buffer zlib routines. The output is a complete zlib stream (or its
// decompressed bytes); the vector holds exactly the bytes produced.

#include <cstdint>
#include <vector>

#include <vellix/ZlibError.h>

namespace Vellix {

// Compresses aInBytes bytes at aLevel (0 to 9; the highest by default) into a
// complete zlib stream. Throws ECompressionError "error".
std::vector<uint8_t> CompressBuf(const void* aInBuf, int64_t aInBytes, int aLevel = 9);

// Decompresses a complete zlib stream. aOutEstimate is the expected size (0:
// unknown); the output grows as needed. Throws EDecompressionError "error"
// for corrupt or truncated data.
std::vector<uint8_t> DecompressBuf(const void* aInBuf, int64_t aInBytes, int64_t aOutEstimate = 0);

// Decompresses a complete zlib stream into the caller's buffer of aBufSize
// bytes; returns the bytes produced. Throws EZlibError "ZLib error: target
// buffer may be too small" when the data does not fit, EDecompressionError
// "error" for corrupt data.
int64_t DecompressToUserBuf(const void* aInBuf, int64_t aInBytes, void* aOutBuf, int64_t aBufSize);

}  // namespace Vellix
