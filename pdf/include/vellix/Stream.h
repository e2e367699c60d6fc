#pragma once
// Byte streams with 64-bit positions: the abstract TStream, a buffered file
// stream and a growable memory stream. The document writer writes every line
// through a TStream, so Write must be cheap: TFileStream gathers writes in a
// buffer and issues one system call per buffer, not per line.

#include <vellix/Export.h>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <vellix/Exception.h>

namespace Vellix {

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

namespace Detail {
class TWriteBehind;
}

class VELLIX_API TStream {
public:
  virtual ~TStream() = default;

  // Reads up to aCount bytes; returns how many were read (0 at the end).
  virtual int64_t Read(void* aBuffer, int64_t aCount) = 0;
  // Writes aCount bytes; returns how many were stored. Fewer than asked means
  // the stream failed (a full device, a refused write).
  virtual int64_t Write(const void* aBuffer, int64_t aCount) = 0;
  // Moves the position; returns the new position. Throws EStreamError when the
  // stream cannot seek.
  virtual int64_t Seek(int64_t aOffset, TSeekOrigin aOrigin) = 0;

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t aPosition) { Seek(aPosition, soBeginning); }
  virtual int64_t Size();

  // Read or write exactly aCount bytes or throw EReadError / EWriteError.
  void ReadBuffer(void* aBuffer, int64_t aCount);
  void WriteBuffer(const void* aBuffer, int64_t aCount);
  // Copies aCount bytes from aSource at its position (all of it from the
  // start when aCount is 0); returns the number copied.
  int64_t CopyFrom(TStream& aSource, int64_t aCount);
};

// Open modes of TFileStream.
enum TFileMode {
  fmCreate,         // create or truncate, read and write
  fmOpenRead,       // existing file, read only
  fmOpenWrite,      // existing file, write only
  fmOpenReadWrite,  // existing file, read and write
};

// A file on disk. Writes are buffered (64 KiB); Flush pushes the buffer out
// and throws EWriteError if the device refuses it. The destructor flushes but
// never throws: call Flush first when a late failure matters.
//
// With SetWriteBehind(true) full buffers (128 KiB) are written by a thread of
// the stream's own while the caller goes on writing, for files written in one
// long run (the document writer's output). A refused write then shows at a
// later Write, which returns 0, or at Flush; Read, Seek and Flush first wait
// for every byte written so far. At most two buffers exist at once. A
// block of a buffer's size or more is not copied: once the thread has
// written what came before, it is written from the caller's memory, at once.
class VELLIX_API TFileStream : public TStream {
public:
  // Throws EFCreateError (fmCreate) or EFOpenError with the file name.
  TFileStream(const std::string& aFileName, TFileMode aMode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  int64_t Read(void* aBuffer, int64_t aCount) override;
  int64_t Write(const void* aBuffer, int64_t aCount) override;
  int64_t Seek(int64_t aOffset, TSeekOrigin aOrigin) override;
  int64_t Size() override;
  void Flush();
  const std::string& FileName() const { return FFileName; }
  // Off by default. Turning it off waits for the thread's writes.
  void SetWriteBehind(bool aOn);

private:
  bool FlushBuffer();
  int64_t WriteBehind(const char* aBytes, int64_t aCount);
  int64_t WriteAfterDrain(const char* aBytes, int64_t aCount);
  // Writes what the buffer holds and then aBytes, in one call, from here.
  int64_t WriteDirect(const char* aBytes, int64_t aCount);

  std::string FFileName;
  int FHandle = -1;
  int64_t FPosition = 0;  // logical position, including buffered bytes
  std::vector<char> FBuffer;
  bool FFailed = false;
  std::unique_ptr<Detail::TWriteBehind> FWriteBehind;
};

// A stream held in memory; grows on write.
class VELLIX_API TMemoryStream : public TStream {
public:
  int64_t Read(void* aBuffer, int64_t aCount) override;
  int64_t Write(const void* aBuffer, int64_t aCount) override;
  int64_t Seek(int64_t aOffset, TSeekOrigin aOrigin) override;
  int64_t Size() override { return int64_t(FData.size()); }

  void SetSize(int64_t aSize);
  void Clear();
  const uint8_t* Memory() const { return FData.data(); }
  std::string DataString() const { return std::string(FData.begin(), FData.end()); }
  void LoadFromFile(const std::string& aFileName);
  void SaveToFile(const std::string& aFileName) const;

private:
  std::vector<uint8_t> FData;
  int64_t FPosition = 0;
};

}  // namespace Vellix
