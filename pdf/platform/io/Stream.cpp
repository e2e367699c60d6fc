// platform/io: the byte streams of the library (TStream, the buffered
// TFileStream over a POSIX file, TMemoryStream). The writer needs nothing of
// the platform but these.

#include <vellix/Stream.h>

#include "platform/io/WriteBehind.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace Vellix {

// ---- TStream ----

int64_t TStream::Size() {
  const int64_t here = Seek(0, soCurrent);
  const int64_t end = Seek(0, soEnd);
  Seek(here, soBeginning);
  return end;
}

void TStream::ReadBuffer(void* aBuffer, int64_t aCount) {
  if (aCount > 0 && Read(aBuffer, aCount) != aCount) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* aBuffer, int64_t aCount) {
  if (aCount > 0 && Write(aBuffer, aCount) != aCount) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& aSource, int64_t aCount) {
  if (aCount == 0) {
    aSource.SetPosition(0);
    aCount = aSource.Size();
  }
  char chunk[65536];
  int64_t done = 0;
  while (done < aCount) {
    const int64_t n = std::min<int64_t>(sizeof chunk, aCount - done);
    aSource.ReadBuffer(chunk, n);
    WriteBuffer(chunk, n);
    done += n;
  }
  return done;
}

// ---- TFileStream ----

namespace {
constexpr size_t FileBufferSize = 64 * 1024;
// Larger with a writing thread: each hand-over wakes it.
constexpr size_t WriteBehindBufferSize = 128 * 1024;
// Blocks from this size on (page content, image and font data) are not
// copied into the buffer: they go to the file after what it holds, in one
// call.
constexpr size_t DirectWriteSize = 16 * 1024;

// Writes every byte of aParts (aCount of them) to aHandle.
bool WriteParts(int aHandle, iovec* aParts, int aCount) {
  while (aCount > 0) {
    const ssize_t n = ::writev(aHandle, aParts, aCount);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    for (size_t left = size_t(n); left > 0 && aCount > 0;) {
      const size_t step = std::min(left, aParts->iov_len);
      aParts->iov_base = static_cast<char*>(aParts->iov_base) + step;
      aParts->iov_len -= step;
      left -= step;
      if (aParts->iov_len == 0) {
        ++aParts;
        --aCount;
      }
    }
  }
  return true;
}

std::string SystemError(const std::string& aWhat, const std::string& aFileName) {
  return aWhat + " " + aFileName + ". " + std::strerror(errno);
}
}  // namespace

TFileStream::TFileStream(const std::string& aFileName, TFileMode aMode) : FFileName(aFileName) {
  int flags = O_CLOEXEC;
  switch (aMode) {
    case fmCreate: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
    case fmOpenRead: flags |= O_RDONLY; break;
    case fmOpenWrite: flags |= O_WRONLY; break;
    case fmOpenReadWrite: flags |= O_RDWR; break;
  }
  FHandle = ::open(aFileName.c_str(), flags, 0666);
  if (FHandle < 0) {
    if (aMode == fmCreate) throw EFCreateError(SystemError("Cannot create file", aFileName));
    throw EFOpenError(SystemError("Cannot open file", aFileName));
  }
  FBuffer.reserve(FileBufferSize);
}

TFileStream::~TFileStream() {
  FlushBuffer();
  FWriteBehind.reset();
  ::close(FHandle);
}

void TFileStream::SetWriteBehind(bool aOn) {
  if (aOn == (FWriteBehind != nullptr)) return;
  if (aOn) {
    FWriteBehind = std::make_unique<Detail::TWriteBehind>(FHandle);
    FBuffer.reserve(WriteBehindBufferSize);
  } else {
    FlushBuffer();
    FWriteBehind.reset();
  }
}

bool TFileStream::FlushBuffer() {
  if (FWriteBehind && FWriteBehind->Started()) {
    if (!FBuffer.empty()) FWriteBehind->Hand(FBuffer);
    if (!FWriteBehind->Drain()) FFailed = true;
    return !FFailed;
  }
  size_t done = 0;
  while (done < FBuffer.size() && !FFailed) {
    const ssize_t n = ::write(FHandle, FBuffer.data() + done, FBuffer.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) FFailed = true;
    else done += size_t(n);
  }
  FBuffer.clear();
  return !FFailed;
}

void TFileStream::Flush() {
  if (!FlushBuffer()) throw EWriteError(SystemError("Cannot write file", FFileName));
}

int64_t TFileStream::Write(const void* aBuffer, int64_t aCount) {
  if (FFailed || aCount <= 0) return 0;
  const char* bytes = static_cast<const char*>(aBuffer);
  if (FWriteBehind) return WriteBehind(bytes, aCount);
  if (size_t(aCount) >= DirectWriteSize) return WriteDirect(bytes, aCount);
  if (FBuffer.size() + size_t(aCount) > FileBufferSize && !FlushBuffer()) return 0;
  FBuffer.insert(FBuffer.end(), bytes, bytes + aCount);
  FPosition += aCount;
  return aCount;
}

