// Read access to a zip archive on disk, over minizip: the end record checked on
// opening, the central directory walked entry by entry, and each entry's data
// read back through zlib with its CRC and size verified.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>

#include "unzip/Report.h"

namespace Decantor::Unzip {

// The description of one entry, as the central directory gives it.
struct TZipEntry {
  const char* Name = nullptr;  // as stored, NUL-terminated; owned by the archive, valid until the next entry
  size_t NameLength = 0;       // length stored in the directory (a shorter strlen means an embedded NUL)
  uint64_t Size = 0;           // uncompressed size in bytes
  bool Encrypted = false;
  bool SupportedMethod = false;  // stored or deflate
  bool IsLink = false;         // a symbolic link made on a Unix system; its data is the target
  uint32_t UnixMode = 0;       // permission bits from a Unix-made entry, 0 when none are stored
  time_t ModTime = 0;          // modification time, local time of the archiving machine
};

// Where an entry's record lies in the central directory, to come back to it.
struct TEntryPosition {
  uint64_t InDirectory = 0;
  uint64_t Number = 0;
};

class TZipArchive {
 public:
  TZipArchive() = default;
  ~TZipArchive();
  TZipArchive(const TZipArchive&) = delete;
  TZipArchive& operator=(const TZipArchive&) = delete;

  // Opens the archive at aPath (an empty archive has no entries to read). Fails with urOpenFailed when the file is missing
  // or unreadable, or when its end-of-central-directory record is absent,
  // truncated or points outside the file; with urUnsupported beyond 2^31 entries.
  int32_t Open(const char* aPath, TReport& aReport);

  // Number of entries declared by the end record.
  int32_t EntryCount() const { return FEntryCount; }

  // Moves to entry aIndex (0 first, then each next index in turn) and describes
  // it. urCorrupt when the central directory does not hold that entry.
  int32_t ReadEntry(int32_t aIndex, TZipEntry& aEntry, TReport& aReport);
  // The position of the entry ReadEntry described last.
  TEntryPosition Position() const;
  // Moves to the entry at aPosition (taken from this archive file, opened by
  // any TZipArchive) and describes it.
  int32_t ReadEntryAt(const TEntryPosition& aPosition, TZipEntry& aEntry, TReport& aReport);

  // Opens the current entry's data (checking its local header: urCorrupt),
  // reads it (urDataError on damaged or missing data) and closes it. CloseData
  // verifies that exactly the declared size was read and that the CRC matches;
  // aComplete false skips those checks when the caller stops early.
  int32_t OpenData(TReport& aReport);
  int32_t ReadData(char* aBuffer, size_t aSize, size_t& aRead, TReport& aReport);
  int32_t CloseData(bool aComplete, TReport& aReport);

 private:
  // Describes the entry minizip stands at; aIndex names it in a failure.
  int32_t DescribeCurrent(int32_t aIndex, TZipEntry& aEntry, TReport& aReport);

  void* FFile = nullptr;  // unzFile
  int32_t FEntryCount = 0;
  char* FName = nullptr;
  unsigned char* FExtra = nullptr;
  uint64_t FDeclaredSize = 0;  // of the current entry
  uint64_t FCompressedSize = 0;  // of the current entry, as declared
  uint64_t FArchiveSize = 0;
  uint32_t FCrc = 0;           // of the current entry, from the central directory
  uint64_t FReadSize = 0;
  unsigned long FReadCrc = 0;
  bool FDataOpen = false;
  bool FHaveTime = false;       // FTime is the time of FTimeDosDate
  unsigned long FTimeDosDate = 0;
  time_t FTime = 0;
};

}  // namespace Decantor::Unzip
