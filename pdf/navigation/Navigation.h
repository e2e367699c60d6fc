#pragma once
// Everything of a document that takes the reader somewhere: the links of its
// pages, its named destinations and its outline. Owned by the canvas (links
// are drawn on pages) and used by the document (destinations, outline, end).
//
// One pass: a link is written when it is made, or when the page it points at
// is (TDeferredObjects); the outline is written as it grows (TOutlines).
// Named destinations are held, one small record each, and written at the end
// as the name tree of a catalog written there too, which the trailer then
// names instead of the one the document began with. A document without an
// outline and without named destinations keeps its first catalog.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "navigation/DeferredObjects.h"
#include "navigation/Outlines.h"
#include "navigation/Target.h"

namespace Vellix {

struct TDocumentContext;

// A rectangle in PDF points, corners in any order.
struct TPointRect {
  long double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

class TNavigation {
public:
  explicit TNavigation(TDocumentContext& aContext);

  // Forgets everything (a document begins).
  void Clear();

  // ---- Links of the current page ----
  // aBorder is the border colour as "r g b " operands, or "" for no border.
  void AddUriLink(const TPointRect& aRect, const std::string& aUri, const std::string& aBorder);
  void AddLink(const TPointRect& aRect, const TNavTarget& aTarget, const std::string& aBorder);
  // The "/Annots [...]" line for the page being written, "" when it has no
  // link; forgets the page's links.
  std::string TakePageAnnots();
  // Called after each page object: writes what waited for that page.
  void PageWritten() { FDeferred.PagesWritten(); }

  // ---- Named destinations and the outline ----
  // "Duplicate destination: name" when aName is defined already.
  void AddDestination(const std::string& aName, const TNavTarget& aTarget);
  void AddOutline(const std::string& aTitle, int32_t aLevel, const TNavTarget& aTarget, bool aOpen);

  // After the last page: every name used must be defined ("Undefined
  // destination: name") and every page pointed at must exist ("Invalid page
  // number"); writes the rest of the outline, the named destinations and,
  // when there are either, a catalog. Returns the catalog's object number,
  // or aCatalogNo (the catalog the document began with) when none is needed.
  int32_t Finish(int32_t aCatalogNo, int32_t aPagesNo);

private:
  void NoteTarget(const TNavTarget& aTarget);
  void CheckComplete();
  int32_t WriteDestinations();

  TDocumentContext& FContext;
  TDeferredObjects FDeferred;
  TOutlines FOutlines;
  std::vector<int32_t> FPageAnnots;
  std::map<std::string, TNavTarget> FDestinations;
  std::set<std::string> FUndefined;  // named by a link or entry, not yet defined
};

}  // namespace Vellix
