#include "FileHandle.h"

#include <unistd.h>

#include <cerrno>

namespace Decantor {

TFileHandle::~TFileHandle() { Close(); }

TFileHandle& TFileHandle::operator=(TFileHandle&& aOther) noexcept {
  if (this != &aOther) {
    Close();
    FFd = aOther.Release();
  }
  return *this;
}

int TFileHandle::Release() noexcept {
  int fd = FFd;
  FFd = -1;
  return fd;
}

bool TFileHandle::Close() noexcept {
  if (FFd < 0) return true;
  return close(Release()) == 0;
}

bool WriteAll(int aFd, const void* aData, std::size_t aCount) {
  const char* data = static_cast<const char*>(aData);
  while (aCount > 0) {
    ssize_t n = write(aFd, data, aCount);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    aCount -= static_cast<std::size_t>(n);
  }
  return true;
}

ssize_t ReadSome(int aFd, void* aBuffer, std::size_t aSize) {
  for (;;) {
    const ssize_t n = read(aFd, aBuffer, aSize);
    if (n >= 0 || errno != EINTR) return n;
  }
}

ssize_t ReadFull(int aFd, void* aBuffer, std::size_t aSize) {
  char* buffer = static_cast<char*>(aBuffer);
  std::size_t done = 0;
  while (done < aSize) {
    const ssize_t got = ReadSome(aFd, buffer + done, aSize - done);
    if (got < 0) return -1;
    if (got == 0) break;
    done += std::size_t(got);
  }
  return ssize_t(done);
}

}  // namespace Decantor
