#pragma once
// TContentLines: content lines written straight into the page buffer's block.
// The operations that run thousands of times a page (text, rectangles, path
// points) write through it: room is made in the block once for a group of
// lines, and pieces and numbers are written in place, where appending each
// piece to the buffer's string would cost a call and a check of its own.
//
// While one is open nothing else may change the buffer; what it wrote becomes
// part of the content when it closes. Each line is ended with EndLine (or
// PutLineEnd at a cursor), and none may hold a CR LF inside: the buffer tells
// the lines apart by their line ends.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include <vellix/PageBuffer.h>

#include "writer/PdfNumber.h"

namespace Vellix::Detail {

class TContentLines {
public:
  // aRoom: the bytes a usual group of lines needs; more is made when needed.
  explicit TContentLines(TPageBuffer& aOut, size_t aRoom = 256)
      : FOut(aOut), FCursor(aOut.Room(aRoom)), FLimit(FCursor + aRoom) {}
  ~TContentLines() { FOut.Commit(FCursor); }
  TContentLines(const TContentLines&) = delete;
  TContentLines& operator=(const TContentLines&) = delete;

  TContentLines& operator<<(std::string_view aText) {
    Ensure(aText.size());
    PutText(FCursor, aText.data(), aText.size());
    FCursor += aText.size();
    return *this;
  }
  TContentLines& operator<<(char aChar) {
    Ensure(1);
    *FCursor++ = aChar;
    return *this;
  }
  // The number forms of writer/PdfNumber.h.
  TContentLines& Number(long double aValue) {
    Ensure(NumberRoom);
    if (char* end = PutPdfNumber(FCursor, aValue)) FCursor = end;
    else AppendHuge(aValue);
    return *this;
  }
  TContentLines& Integer(int64_t aValue) {
    Ensure(NumberRoom);
    FCursor = PutInteger(FCursor, aValue);
    return *this;
  }
  // CR LF.
  void EndLine() {
    Ensure(2);
    *FCursor++ = '\r';
    *FCursor++ = '\n';
  }
  // aText as a whole line.
  void Line(std::string_view aText) {
    *this << aText;
    EndLine();
  }

  // ---- The cursor in the caller's hands ----
  // The hottest writers keep the cursor in a local variable, where the
  // compiler can hold it in a register: every store through a member cursor
  // would make it read the cursor again. Reserve(n) gives the cursor with n
  // bytes of room, the Put functions below write at a cursor and return its
  // new place, and Advance hands the cursor back.
  char* Reserve(size_t aRoom) {
    Ensure(aRoom);
    return FCursor;
  }
  void Advance(char* aCursor) { FCursor = aCursor; }
  // CR LF at aCursor.
  static char* PutLineEnd(char* aCursor) {
    aCursor[0] = '\r';
    aCursor[1] = '\n';
    return aCursor + 2;
  }
  // The number forms, with NumberRoom bytes of room at aCursor.
  char* PutNumber(char* aCursor, long double aValue) {
    if (char* end = PutPdfNumber(aCursor, aValue)) return end;
    return PutHuge(aCursor, aValue);
  }
  char* PutScaled(char* aCursor, int64_t aValue, long double aScale, double aScaleAsDouble) {
    if (char* end = PutScaledNumber(aCursor, aValue, aScale, aScaleAsDouble)) return end;
    return PutHuge(aCursor, static_cast<long double>(aValue) * aScale);
  }
  char* PutDifference(char* aCursor, int64_t aA, long double aScale, double aScaleAsDouble, int64_t aB,
                      long double aFactor, double aFactorAsDouble) {
    if (char* end = PutScaledDifference(aCursor, aA, aScale, aScaleAsDouble, aB, aFactor, aFactorAsDouble)) return end;
    return PutHuge(aCursor, static_cast<long double>(aA) * aScale - static_cast<long double>(aB) * aFactor);
  }
  static char* Put(char* aCursor, std::string_view aText) {
    PutText(aCursor, aText.data(), aText.size());
    return aCursor + aText.size();
  }

private:
  // Operators and resource names are a few bytes long: two copies of a fixed
  // size that overlap cost less than a call to copy them.
  static void PutText(char* aOut, const char* aText, size_t aLength) {
    if (aLength >= 8 && aLength <= 16) {
      std::memcpy(aOut, aText, 8);
      std::memcpy(aOut + aLength - 8, aText + aLength - 8, 8);
    } else if (aLength >= 4 && aLength < 8) {
      std::memcpy(aOut, aText, 4);
      std::memcpy(aOut + aLength - 4, aText + aLength - 4, 4);
    } else if (aLength > 0 && aLength < 4) {
      aOut[0] = aText[0];
      aOut[aLength / 2] = aText[aLength / 2];
      aOut[aLength - 1] = aText[aLength - 1];
    } else if (aLength > 16) {
      std::memcpy(aOut, aText, aLength);
    }
  }
  void Ensure(size_t aCount) {
    if (size_t(FLimit - FCursor) < aCount) Grow(aCount);
  }
  void Grow(size_t aCount);
  void AppendHuge(long double aValue);
  // A huge number at aCursor, with the room left there kept for the rest.
  char* PutHuge(char* aCursor, long double aValue);

  TPageBuffer& FOut;
  char* FCursor;
  char* FLimit;
};

// Writes, with aWrite(TPageBuffer&), one line that holds aCallersText, a
// part given by the caller: should that hold a CR LF, the line goes in whole
// through push_back, since in place it would read as two.
template <class Write>
void WriteCallersLine(TPageBuffer& aOut, std::string_view aCallersText, Write&& aWrite) {
  if (aCallersText.find("\r\n") == std::string_view::npos) return aWrite(aOut);
  TPageBuffer line;
  aWrite(line);
  const std::string_view bytes = line.Content();
  aOut.push_back(bytes.substr(0, bytes.size() - 2));
}

}  // namespace Vellix::Detail
