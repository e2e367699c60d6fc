// An owned POSIX file descriptor, and reading and writing through one with
// interrupted calls retried, in one place.
#pragma once

#include <sys/types.h>

#include <cstddef>

namespace Decantor {

// Owns a descriptor and closes it when destroyed (a negative value owns nothing). Move-only.
class TFileHandle {
public:
  explicit TFileHandle(int aFd = -1) noexcept : FFd(aFd) {}
  ~TFileHandle();
  TFileHandle(TFileHandle&& aOther) noexcept : FFd(aOther.Release()) {}
  TFileHandle& operator=(TFileHandle&& aOther) noexcept;
  TFileHandle(const TFileHandle&) = delete;
  TFileHandle& operator=(const TFileHandle&) = delete;

  int Get() const noexcept { return FFd; }
  bool IsOpen() const noexcept { return FFd >= 0; }
  // Gives the descriptor up without closing it.
  int Release() noexcept;
  // Closes now; false when close reported an error (a late write failure).
  bool Close() noexcept;

private:
  int FFd;
};

// Writes all aCount bytes, retrying after interruptions; false on any failure.
bool WriteAll(int aFd, const void* aData, std::size_t aCount);

// One read of at most aSize bytes, retried after interruptions: the count
// read, 0 at the end of the file, -1 on an error (errno says which).
ssize_t ReadSome(int aFd, void* aBuffer, std::size_t aSize);

// Reads until aSize bytes or the end of the file: the count read, -1 on an error.
ssize_t ReadFull(int aFd, void* aBuffer, std::size_t aSize);

}  // namespace Decantor
