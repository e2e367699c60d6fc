#include "canvas/PageCompressor.h"

#include <utility>

namespace Vellix {

// Level 1: page content compresses nearly as well as at the default level,
// several times faster.
TPageCompressor::TPageCompressor() : FDeflater(1), FThread([this] { Run(); }) {}

TPageCompressor::~TPageCompressor() {
  {
    std::unique_lock<std::mutex> lock(FLock);
    WaitIdle(lock);
    FStopping = true;
  }
  FChanged.notify_all();
  FThread.join();
}

void TPageCompressor::WaitIdle(std::unique_lock<std::mutex>& aLock) {
  FChanged.wait(aLock, [this] { return !FWorking; });
}

void TPageCompressor::Start(TPageBuffer& aPage) {
  {
    std::unique_lock<std::mutex> lock(FLock);
    WaitIdle(lock);
    std::swap(FPage, aPage);
    aPage.clear();
    FResult = {};
    FError = nullptr;
    if (FPage.Content().size() < SmallPageBytes) {
      // The worker is idle and waits for FWorking: the deflater is ours.
      try {
        FResult = FDeflater.Compress(FPage.Content().data(), FPage.Content().size());
      } catch (...) {
        FError = std::current_exception();
      }
      return;
    }
    FWorking = true;
  }
  FChanged.notify_all();
}

std::span<const uint8_t> TPageCompressor::Finish() {
  std::unique_lock<std::mutex> lock(FLock);
  WaitIdle(lock);
  if (FError) std::rethrow_exception(std::exchange(FError, nullptr));
  return FResult;
}

void TPageCompressor::Run() {
  std::unique_lock<std::mutex> lock(FLock);
  for (;;) {
    FChanged.wait(lock, [this] { return FWorking || FStopping; });
    if (!FWorking) return;
    // The page is this thread's alone until FWorking is cleared.
    lock.unlock();
    std::span<const uint8_t> result;
    std::exception_ptr error;
    try {
      const std::string_view text = FPage.Content();
      result = FDeflater.Compress(text.data(), text.size());
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    FResult = result;
    FError = error;
    FWorking = false;
    FChanged.notify_all();
  }
}

}  // namespace Vellix
