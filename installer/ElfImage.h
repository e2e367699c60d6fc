// Whether a shared library file is whole enough for the dynamic loader: a
// library cut short (a damaged installer record that makes the stub copy the
// wrong bytes) would be mapped past its end, and the first touch of the
// missing pages kills the process with SIGBUS instead of failing dlopen.
#pragma once

#include <string>

namespace Decantor {

// True when aPath is a 64-bit little-endian ELF shared object for the machine
// this program runs on, whose program and section header tables and every
// loadable segment lie within the file.
bool IsCompleteSharedObject(const std::string& aPath);

}  // namespace Decantor
