// The exported entry point of the unzip component and its two operations.
//
// Extraction runs in two passes. The first walks the whole central directory
// and refuses the archive before anything is written when an entry is unsafe
// (a name or a link leaving the destination), unsupported, or inconsistent with
// its local header. The second writes the matching entries; each file's data
// is verified (size and CRC) before it takes its name. When the second pass
// fails or is cancelled, what it created is removed again.
#include <cstdlib>
#include <cstring>

#include "unzip/Destination.h"
#include "unzip/EntryPath.h"
#include "unzip/FileEntry.h"
#include "unzip/ParallelFiles.h"
#include "unzip/Report.h"
#include "unzip/UnzipCommand.h"
#include "unzip/ZipArchive.h"

namespace Decantor::Unzip {

namespace {

constexpr size_t kMaxPath = 4096;
constexpr size_t kChunk = 64 * 1024;

// A malloc'd block released on scope exit; the component links no C++ runtime.
class TBlock {
 public:
  explicit TBlock(size_t aSize) : FData(static_cast<char*>(std::malloc(aSize))) {}
  ~TBlock() { std::free(FData); }
  TBlock(const TBlock&) = delete;
  TBlock& operator=(const TBlock&) = delete;
  char* Data() const { return FData; }

 private:
  char* FData;
};

// Reads a link entry's whole data (its target) into aTarget, NUL-terminated.
int32_t ReadLinkTarget(TZipArchive& aArchive, const TZipEntry& aEntry, char* aTarget,
                       size_t& aLength, TReport& aReport) {
  if (aEntry.Size >= kMaxPath)
    return aReport.Fail(urUnsafeLink, "link %s has an overlong target", aEntry.Name);
  int32_t result = aArchive.OpenData(aReport);
  if (result != urOk) return result;
  aLength = 0;
  size_t got = 0;
  do {
    result = aArchive.ReadData(aTarget + aLength, kMaxPath - 1 - aLength, got, aReport);
    aLength += got;
  } while (result == urOk && got > 0 && aLength < kMaxPath - 1);
  const int32_t closed = aArchive.CloseData(result == urOk, aReport);
  aTarget[aLength] = '\0';
  return result != urOk ? result : closed;
}

// Below this many files or bytes, starting workers costs more than it saves.
constexpr size_t kSideBySideFiles = 16;
constexpr uint64_t kSideBySideBytes = 4 << 20;

class TOperation {
 public:
  explicit TOperation(TUnzipCommand& aCommand) : FCommand(aCommand), FReport(aCommand.Info) {}
  ~TOperation() { std::free(FFiles); }
  TOperation(const TOperation&) = delete;
  TOperation& operator=(const TOperation&) = delete;

  int32_t Count() {
    int32_t result = FArchive.Open(FCommand.ZipFile, FReport);
    // Walking the directory catches an end record that promises more entries
    // than the directory holds.
    for (int32_t i = 0; result == urOk && i < FArchive.EntryCount(); ++i) {
      TZipEntry entry;
      result = FArchive.ReadEntry(i, entry, FReport);
    }
    if (result == urOk) FCommand.EntryCount = FArchive.EntryCount();
    return result;
  }

  int32_t Extract() {
    if (FPath.Data() == nullptr || FTarget.Data() == nullptr || FBuffer.Data() == nullptr)
      return FReport.Fail(urNoMemory, "out of memory");
    int32_t result = FArchive.Open(FCommand.ZipFile, FReport);
    if (result == urOk) result = CheckAll();
    if (result == urOk && FCommand.TestOnly == 0) result = FDest.Open(FCommand.DestDir, FReport);
    if (result == urOk && FCommand.TestOnly == 0) result = CheckSpace();
    if (result == urOk && FCommand.TestOnly == 0 && SideBySide()) {
      result = ExtractSideBySide();
    } else {
      for (int32_t i = 0; result == urOk && i < FArchive.EntryCount(); ++i) result = ExtractEntry(i);
    }
    // A failed or cancelled run takes back what it wrote: no half install.
    if (result != urOk && FCommand.TestOnly == 0) FDest.RollBack();
    return result;
  }

