// The files of an extraction written side by side, on more than one core:
// each worker has its own view of the archive and of the destination and
// takes the next file until none is left. Progress is reported on the
// calling thread only, one call per file once it is complete and verified,
// so the count a caller shows only grows. The first failure stops every
// worker; a cancel from the progress callback does too.
#pragma once

#include <cstddef>
#include <cstdint>

#include "unzip/Destination.h"
#include "unzip/Report.h"
#include "unzip/ZipArchive.h"

namespace Decantor::Unzip {

// Told, on the calling thread, each file written (its stored name); returning
// false cancels the extraction.
using TFileDone = bool (*)(void* aData, const char* aName);

struct TParallelFiles {
  const char* ZipFile = nullptr;
  const char* DestDir = nullptr;
  const TEntryPosition* Files = nullptr;  // the file entries to write
  size_t Count = 0;
  int Workers = 2;
  TFileDone Done = nullptr;
  void* DoneData = nullptr;
};

// Writes the files; what the workers created is handed to aJournal (so that
// its RollBack takes it back). The result and aReport's text are the first
// failure's, urCancelled ("cancelled") after a cancel.
int32_t ExtractFilesInParallel(const TParallelFiles& aJob, TDestination& aJournal, TReport& aReport);

// How many workers this machine runs side by side (1 when it has one core).
int WorkersForThisMachine();

}  // namespace Decantor::Unzip
