#pragma once
// TWriteBehind: writes the buffers of a file from a thread of its own, so that
// the caller fills its next buffer while the system copies the last one into
// the file. Buffers reach the file in the order they were handed over, and at
// most MaxPending of them wait or are being written at any time, so memory
// stays bounded. The first failed write stops the writing: what is handed
// over after it is dropped, and Drain reports the failure with its errno.
//
// The thread starts at the first hand-over; a file that never fills one
// buffer never starts it. Where no thread can be started the buffers are
// written at once, on the caller's thread.

#include <cerrno>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace Vellix::Detail {

class TWriteBehind {
public:
  // The list of written buffers is made here, so that the writing thread
  // never allocates (a thread's first allocation gives it an arena of its own).
  explicit TWriteBehind(int aHandle) : FHandle(aHandle) { FFree.reserve(MaxPending + 1); }
  // Waits for every buffer handed over, then stops the thread.
  ~TWriteBehind();
  TWriteBehind(const TWriteBehind&) = delete;
  TWriteBehind& operator=(const TWriteBehind&) = delete;

  static constexpr size_t MaxPending = 1;

  // Takes aBuffer's bytes to write and gives back in aBuffer an empty buffer
  // (one written before, with its capacity, when there is one). Waits while
  // MaxPending buffers are still to be written.
  void Hand(std::vector<char>& aBuffer);
  // Waits until every byte handed over is written or dropped. False once a
  // write has failed, with errno set to that write's error.
  bool Drain();
  // Whether a write has failed so far; does not wait.
  bool Failed();
  bool Started() const { return FThread.joinable() || FInline; }

private:
  void Run();
  // Starts the thread, or where none can be started, writes inline from now on.
  void Start();
  // Writes aBuffer on the calling thread; the lock is not held.
  bool WriteOut(const std::vector<char>& aBuffer);
  // Records the outcome of a write; the lock is held.
  void Record(bool aOk, int aError);

  const int FHandle;
  std::mutex FLock;
  std::condition_variable FChanged;
  std::deque<std::vector<char>> FPending;  // in file order
  std::vector<std::vector<char>> FFree;    // written, kept for reuse
  bool FWriting = false;
  bool FStopping = false;
  bool FFailed = false;
  int FError = 0;
  bool FInline = false;  // no thread could be started
  std::thread FThread;
};

}  // namespace Vellix::Detail