 private:
  int32_t Describe(int32_t aIndex, TZipEntry& aEntry) {
    int32_t result = FArchive.ReadEntry(aIndex, aEntry, FReport);
    if (result != urOk) return result;
    // A name with control characters is named by its position only: its
    // bytes would forge lines or escape sequences wherever it is shown.
    if (HasControlCharacter(aEntry.Name, aEntry.NameLength))
      return FReport.Fail(urUnsafeName, "entry %d has a control character in its name", int(aIndex) + 1);
    if (!NormalizeEntryName(aEntry.Name, aEntry.NameLength, FPath.Data(), kMaxPath, FIsDirectory))
      return FReport.Fail(urUnsafeName, "entry %s would leave the destination", aEntry.Name);
    if (!IsSafePercentName(FPath.Data(), FIsDirectory))
      return FReport.Fail(urUnsafeName, "entry %s is not a plain file name after its %%", aEntry.Name);
    return urOk;
  }

  // A disk that cannot hold the files is known before the first is written
  // (files that will be replaced are counted whole: their room comes back
  // only as each is replaced).
  int32_t CheckSpace() {
    const uint64_t free = FDest.FreeSpace();
    if (FNeeded <= free) return urOk;
    FDest.RollBack();
    return FReport.Fail(urWriteFailed, "not enough space in %s: %llu bytes needed, %llu free", FCommand.DestDir,
                        static_cast<unsigned long long>(FNeeded), static_cast<unsigned long long>(free));
  }

  // Many files and enough data, more than one core, and every file to be
  // written whatever stands there: the files are written side by side.
  bool SideBySide() const {
    return FCommand.Overwrite != 0 && FFileCount >= kSideBySideFiles && FNeeded >= kSideBySideBytes &&
           WorkersForThisMachine() > 1;
  }

  static bool OnFileDone(void* aOperation, const char* aName) {
    TOperation& operation = *static_cast<TOperation*>(aOperation);
    return operation.FCommand.Callback == nullptr ||
           operation.FCommand.Callback(aName, 100, operation.FCommand.CallbackData) != 0;
  }

  // The directories and links in order on this thread, then the files by
  // the workers (a file below a link is refused there as it is here).
  int32_t ExtractSideBySide() {
    for (int32_t i = 0; i < FArchive.EntryCount(); ++i) {
      const int32_t result = ExtractEntry(i, false);
      if (result != urOk) return result;
    }
    TParallelFiles job;
    job.ZipFile = FCommand.ZipFile;
    job.DestDir = FCommand.DestDir;
    job.Files = FFiles;
    job.Count = FFileCount;
    job.Workers = WorkersForThisMachine();
    job.Done = OnFileDone;
    job.DoneData = this;
    return ExtractFilesInParallel(job, FDest, FReport);
  }

  int32_t CheckAll() {
    FNeeded = 0;
    FFileCount = 0;
    std::free(FFiles);
    FFiles = static_cast<TEntryPosition*>(std::malloc(sizeof(TEntryPosition) * size_t(FArchive.EntryCount() + 1)));
    if (FFiles == nullptr) return FReport.Fail(urNoMemory, "out of memory");
    for (int32_t i = 0; i < FArchive.EntryCount(); ++i) {
      TZipEntry entry;
      int32_t result = Describe(i, entry);
      if (result != urOk) return result;
      if (!FIsDirectory && !entry.IsLink && MatchesFileSpec(FCommand.FileSpec, entry.Name)) {
        FNeeded += entry.Size;
        FFiles[FFileCount++] = FArchive.Position();
      }
      if (entry.Encrypted || !entry.SupportedMethod)
        return FReport.Fail(urUnsupported, "entry %s is encrypted or uses an unknown method",
                            entry.Name);
      if (entry.IsLink) {
        size_t length = 0;
        result = ReadLinkTarget(FArchive, entry, FTarget.Data(), length, FReport);
        if (result != urOk) return result;
        if (!IsSafeLinkTarget(FPath.Data(), FTarget.Data(), length))
          return FReport.Fail(urUnsafeLink, "link %s points outside the destination", entry.Name);
      } else {
        result = FArchive.OpenData(FReport);
        if (result != urOk) return result;
        FArchive.CloseData(false, FReport);
      }
    }
    return urOk;
  }

