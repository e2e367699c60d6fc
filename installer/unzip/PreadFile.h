// minizip's file functions over one descriptor read with pread: minizip seeks
// before nearly every read, and through stdio each of those seeks is a system
// call of its own, a few dozen per entry; here a seek only moves a number.
#pragma once

#include <minizip/ioapi.h>

namespace Decantor::Unzip {

// The functions to pass to unzOpen2_64 (read-only archives).
zlib_filefunc64_def PreadFileFunctions();

}  // namespace Decantor::Unzip
