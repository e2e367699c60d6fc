#include "platform/io/WriteBehind.h"

#include <unistd.h>

#include <system_error>
#include <utility>

namespace Vellix::Detail {

TWriteBehind::~TWriteBehind() {
  {
    std::lock_guard lock(FLock);
    FStopping = true;
  }
  FChanged.notify_all();
  if (FThread.joinable()) FThread.join();
}

void TWriteBehind::Start() {
  try {
    FThread = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    FInline = true;
  }
}

bool TWriteBehind::WriteOut(const std::vector<char>& aBuffer) {
  size_t done = 0;
  while (done < aBuffer.size()) {
    const ssize_t n = ::write(FHandle, aBuffer.data() + done, aBuffer.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    done += size_t(n);
  }
  return true;
}

void TWriteBehind::Record(bool aOk, int aError) {
  if (aOk || FFailed) return;
  FFailed = true;
  FError = aError;
}

void TWriteBehind::Hand(std::vector<char>& aBuffer) {
  if (!Started()) Start();
  if (FInline) {
    std::lock_guard lock(FLock);
    if (!FFailed) {
      // errno only once the write has run: the order of arguments is open.
      const bool ok = WriteOut(aBuffer);
      Record(ok, errno);
    }
    aBuffer.clear();
    return;
  }
  const size_t capacity = aBuffer.capacity();
  {
    std::unique_lock lock(FLock);
    FChanged.wait(lock, [&] { return FPending.size() + (FWriting ? 1 : 0) < MaxPending; });
    if (FFailed) {
      // Nothing more reaches the file: the bytes are dropped.
      aBuffer.clear();
      return;
    }
    FPending.push_back(std::move(aBuffer));
    aBuffer = {};
    if (!FFree.empty()) {
      aBuffer = std::move(FFree.back());
      FFree.pop_back();
    }
  }
  FChanged.notify_all();
  aBuffer.clear();
  if (aBuffer.capacity() < capacity) aBuffer.reserve(capacity);
}

bool TWriteBehind::Drain() {
  std::unique_lock lock(FLock);
  FChanged.wait(lock, [&] { return FPending.empty() && !FWriting; });
  if (FFailed) errno = FError;
  return !FFailed;
}

bool TWriteBehind::Failed() {
  std::lock_guard lock(FLock);
  return FFailed;
}

void TWriteBehind::Run() {
  std::unique_lock lock(FLock);
  for (;;) {
    FChanged.wait(lock, [&] { return FStopping || !FPending.empty(); });
    if (FPending.empty()) return;
    std::vector<char> buffer = std::move(FPending.front());
    FPending.pop_front();
    FWriting = true;
    const bool skip = FFailed;
    lock.unlock();
    const bool ok = skip || WriteOut(buffer);
    const int error = errno;
    buffer.clear();
    lock.lock();
    Record(ok, error);
    FFree.push_back(std::move(buffer));
    FWriting = false;
    FChanged.notify_all();
  }
}

}  // namespace Vellix::Detail