  bool Progress(const TZipEntry& aEntry, int32_t aPercent) {
    return FCommand.Callback == nullptr ||
           FCommand.Callback(aEntry.Name, aPercent, FCommand.CallbackData) != 0;
  }

  int32_t Cancelled() { return FReport.Fail(urCancelled, "cancelled"); }

  // Extracts entry aIndex; with !aFiles only a directory or a link (the
  // files are the workers').
  int32_t ExtractEntry(int32_t aIndex, bool aFiles = true) {
    TZipEntry entry;
    int32_t result = Describe(aIndex, entry);
    if (result != urOk || !MatchesFileSpec(FCommand.FileSpec, entry.Name)) return result;
    if (!aFiles && !FIsDirectory && !entry.IsLink) return urOk;
    if (!Progress(entry, 0)) return Cancelled();
    const bool write = FCommand.TestOnly == 0;
    if (FIsDirectory) {
      if (write) result = FDest.MakeDirectories(FPath.Data(), FReport);
    } else if (write && FCommand.Overwrite == 0 && FDest.Exists(FPath.Data())) {
      // kept as it is
    } else if (entry.IsLink) {
      size_t length = 0;
      result = ReadLinkTarget(FArchive, entry, FTarget.Data(), length, FReport);
      if (result == urOk && write) result = FDest.MakeLink(FPath.Data(), FTarget.Data(), FReport);
    } else {
      result = ExtractFile(entry, write);
    }
    if (result != urOk) return result;
    return Progress(entry, 100) ? urOk : Cancelled();
  }

  static bool OnChunk(void* aOperation, const TZipEntry& aEntry, int32_t aPercent) {
    return static_cast<TOperation*>(aOperation)->Progress(aEntry, aPercent);
  }

  int32_t ExtractFile(const TZipEntry& aEntry, bool aWrite) {
    return WriteFileEntry(FArchive, FDest, aEntry, FPath.Data(), aWrite, FBuffer.Data(), kChunk, FReport, OnChunk,
                          this);
  }

  TUnzipCommand& FCommand;
  TReport FReport;
  TZipArchive FArchive;
  TDestination FDest;
  TBlock FPath{kMaxPath};
  TBlock FTarget{kMaxPath};
  TBlock FBuffer{kChunk};
  bool FIsDirectory = false;
  uint64_t FNeeded = 0;  // bytes of the files to write
  TEntryPosition* FFiles = nullptr;  // where the files to write are, malloc'd
  size_t FFileCount = 0;
};

int32_t Run(TUnzipCommand& aCommand) {
  TReport report(aCommand.Info);
  if (aCommand.ZipFile == nullptr) return report.Fail(urBadCommand, "no archive given");
  TOperation operation(aCommand);
  switch (aCommand.Operation) {
    case uoCount:
      return operation.Count();
    case uoExtract:
      if (aCommand.TestOnly == 0 && (aCommand.DestDir == nullptr || aCommand.DestDir[0] == '\0'))
        return report.Fail(urBadCommand, "no destination given");
      return operation.Extract();
    default:
      return report.Fail(urBadCommand, "unknown operation %d", int(aCommand.Operation));
  }
}

}  // namespace

}  // namespace Decantor::Unzip

extern "C" __attribute__((visibility("default"))) int32_t dunzip(TUnzipCommand* aCommand) {
  // The size check comes first: a record of another layout must not be read further.
  if (aCommand == nullptr || aCommand->Size != int32_t(sizeof(TUnzipCommand)))
    return urBadCommand;
  return Decantor::Unzip::Run(*aCommand);
}
