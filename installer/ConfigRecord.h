// The stub's own configuration record, read in place at run time.
//
// Linking a call to ConfigRecordBytes or ReadConfigRecord into a program places the 256-byte
// record in that program's initialised data (.data), where the packaging tool finds it by its
// length byte and marker and patches it in the program file. An unpackaged program holds the
// length byte, the marker, zero offsets and blank fields. Only the program that is packaged
// (the stub) may link it: a packaging tool refuses a stub holding more than one record.
#pragma once

#include <array>
#include <cstdint>

#include "ConfigLayout.h"

namespace Decantor {

// A copy of the record as it stands in the running program's image.
std::array<uint8_t, kConfigRecordSize> ConfigRecordBytes();

// DecodeConfigRecord of ConfigRecordBytes().
TConfigValues ReadConfigRecord();

}  // namespace Decantor
