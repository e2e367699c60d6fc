#pragma once
// Dictionaries that point at a page: a link annotation or an outline entry
// needs the page's object number, which the writer only gives when the page
// is written. Such a dictionary is written as soon as its target page is,
// and held until then: what waits is only what points ahead.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "navigation/Target.h"

namespace Vellix {

struct TDocumentContext;

class TDeferredObjects {
public:
  explicit TDeferredObjects(TDocumentContext& aContext) : FContext(aContext) {}

  // Writes the object aObjectNo (a number the writer handed out) as "<<",
  // aLines, "/Dest" and aTarget, ">>": at once when the target is named or
  // its page is written, else when that page is.
  void Write(int32_t aObjectNo, std::vector<std::string> aLines, const TNavTarget& aTarget);
  // Writes what waited for the pages written so far.
  void PagesWritten();
  // The first page still waited for, 0 when none is.
  int32_t FirstAwaitedPage() const { return FWaiting.empty() ? 0 : FWaiting.begin()->first; }
  // Forgets everything (a document begins).
  void Clear() { FWaiting.clear(); }

private:
  struct TWaiting {
    int32_t ObjectNo;
    std::vector<std::string> Lines;
    TNavTarget Target;
  };
  void WriteNow(const TWaiting& aObject);
  bool PageWritten(int32_t aPage) const;

  TDocumentContext& FContext;
  std::multimap<int32_t, TWaiting> FWaiting;  // by target page
};

}  // namespace Vellix
