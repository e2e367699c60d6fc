#pragma once
// Where a link or an outline entry takes the reader: a position on a page of
// the document, or a named destination that the document defines (before or
// after the link that names it).

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

namespace Vellix {

struct TNavTarget {
  // A page from 1 and the point of it that comes to the top left of the
  // window, in PDF points; no Left keeps the reader's horizontal position.
  int32_t Page = 0;
  std::optional<long double> Left;
  long double Top = 0;
  // When not empty, the target is this named destination instead.
  std::string Name;

  bool Named() const { return !Name.empty(); }
};

// The destination as written after "/Dest": "(name)" for a named one, or
// "[n 0 R /XYZ left top null]" with the page's object number from
// aPageObjNos (which must hold the page).
std::string DestinationText(const TNavTarget& aTarget, const std::deque<int32_t>& aPageObjNos);

}  // namespace Vellix
