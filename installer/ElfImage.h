// Whether a shared library file is whole enough for the dynamic loader: a
// library cut short (a damaged installer record that makes the stub copy the
// wrong bytes) would be mapped past its end, and the first touch of the
// missing pages kills the process with SIGBUS instead of failing dlopen.
#pragma once

#include <cstdint>
#include <string>

namespace Decantor {

// True when aPath is a 64-bit little-endian ELF shared object for the machine
// this program runs on, whose program and section header tables and every
// loadable segment lie within the file.
bool IsCompleteSharedObject(const std::string& aPath);

// Where the 64-bit ELF file at the start of aData ends: past its headers,
// its program and section header tables, its loadable segments and its
// sections. 0 when aData does not begin with such a file, or when any of
// those lies beyond aSize. The linker writes the section header table last,
// so for its output this is the file's size: what follows it in a larger
// piece is another file.
uint64_t ElfFileEnd(const uint8_t* aData, uint64_t aSize);

}  // namespace Decantor
