#include "unzip/PreadFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Decantor::Unzip {

namespace {

// minizip reads headers a few bytes at a time: small reads are served from
// a window of the file read ahead, large ones go straight to the caller.
constexpr size_t kWindowSize = 16384;

struct TPreadFile {
  int Fd = -1;
  uint64_t Position = 0;
  uint64_t Size = 0;
  bool Failed = false;
  uint64_t WindowStart = 0;
  size_t WindowLength = 0;
  char Window[kWindowSize];
};

TPreadFile* Of(voidpf aStream) { return static_cast<TPreadFile*>(aStream); }

voidpf Open(voidpf, const void* aPath, int aMode) {
  if ((aMode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
  const int fd = open(static_cast<const char*>(aPath), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  auto* file = static_cast<TPreadFile*>(std::malloc(sizeof(TPreadFile)));
  if (file == nullptr || fstat(fd, &st) != 0) {
    std::free(file);
    close(fd);
    return nullptr;
  }
  file->Fd = fd;
  file->Position = 0;
  file->Size = uint64_t(st.st_size);
  file->Failed = false;
  file->WindowStart = 0;
  file->WindowLength = 0;
  return file;
}

// Reads up to aSize bytes at aOffset, fewer only at the end of the file or
// on an error (then noted).
size_t ReadAt(TPreadFile& aFile, char* aBuffer, size_t aSize, uint64_t aOffset) {
  size_t done = 0;
  while (done < aSize) {
    const ssize_t n = pread(aFile.Fd, aBuffer + done, aSize - done, off_t(aOffset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      aFile.Failed = n < 0;
      break;
    }
    done += size_t(n);
  }
  return done;
}

uLong Read(voidpf, voidpf aStream, void* aBuffer, uLong aSize) {
  TPreadFile& file = *Of(aStream);
  char* out = static_cast<char*>(aBuffer);
  size_t done = 0;
  while (done < aSize) {
    const uint64_t at = file.Position;
    if (at >= file.WindowStart && at < file.WindowStart + file.WindowLength) {
      const size_t offset = size_t(at - file.WindowStart);
      size_t n = file.WindowLength - offset;
      if (n > aSize - done) n = aSize - done;
      std::memcpy(out + done, file.Window + offset, n);
      done += n;
      file.Position += n;
      continue;
    }
    if (aSize - done >= kWindowSize) {
      const size_t n = ReadAt(file, out + done, aSize - done, at);
      done += n;
      file.Position += n;
      break;
    }
    file.WindowStart = at;
    file.WindowLength = ReadAt(file, file.Window, kWindowSize, at);
    if (file.WindowLength == 0) break;
  }
  return uLong(done);
}

uLong Write(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T Tell(voidpf, voidpf aStream) { return Of(aStream)->Position; }

// minizip moves back by passing a negative offset as an unsigned one, which
// is what lseek would see: the offset is read as signed, as there.
long Seek(voidpf, voidpf aStream, ZPOS64_T aOffset, int aOrigin) {
  TPreadFile& file = *Of(aStream);
  int64_t base = 0;
  if (aOrigin == ZLIB_FILEFUNC_SEEK_CUR) base = int64_t(file.Position);
  else if (aOrigin == ZLIB_FILEFUNC_SEEK_END) base = int64_t(file.Size);
  else if (aOrigin != ZLIB_FILEFUNC_SEEK_SET) return -1;
  const int64_t offset = static_cast<int64_t>(aOffset);
  if (offset > 0 ? base > INT64_MAX - offset : base + offset < 0) return -1;
  file.Position = uint64_t(base + offset);
  return 0;
}

int Close(voidpf, voidpf aStream) {
  const int result = close(Of(aStream)->Fd);
  std::free(aStream);
  return result;
}

int Error(voidpf, voidpf aStream) { return Of(aStream)->Failed ? 1 : 0; }

}  // namespace

zlib_filefunc64_def PreadFileFunctions() {
  zlib_filefunc64_def functions {};
  functions.zopen64_file = Open;
  functions.zread_file = Read;
  functions.zwrite_file = Write;
  functions.ztell64_file = Tell;
  functions.zseek64_file = Seek;
  functions.zclose_file = Close;
  functions.zerror_file = Error;
  functions.opaque = nullptr;
  return functions;
}

}  // namespace Decantor::Unzip