int64_t TFileStream::WriteBehind(const char* aBytes, int64_t aCount) {
  if (size_t(aCount) >= WriteBehindBufferSize) return WriteAfterDrain(aBytes, aCount);
  for (size_t left = size_t(aCount); left > 0;) {
    const size_t part = std::min(left, WriteBehindBufferSize - FBuffer.size());
    FBuffer.insert(FBuffer.end(), aBytes, aBytes + part);
    aBytes += part;
    left -= part;
    if (FBuffer.size() < WriteBehindBufferSize) continue;
    FWriteBehind->Hand(FBuffer);
    if (FWriteBehind->Failed()) {
      FFailed = true;
      return 0;
    }
  }
  FPosition += aCount;
  return aCount;
}

int64_t TFileStream::WriteAfterDrain(const char* aBytes, int64_t aCount) {
  // A block that would fill a buffer of its own costs less written from the
  // caller's memory, after what the buffer holds, than copied and handed
  // over; the thread must have written everything before it first.
  if (FWriteBehind->Started() && !FWriteBehind->Drain()) {
    FFailed = true;
    return 0;
  }
  return WriteDirect(aBytes, aCount);
}

int64_t TFileStream::WriteDirect(const char* aBytes, int64_t aCount) {
  iovec parts[2] = {{FBuffer.data(), FBuffer.size()}, {const_cast<char*>(aBytes), size_t(aCount)}};
  FFailed = !WriteParts(FHandle, FBuffer.empty() ? parts + 1 : parts, FBuffer.empty() ? 1 : 2);
  FBuffer.clear();
  if (FFailed) return 0;
  FPosition += aCount;
  return aCount;
}

int64_t TFileStream::Read(void* aBuffer, int64_t aCount) {
  if (!FlushBuffer() || aCount <= 0) return 0;
  int64_t done = 0;
  char* bytes = static_cast<char*>(aBuffer);
  while (done < aCount) {
    const ssize_t n = ::read(FHandle, bytes + done, size_t(aCount - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  FPosition += done;
  return done;
}

int64_t TFileStream::Seek(int64_t aOffset, TSeekOrigin aOrigin) {
  if (aOrigin == soCurrent && aOffset == 0) return FPosition;
  if (!FlushBuffer()) throw EWriteError(SystemError("Cannot write file", FFileName));
  const int whence = aOrigin == soBeginning ? SEEK_SET : aOrigin == soCurrent ? SEEK_CUR : SEEK_END;
  const off_t result = ::lseek(FHandle, off_t(aOffset), whence);
  if (result < 0) throw EStreamError(SystemError("Cannot seek in file", FFileName));
  FPosition = int64_t(result);
  return FPosition;
}

int64_t TFileStream::Size() {
  struct stat st {};
  if (::fstat(FHandle, &st) != 0) throw EStreamError(SystemError("Cannot read size of", FFileName));
  return std::max<int64_t>(int64_t(st.st_size), FPosition);
}

// ---- TMemoryStream ----

int64_t TMemoryStream::Read(void* aBuffer, int64_t aCount) {
  const int64_t n = std::clamp<int64_t>(Size() - FPosition, 0, std::max<int64_t>(aCount, 0));
  if (n > 0) std::memcpy(aBuffer, FData.data() + FPosition, size_t(n));
  FPosition += n;
  return n;
}

int64_t TMemoryStream::Write(const void* aBuffer, int64_t aCount) {
  if (aCount <= 0) return 0;
  const int64_t end = FPosition + aCount;
  if (end > Size()) FData.resize(size_t(end));
  std::memcpy(FData.data() + FPosition, aBuffer, size_t(aCount));
  FPosition = end;
  return aCount;
}

int64_t TMemoryStream::Seek(int64_t aOffset, TSeekOrigin aOrigin) {
  const int64_t base = aOrigin == soBeginning ? 0 : aOrigin == soCurrent ? FPosition : Size();
  if (base + aOffset < 0) throw EStreamError("Seek before the start of a memory stream");
  FPosition = base + aOffset;
  return FPosition;
}

void TMemoryStream::SetSize(int64_t aSize) {
  FData.resize(size_t(std::max<int64_t>(aSize, 0)));
  FPosition = std::min(FPosition, Size());
}

void TMemoryStream::Clear() {
  FData.clear();
  FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& aFileName) {
  TFileStream file(aFileName, fmOpenRead);
  Clear();
  FData.resize(size_t(file.Size()));
  file.ReadBuffer(FData.data(), Size());
}

void TMemoryStream::SaveToFile(const std::string& aFileName) const {
  TFileStream file(aFileName, fmCreate);
  file.WriteBuffer(FData.data(), int64_t(FData.size()));
  file.Flush();
}

}  // namespace Vellix
