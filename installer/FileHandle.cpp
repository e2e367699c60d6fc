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

}  // namespace Decantor
