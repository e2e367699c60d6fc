#include "unzip/FileEntry.h"

namespace Decantor::Unzip {

int32_t WriteFileEntry(TZipArchive& aArchive, TDestination& aDest, const TZipEntry& aEntry, const char* aPath,
                       bool aWrite, char* aBuffer, size_t aSize, TReport& aReport, TChunkHook aHook, void* aData) {
  int32_t result = aArchive.OpenData(aReport);
  if (result != urOk) return result;
  if (aWrite) result = aDest.BeginFile(aPath, aEntry.UnixMode ? aEntry.UnixMode : 0666, aReport);
  uint64_t done = 0;
  int32_t shown = 0;
  size_t got = 0;
  while (result == urOk) {
    result = aArchive.ReadData(aBuffer, aSize, got, aReport);
    if (result != urOk || got == 0) break;
    if (aWrite) result = aDest.WriteFile(aBuffer, got, aReport);
    done += got;
    const int32_t percent = done >= aEntry.Size ? 100 : int32_t(done * 100 / (aEntry.Size ? aEntry.Size : 1));
    if (result == urOk && percent != shown && percent < 100) {
      shown = percent;
      if (aHook != nullptr && !aHook(aData, aEntry, percent)) result = aReport.Fail(urCancelled, "cancelled");
    }
  }
  const int32_t closed = aArchive.CloseData(result == urOk, aReport);
  if (result == urOk) result = closed;
  if (!aWrite) return result;
  if (result == urOk) return aDest.CommitFile(aEntry.ModTime, aReport);
  aDest.DiscardFile();
  return result;
}

}  // namespace Decantor::Unzip
