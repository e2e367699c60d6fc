#include "unzip/ZipArchive.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <minizip/unzip.h>
#include <sys/stat.h>
#include <unistd.h>

#include "unzip/PreadFile.h"

namespace Decantor::Unzip {

namespace {

constexpr size_t kMaxStoredName = 65535;
constexpr uint32_t kEndRecordSize = 22;
constexpr uint32_t kMaxCommentLength = 65535;
constexpr unsigned kHostUnix = 3;

uint16_t Read16(const unsigned char* aBytes) { return uint16_t(aBytes[0] | (aBytes[1] << 8)); }

struct TEndRecord {
  bool Found = false;   // a whole end record lies in the file
  off_t Position = 0;
  uint16_t Entries = 0;  // entries in the directory, 0xFFFF when kept in a ZIP64 record
};

// Finds the last end record. minizip accepts one whose comment runs past the end
// of the file, which is what a truncated archive can look like, so the record
// must fit whole here.
TEndRecord FindEndRecord(int aFd, off_t aFileSize) {
  TEndRecord record;
  if (aFileSize < off_t(kEndRecordSize)) return record;
  const off_t tail = aFileSize < off_t(kEndRecordSize + kMaxCommentLength)
                         ? aFileSize
                         : off_t(kEndRecordSize + kMaxCommentLength);
  unsigned char* bytes = static_cast<unsigned char*>(std::malloc(size_t(tail)));
  if (bytes == nullptr) return record;
  if (pread(aFd, bytes, size_t(tail), aFileSize - tail) == tail) {
    for (off_t i = tail - off_t(kEndRecordSize); i >= 0; --i) {
      if (bytes[i] == 'P' && bytes[i + 1] == 'K' && bytes[i + 2] == 5 && bytes[i + 3] == 6) {
        record.Found = i + off_t(kEndRecordSize) + Read16(bytes + i + 20) <= tail;
        record.Position = aFileSize - tail + i;
        record.Entries = Read16(bytes + i + 10);
        break;
      }
    }
  }
  std::free(bytes);
  return record;
}

uint64_t Read64(const unsigned char* aBytes) {
  uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = (value << 8) | aBytes[i];
  return value;
}

// Takes the 64-bit sizes from the ZIP64 extra field for each 32-bit size that
// holds the 0xFFFFFFFF escape. Needed because Debian's minizip 1.1 compares
// with (unsigned long)-1, which on 64-bit never equals the 32-bit escape, and
// so keeps the escape as the size.
void ApplyZip64Sizes(const unsigned char* aExtra, size_t aLength, uint64_t& aSize,
                     uint64_t& aCompressed) {
  size_t pos = 0;
  while (pos + 4 <= aLength) {
    const uint16_t id = Read16(aExtra + pos);
    const uint16_t size = Read16(aExtra + pos + 2);
    const unsigned char* data = aExtra + pos + 4;
    if (pos + 4 + size > aLength) return;
    if (id == 1) {
      size_t used = 0;
      if (aSize == 0xFFFFFFFFu && used + 8 <= size) {
        aSize = Read64(data + used);
        used += 8;
      }
      if (aCompressed == 0xFFFFFFFFu && used + 8 <= size) aCompressed = Read64(data + used);
      return;
    }
    pos += 4 + size;
  }
}

time_t ToTime(const tm_unz& aDate) {
  struct tm t {};
  t.tm_year = int(aDate.tm_year) - 1900;
  t.tm_mon = int(aDate.tm_mon);
  t.tm_mday = int(aDate.tm_mday);
  t.tm_hour = int(aDate.tm_hour);
  t.tm_min = int(aDate.tm_min);
  t.tm_sec = int(aDate.tm_sec);
  t.tm_isdst = -1;
  return mktime(&t);
}

}  // namespace

TZipArchive::~TZipArchive() {
  if (FFile != nullptr) {
    if (FDataOpen) unzCloseCurrentFile(FFile);
    unzClose(FFile);
  }
  std::free(FName);
  std::free(FExtra);
}

int32_t TZipArchive::Open(const char* aPath, TReport& aReport) {
  const int fd = open(aPath, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return aReport.Fail(urOpenFailed, "cannot open archive %s", aPath);
  struct stat st {};
  const bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  const TEndRecord end = regular ? FindEndRecord(fd, st.st_size) : TEndRecord();
  FArchiveSize = regular ? uint64_t(st.st_size) : 0;
  close(fd);
  if (!regular) return aReport.Fail(urOpenFailed, "%s is not a regular file", aPath);
  if (!end.Found) return aReport.Fail(urOpenFailed, "no complete end record in %s", aPath);
  // minizip cannot open an archive whose end record starts the file, which is
  // every empty archive; there is nothing to read in it anyway.
  if (end.Position == 0 && end.Entries == 0) return urOk;

  FName = static_cast<char*>(std::malloc(kMaxStoredName + 1));
  FExtra = static_cast<unsigned char*>(std::malloc(kMaxStoredName + 1));
  if (FName == nullptr || FExtra == nullptr) return aReport.Fail(urNoMemory, "out of memory");
  zlib_filefunc64_def functions = PreadFileFunctions();
  FFile = unzOpen2_64(aPath, &functions);
  if (FFile == nullptr) return aReport.Fail(urOpenFailed, "invalid end record in %s", aPath);
  unz_global_info64 global {};
  if (unzGetGlobalInfo64(FFile, &global) != UNZ_OK)
    return aReport.Fail(urOpenFailed, "invalid end record in %s", aPath);
  if (global.number_entry > uint64_t(INT32_MAX))
    return aReport.Fail(urUnsupported, "too many entries in %s", aPath);
  FEntryCount = int32_t(global.number_entry);
  return urOk;
}

int32_t TZipArchive::ReadEntry(int32_t aIndex, TZipEntry& aEntry, TReport& aReport) {
  const int moved = aIndex == 0 ? unzGoToFirstFile(FFile) : unzGoToNextFile(FFile);
  if (moved != UNZ_OK) return aReport.Fail(urCorrupt, "central directory entry %d is damaged", int(aIndex) + 1);
  return DescribeCurrent(aIndex, aEntry, aReport);
}

TEntryPosition TZipArchive::Position() const {
  unz64_file_pos position {};
  unzGetFilePos64(FFile, &position);
  return {position.pos_in_zip_directory, position.num_of_file};
}

int32_t TZipArchive::ReadEntryAt(const TEntryPosition& aPosition, TZipEntry& aEntry, TReport& aReport) {
  unz64_file_pos position {aPosition.InDirectory, aPosition.Number};
  if (FFile == nullptr || unzGoToFilePos64(FFile, &position) != UNZ_OK)
    return aReport.Fail(urCorrupt, "central directory entry %d is damaged", int(aPosition.Number) + 1);
  return DescribeCurrent(int32_t(aPosition.Number), aEntry, aReport);
}

int32_t TZipArchive::DescribeCurrent(int32_t aIndex, TZipEntry& aEntry, TReport& aReport) {
  unz_file_info64 info {};
  if (unzGetCurrentFileInfo64(FFile, &info, FName, kMaxStoredName + 1, FExtra, kMaxStoredName + 1,
                              nullptr, 0) != UNZ_OK)
    return aReport.Fail(urCorrupt, "central directory entry %d is damaged", int(aIndex) + 1);
  FName[info.size_filename < kMaxStoredName ? info.size_filename : kMaxStoredName] = '\0';
  aEntry.Name = FName;
  aEntry.NameLength = info.size_filename;
  uint64_t compressed = info.compressed_size;
  FDeclaredSize = info.uncompressed_size;
  ApplyZip64Sizes(FExtra, info.size_file_extra < kMaxStoredName ? info.size_file_extra : 0,
                  FDeclaredSize, compressed);
  FCompressedSize = compressed;
  FCrc = uint32_t(info.crc);
  aEntry.Size = FDeclaredSize;
  aEntry.Encrypted = (info.flag & 1) != 0;
  aEntry.SupportedMethod = info.compression_method == 0 || info.compression_method == Z_DEFLATED;
  const uint32_t unixMode = uint32_t(info.external_fa >> 16);
  const bool fromUnix = (info.version >> 8) == kHostUnix && unixMode != 0;
  aEntry.IsLink = fromUnix && S_ISLNK(unixMode);
  aEntry.UnixMode = fromUnix ? (unixMode & 0777) : 0;
  // Entries archived together share their time: mktime, which looks at the
  // time zone's file each time, runs once per distinct time.
  if (!FHaveTime || info.dosDate != FTimeDosDate) {
    FTime = ToTime(info.tmu_date);
    FTimeDosDate = info.dosDate;
    FHaveTime = true;
  }
  aEntry.ModTime = FTime;
  return urOk;
}

int32_t TZipArchive::OpenData(TReport& aReport) {
  if (unzOpenCurrentFile(FFile) != UNZ_OK)
    return aReport.Fail(urCorrupt, "local header of %s is damaged", FName);
  FDataOpen = true;
  // Data claimed past the end of the file is a damaged or cut archive, known
  // before a byte of it is read.
  const uint64_t start = unzGetCurrentFileZStreamPos64(FFile);
  if (start > FArchiveSize || FCompressedSize > FArchiveSize - start)
    return aReport.Fail(urCorrupt, "data of %s would end past the end of the archive", FName);
  FReadSize = 0;
  FReadCrc = crc32(0L, Z_NULL, 0);
  return urOk;
}

int32_t TZipArchive::ReadData(char* aBuffer, size_t aSize, size_t& aRead, TReport& aReport) {
  aRead = 0;
  // Never ask for more than the declared size: with a ZIP64 escape minizip does
  // not know where a stored entry ends.
  uint64_t wanted = FDeclaredSize - FReadSize;
  if (wanted > aSize) wanted = aSize;
  if (wanted > 0x40000000u) wanted = 0x40000000u;
  const int got = wanted == 0 ? 0 : unzReadCurrentFile(FFile, aBuffer, unsigned(wanted));
  if (got < 0) return aReport.Fail(urDataError, "data of %s is damaged or truncated", FName);
  aRead = size_t(got);
  FReadSize += aRead;
  FReadCrc = crc32(FReadCrc, reinterpret_cast<const Bytef*>(aBuffer), unsigned(aRead));
  return urOk;
}

int32_t TZipArchive::CloseData(bool aComplete, TReport& aReport) {
  FDataOpen = false;
  unzCloseCurrentFile(FFile);
  if (!aComplete) return urOk;
  // Size and CRC are checked here rather than left to minizip, which skips its
  // CRC check whenever it believes the entry was not read to its end (a deflate
  // stream ending early, or a size it took from a ZIP64 escape).
  if (FReadSize != FDeclaredSize)
    return aReport.Fail(urDataError, "%s holds %llu bytes instead of %llu", FName,
                        static_cast<unsigned long long>(FReadSize),
                        static_cast<unsigned long long>(FDeclaredSize));
  if (FReadCrc != FCrc) return aReport.Fail(urDataError, "CRC error in %s", FName);
  return urOk;
}

}  // namespace Decantor::Unzip
