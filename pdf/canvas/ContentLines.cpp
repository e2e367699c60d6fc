#include "canvas/ContentLines.h"

namespace Vellix::Detail {

void TContentLines::Grow(size_t aCount) {
  // The block itself grows by doubling, so a long group stays linear.
  const size_t room = aCount + 256;
  FOut.Commit(FCursor);
  FCursor = FOut.Room(room);
  FLimit = FCursor + room;
}

void TContentLines::AppendHuge(long double aValue) {
  // Beyond any coordinate: through the string form, which prints it exactly.
  std::string text;
  AppendPdfNumber(text, aValue);
  *this << text;
}

char* TContentLines::PutHuge(char* aCursor, long double aValue) {
  const size_t left = size_t(FLimit - aCursor);
  FCursor = aCursor;
  AppendHuge(aValue);
  Ensure(left);
  return FCursor;
}

}  // namespace Vellix::Detail
