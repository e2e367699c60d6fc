#pragma once
// The PDF writer: everything below the drawing code that turns a document into
// bytes, in one forward pass. TPdfWriter numbers the objects and records where
// each begins, writes lines (each ending CR LF) and raw stream data, and closes
// the file with the cross-reference table and the trailer. It knows nothing of
// pages, fonts or images: the canvas and the text code write those through it.
//
// Errors: a failed or short write, an address past the ten digits of the
// cross-reference table, or a misuse of the object numbering goes through
// Fail, the document's error rule: the failure handler given at construction
// runs first (the component aborts the document there), then a
// Vellix::Exception is thrown.

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <utility>

namespace Vellix {

class TStream;

class TPdfWriter {
public:
  // aOnFailure runs before every failure is thrown; its own errors are
  // swallowed, so the caller always sees the original message.
  explicit TPdfWriter(std::function<void()> aOnFailure);
  TPdfWriter(const TPdfWriter&) = delete;
  TPdfWriter& operator=(const TPdfWriter&) = delete;

  // Starts a document on aOut (not owned) at its current position, with no
  // object yet. Raises the write error when that position does not fit the
  // cross-reference table.
  void Open(TStream& aOut);
  // Forgets the stream; Out() is invalid until the next Open.
  void Close();
  // The open document's stream, for raw stream data between "stream" and
  // "endstream". Only while open.
  TStream& Out() { return *FOut; }

  // Writes aValue and CR LF.
  void WriteLine(const std::string& aValue);
  // Writes aCount bytes as they are (stream data).
  void WriteRaw(const void* aData, int64_t aCount);

  // Begins the next object: records its address, writes "n 0 obj" and aValue.
  int32_t BeginObject(const std::string& aValue);
  // BeginObject("<<").
  int32_t BeginDic();
  // Hands out the next number without writing anything; BeginReservedDic
  // writes the object later. Until then its address is 0.
  int32_t ReserveObject();
  // Begins the dictionary of a number handed out by ReserveObject.
  void BeginReservedDic(int32_t aObjectNo);
  // Writes aValue and "endobj".
  void EndObject(const std::string& aValue);
  // EndObject(">>").
  void EndDic();

  // Defers aWrite until just before the next thing written (a line, raw
  // data, an object or the tail), so that a caller can write an object whose
  // data is still being prepared (a page compressed on another thread)
  // without holding up everything after it. Close drops it unrun.
  void SetPendingWrite(std::function<void()> aWrite) { FPendingWrite = std::move(aWrite); }
  // Runs the pending write now, if there is one.
  void WritePending() {
    if (FPendingWrite) std::exchange(FPendingWrite, nullptr)();
  }

  // The number of objects handed out so far.
  int32_t ObjectCount() const { return int32_t(FObjectAddresses.size()); }

  // Writes the cross-reference table of every object and the trailer naming
  // aRootNo and aInfoNo, then "%%EOF".
  void WriteTail(int32_t aRootNo, int32_t aInfoNo);

  // The error rule: runs the failure handler, then throws
  // Exception(aMsg) or Exception(aMsg + ": " + aInfo).
  [[noreturn]] void Fail(const std::string& aMsg, const std::string& aInfo = "");

private:
  // The position of the next byte, checked against the address width.
  int64_t CurrentAddress();

  std::function<void()> FOnFailure;
  std::function<void()> FPendingWrite;
  TStream* FOut = nullptr;
  // In blocks, not one array: growing an array copies it, so that a long
  // document's addresses would take up to twice their room.
  std::deque<int64_t> FObjectAddresses;
};

}  // namespace Vellix
