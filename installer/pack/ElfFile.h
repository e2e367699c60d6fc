// Just enough of the ELF format to check the pieces of an installer before packaging them.
#pragma once

#include <cstdint>
#include <string>

namespace Decantor {

// The facts read from an ELF file's header and dynamic symbol table.
struct TElfInfo {
  bool IsElf = false;        // the file starts with the ELF identification
  uint16_t Type = 0;         // e_type: 2 program, 3 shared object (or position-independent program)
  uint16_t Machine = 0;      // e_machine
  bool Is64LittleEndian = false;
};

// Reads the header of aPath; IsElf is false for any other file or a read failure.
TElfInfo ReadElfInfo(const std::string& aPath);

// True when the 64-bit little-endian ELF file aPath defines the dynamic symbol aName as a
// global or weak function (an export that dlsym finds). False for any other file.
bool ElfExportsFunction(const std::string& aPath, const std::string& aName);

}  // namespace Decantor
