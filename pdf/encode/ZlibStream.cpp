#include "encode/ZlibStream.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace Vellix {

namespace {

voidpf ZAlloc(voidpf, uInt aItems, uInt aSize) { return std::calloc(aItems, aSize); }
void ZFree(voidpf, voidpf aAddress) { std::free(aAddress); }

int CCheck(int aCode) {
  if (aCode < 0) throw ECompressionError(sZlibError);
  return aCode;
}

int DCheck(int aCode) {
  // A preset dictionary is never supplied: asking for one is an error too.
  if (aCode < 0 || aCode == Z_NEED_DICT) throw EDecompressionError(sZlibError);
  return aCode;
}

int ZlibLevel(TCompressionLevel aLevel) {
  switch (aLevel) {
    case clNone: return 0;
    case clFastest: return 1;
    case clMax: return 9;
    case clDefault: break;
  }
  return Z_DEFAULT_COMPRESSION;
}

}  // namespace

// ---- TCustomZlibStream ----

TCustomZlibStream::TCustomZlibStream(TStream& aStrm)
    : FStrm(aStrm), FStrmPos(aStrm.Position()), FBuffer(new Bytef[BufferSize]) {
  FZRec.zalloc = ZAlloc;
  FZRec.zfree = ZFree;
  FZRec.opaque = nullptr;
}

void TCustomZlibStream::Progress() {
  if (FOnProgress) FOnProgress(*this);
}

void TCustomZlibStream::RestorePosition() {
  if (FStrm.Position() != FStrmPos) FStrm.SetPosition(FStrmPos);
}

// ---- TCompressionStream ----

TCompressionStream::TCompressionStream(TCompressionLevel aCompressionLevel, TStream& aDest)
    : TCustomZlibStream(aDest) {
  FZRec.next_out = FBuffer.get();
  FZRec.avail_out = BufferSize;
  CCheck(deflateInit(&FZRec, ZlibLevel(aCompressionLevel)));
}

TCompressionStream::~TCompressionStream() {
  try {
    Finish();
  } catch (...) {
  }
  deflateEnd(&FZRec);
}

void TCompressionStream::WriteFullBuffer() {
  FStrm.WriteBuffer(FBuffer.get(), BufferSize);
  FZRec.next_out = FBuffer.get();
  FZRec.avail_out = BufferSize;
  FStrmPos = FStrm.Position();
  Progress();
}

int64_t TCompressionStream::Write(const void* aBuffer, int64_t aCount) {
  if (FFinished) throw ECompressionError(sInvalidStreamOp);
  if (aCount <= 0) return 0;
  RestorePosition();
  const Bytef* next = static_cast<const Bytef*>(aBuffer);
  int64_t left = aCount;
  while (left > 0) {
    // zlib counts in 32 bits: feed very large blocks in pieces.
    const uInt piece = uInt(std::min<int64_t>(left, INT_MAX));
    FZRec.next_in = const_cast<Bytef*>(next);
    FZRec.avail_in = piece;
    while (FZRec.avail_in > 0) {
      CCheck(deflate(&FZRec, Z_NO_FLUSH));
      if (FZRec.avail_out == 0) WriteFullBuffer();
    }
    next += piece;
    left -= piece;
  }
  return aCount;
}

void TCompressionStream::Finish() {
  if (FFinished) return;
  FFinished = true;
  FZRec.next_in = nullptr;
  FZRec.avail_in = 0;
  RestorePosition();
  while (CCheck(deflate(&FZRec, Z_FINISH)) != Z_STREAM_END && FZRec.avail_out == 0) WriteFullBuffer();
  const int64_t used = BufferSize - int64_t(FZRec.avail_out);
  if (used > 0) {
    FStrm.WriteBuffer(FBuffer.get(), used);
    FZRec.next_out = FBuffer.get();
    FZRec.avail_out = BufferSize;
    FStrmPos = FStrm.Position();
  }
}

int64_t TCompressionStream::Read(void*, int64_t) { throw ECompressionError(sInvalidStreamOp); }

int64_t TCompressionStream::Seek(int64_t aOffset, TSeekOrigin aOrigin) {
  if (aOffset == 0 && aOrigin == soCurrent) return int64_t(FZRec.total_in);
  throw ECompressionError(sInvalidStreamOp);
}

long double TCompressionStream::CompressionRate() const {
  if (FZRec.total_in == 0) return 0;
  return (1.0L - static_cast<long double>(FZRec.total_out) / FZRec.total_in) * 100.0L;
}

// ---- TDecompressionStream ----

TDecompressionStream::TDecompressionStream(TStream& aSource) : TCustomZlibStream(aSource), FStart(FStrmPos) {
  FZRec.next_in = FBuffer.get();
  FZRec.avail_in = 0;
  DCheck(inflateInit(&FZRec));
}

TDecompressionStream::~TDecompressionStream() {
  try {
    if (FZRec.avail_in > 0) FStrm.Seek(-int64_t(FZRec.avail_in), soCurrent);
  } catch (...) {
  }
  inflateEnd(&FZRec);
}

int64_t TDecompressionStream::Read(void* aBuffer, int64_t aCount) {
  if (aCount <= 0) return 0;
  RestorePosition();
  Bytef* next = static_cast<Bytef*>(aBuffer);
  int64_t done = 0;
  while (done < aCount) {
    const uInt piece = uInt(std::min<int64_t>(aCount - done, INT_MAX));
    FZRec.next_out = next + done;
    FZRec.avail_out = piece;
    while (FZRec.avail_out > 0) {
      if (FZRec.avail_in == 0) {
        const int64_t got = FStrm.Read(FBuffer.get(), BufferSize);
        if (got <= 0) return done + (piece - FZRec.avail_out);
        FZRec.next_in = FBuffer.get();
        FZRec.avail_in = uInt(got);
        FStrmPos = FStrm.Position();
        Progress();
      }
      // At the end of the data there is nothing more to produce, even when
      // the source holds further bytes.
      if (DCheck(inflate(&FZRec, Z_NO_FLUSH)) == Z_STREAM_END) return done + (piece - FZRec.avail_out);
    }
    done += piece;
  }
  return aCount;
}

int64_t TDecompressionStream::Write(const void*, int64_t) { throw EDecompressionError(sInvalidStreamOp); }

int64_t TDecompressionStream::Seek(int64_t aOffset, TSeekOrigin aOrigin) {
  const int64_t produced = int64_t(FZRec.total_out);
  if (aOffset == 0 && aOrigin == soBeginning) {
    DCheck(inflateReset(&FZRec));
    FZRec.next_in = FBuffer.get();
    FZRec.avail_in = 0;
    FStrm.SetPosition(FStart);
    FStrmPos = FStart;
  } else if ((aOffset >= 0 && aOrigin == soCurrent) || (aOrigin == soBeginning && aOffset - produced > 0)) {
    if (aOrigin == soBeginning) aOffset -= produced;
    Bytef skip[4096];
    while (aOffset > 0) {
      const int64_t n = std::min<int64_t>(aOffset, sizeof skip);
      ReadBuffer(skip, n);
      aOffset -= n;
    }
  } else {
    throw EDecompressionError(sInvalidStreamOp);
  }
  return int64_t(FZRec.total_out);
}

}  // namespace Vellix
