#pragma once
// TPageCompressor: compresses the content of one page on a thread of its own
// while the application draws the next page, so that a compressed document
// uses the second core instead of waiting for zlib. One page at a time: the
// memory stays that of two page buffers.

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <span>
#include <thread>

#include <vellix/PageBuffer.h>

#include "encode/Deflater.h"

namespace Vellix {

class TPageCompressor {
public:
  TPageCompressor();
  // Waits for the page in hand, then stops the thread.
  ~TPageCompressor();
  TPageCompressor(const TPageCompressor&) = delete;
  TPageCompressor& operator=(const TPageCompressor&) = delete;

  // Takes the lines of aPage to compress (waiting first for the page before,
  // whose result is then lost) and leaves aPage empty, ready for drawing.
  // A page below SmallPageBytes is compressed at once on the calling thread:
  // waking the other thread would cost more than the work.
  void Start(TPageBuffer& aPage);
  static constexpr size_t SmallPageBytes = 16384;
  // Waits for the page given to Start and returns its zlib stream, valid
  // until the next Start. Rethrows what compressing it threw.
  std::span<const uint8_t> Finish();

private:
  void Run();
  // Waits until no page is being compressed; the lock is held on return.
  void WaitIdle(std::unique_lock<std::mutex>& aLock);

  TDeflater FDeflater;
  TPageBuffer FPage;
  std::span<const uint8_t> FResult;
  std::exception_ptr FError;
  std::mutex FLock;
  std::condition_variable FChanged;
  bool FWorking = false;
  bool FStopping = false;
  std::thread FThread;  // last: started once every member it uses exists
};

}  // namespace Vellix
