#pragma once
// The outline (the bookmarks of the reader's side panel), written as it
// grows: an entry's dictionary needs its next sibling, its first and last
// child and how many entries it shows when opened, and all of that is known
// as soon as the next entry of its level or above arrives. So only the
// entries on the path from the root to the newest one are held, one per
// level; the others are written (or wait for their target page).

#include <cstdint>
#include <string>
#include <vector>

#include "navigation/Target.h"

namespace Vellix {

struct TDocumentContext;
class TDeferredObjects;

class TOutlines {
public:
  TOutlines(TDocumentContext& aContext, TDeferredObjects& aDeferred) : FContext(aContext), FDeferred(aDeferred) {}

  // Adds an entry after every entry so far, at aLevel (1 for the top; a
  // level deeper than one below the entry before is taken as one below it).
  // aTitle is code page 1252 text, or UTF-8 with teUtf8; aOpen shows its children at first.
  void Add(const std::string& aTitle, int32_t aLevel, const TNavTarget& aTarget, bool aOpen);
  bool Empty() const { return FRoot.ObjectNo == 0; }
  // Writes the entries still held and the outline dictionary; returns the
  // dictionary's object number, 0 when there is no entry.
  int32_t Finish();
  // Forgets every entry (a document begins).
  void Clear();

private:
  struct TEntry {
    int32_t ObjectNo = 0, Parent = 0, Prev = 0, First = 0, Last = 0;
    int64_t Shown = 0;  // entries below this one that it shows when open
    bool Open = true;
    std::string Title;
    TNavTarget Target;
  };
  // The entry held last gets aNext as its next sibling and is written.
  void CloseNewest(int32_t aNext);
  TEntry& Parent() { return FPath.empty() ? FRoot : FPath.back(); }

  TDocumentContext& FContext;
  TDeferredObjects& FDeferred;
  TEntry FRoot;
  std::vector<TEntry> FPath;  // FPath[i]: the newest entry of level i + 1
};

}  // namespace Vellix
