// One file entry's data, from the archive to its place in the destination:
// inflated, written under a temporary name, and renamed only once its size
// and CRC are verified. Shared by the extraction in order and by the workers
// that extract files side by side.
#pragma once

#include <cstddef>
#include <cstdint>

#include "unzip/Destination.h"
#include "unzip/Report.h"
#include "unzip/ZipArchive.h"

namespace Decantor::Unzip {

// Told the percent done after each chunk; returning false cancels the file.
using TChunkHook = bool (*)(void* aData, const TZipEntry& aEntry, int32_t aPercent);

// Extracts the entry aArchive stands at (aEntry, whose safe relative path is
// aPath) into aDest, or only reads and verifies it when !aWrite. aBuffer of
// aSize bytes carries the data. urCancelled ("cancelled") when aHook says stop.
int32_t WriteFileEntry(TZipArchive& aArchive, TDestination& aDest, const TZipEntry& aEntry, const char* aPath,
                       bool aWrite, char* aBuffer, size_t aSize, TReport& aReport, TChunkHook aHook, void* aData);

}  // namespace Decantor::Unzip
