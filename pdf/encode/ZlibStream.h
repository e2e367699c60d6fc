#pragma once
// zlib compression as a write-only stream and decompression as a read-only
// stream, over another stream that they do not own. The compressed form is a
// complete zlib stream (header, deflate data, Adler-32 trailer): what a PDF
// FlateDecode filter expects.

#include <zlib.h>

#include <cstdint>
#include <functional>
#include <memory>

#include <vellix/ZlibError.h>
#include <vellix/Stream.h>

namespace Vellix {

enum TCompressionLevel {
  clNone,     // zlib level 0: stored
  clFastest,  // level 1
  clDefault,  // zlib's default level (-1); what the library uses
  clMax,      // level 9
};

class TCustomZlibStream;
// Called with the stream each time a full 64 KiB buffer was exchanged with
// the underlying stream.
using TZlibProgressEvent = std::function<void(TCustomZlibStream& aSender)>;

class TCustomZlibStream : public TStream {
public:
  static constexpr int32_t BufferSize = 65536;

  TCustomZlibStream(const TCustomZlibStream&) = delete;
  TCustomZlibStream& operator=(const TCustomZlibStream&) = delete;
  void SetOnProgress(TZlibProgressEvent aEvent) { FOnProgress = std::move(aEvent); }

protected:
  explicit TCustomZlibStream(TStream& aStrm);
  void Progress();
  // Puts the underlying stream back where this object left it, if someone moved it.
  void RestorePosition();

  TStream& FStrm;
  int64_t FStrmPos;
  TZlibProgressEvent FOnProgress;
  z_stream FZRec{};
  std::unique_ptr<Bytef[]> FBuffer;
};

// Compresses everything written to it into aDest, from aDest's position at
// construction. Write in any pieces; then call Finish (or let the destructor
// do it, which cannot report a failure) to complete the zlib stream.
class TCompressionStream : public TCustomZlibStream {
public:
  // Throws ECompressionError "error" if zlib cannot start.
  TCompressionStream(TCompressionLevel aCompressionLevel, TStream& aDest);
  // Finishes the data if Finish was not called; never throws.
  ~TCompressionStream() override;

  // Compresses aCount bytes; returns aCount. A zlib failure throws
  // ECompressionError "error"; a refused write of aDest throws its error.
  int64_t Write(const void* aBuffer, int64_t aCount) override;
  // Always throws ECompressionError "Invalid stream operation".
  int64_t Read(void* aBuffer, int64_t aCount) override;
  // Only Seek(0, soCurrent): the number of bytes taken so far; anything else
  // throws ECompressionError "Invalid stream operation".
  int64_t Seek(int64_t aOffset, TSeekOrigin aOrigin) override;
  // Writes the rest of the compressed data and the trailer; later writes are
  // refused. Throws like Write.
  void Finish();
  // Percent saved: (1 - output / input) * 100, 0 before any input.
  long double CompressionRate() const;

private:
  void WriteFullBuffer();
  bool FFinished = false;
};

// Decompresses the zlib data that aSource holds from its position at
// construction. Reading past the end of the data returns fewer bytes.
class TDecompressionStream : public TCustomZlibStream {
public:
  // Throws EDecompressionError "error" if zlib cannot start.
  explicit TDecompressionStream(TStream& aSource);
  // Gives back to aSource the input read ahead but not used; never throws.
  ~TDecompressionStream() override;

  // Fills aBuffer; returns the bytes produced (fewer at the end of the data).
  // Corrupt data throws EDecompressionError "error".
  int64_t Read(void* aBuffer, int64_t aCount) override;
  // Always throws EDecompressionError "Invalid stream operation".
  int64_t Write(const void* aBuffer, int64_t aCount) override;
  // Seek(0, soBeginning) starts over; otherwise only forward (skipping by
  // reading): a non-negative offset from soCurrent, or from soBeginning an
  // offset beyond the bytes produced. Anything else throws
  // EDecompressionError "Invalid stream operation". Returns the bytes produced.
  int64_t Seek(int64_t aOffset, TSeekOrigin aOrigin) override;

private:
  int64_t FStart;
};

}  // namespace Vellix
