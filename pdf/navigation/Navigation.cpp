#include "navigation/Navigation.h"

#include <algorithm>

#include <vellix/Messages.h>

#include "writer/DocumentContext.h"
#include "writer/PdfNumber.h"
#include "writer/PdfSyntax.h"

namespace Vellix {

namespace {

std::vector<std::string> LinkHead(const TPointRect& aRect, const std::string& aBorder) {
  std::string rect = "/Rect [";
  for (const long double value : {std::min(aRect.X1, aRect.X2), std::min(aRect.Y1, aRect.Y2),
                                  std::max(aRect.X1, aRect.X2), std::max(aRect.Y1, aRect.Y2)}) {
    rect += ' ';
    AppendPdfNumber(rect, value);
  }
  rect += " ]";
  std::vector<std::string> lines{"/Type /Annot", "/Subtype /Link", std::move(rect)};
  if (aBorder.empty()) {
    lines.push_back("/Border [0 0 0]");
  } else {
    lines.push_back("/Border [0 0 1]");
    lines.push_back("/C [" + aBorder + "]");
  }
  return lines;
}

}  // namespace

TNavigation::TNavigation(TDocumentContext& aContext)
    : FContext(aContext), FDeferred(aContext), FOutlines(aContext, FDeferred) {}

void TNavigation::Clear() {
  FDeferred.Clear();
  FOutlines.Clear();
  FPageAnnots.clear();
  FDestinations.clear();
  FUndefined.clear();
}

void TNavigation::AddUriLink(const TPointRect& aRect, const std::string& aUri, const std::string& aBorder) {
  TPdfWriter& writer = FContext.Writer;
  std::vector<std::string> lines = LinkHead(aRect, aBorder);
  std::string action = "/A << /S /URI /URI (";
  AppendEscaped(action, aUri);
  action += ") >>";
  lines.push_back(std::move(action));
  const int32_t objectNo = writer.BeginDic();
  for (const std::string& line : lines) writer.WriteLine(line);
  writer.EndDic();
  FPageAnnots.push_back(objectNo);
}

void TNavigation::AddLink(const TPointRect& aRect, const TNavTarget& aTarget, const std::string& aBorder) {
  NoteTarget(aTarget);
  const int32_t objectNo = FContext.Writer.ReserveObject();
  FDeferred.Write(objectNo, LinkHead(aRect, aBorder), aTarget);
  FPageAnnots.push_back(objectNo);
}

std::string TNavigation::TakePageAnnots() {
  if (FPageAnnots.empty()) return "";
  std::string line = "/Annots [";
  for (const int32_t objectNo : FPageAnnots) line += ' ' + Ref(objectNo);
  line += " ]";
  FPageAnnots.clear();
  return line;
}

void TNavigation::AddDestination(const std::string& aName, const TNavTarget& aTarget) {
  if (!FDestinations.emplace(aName, aTarget).second) FContext.RaiseError(MSG_DUPLICATE_DESTINATION, aName);
  FUndefined.erase(aName);
}

void TNavigation::AddOutline(const std::string& aTitle, int32_t aLevel, const TNavTarget& aTarget, bool aOpen) {
  NoteTarget(aTarget);
  FOutlines.Add(aTitle, aLevel, aTarget, aOpen);
}

void TNavigation::NoteTarget(const TNavTarget& aTarget) {
  if (aTarget.Named() && FDestinations.count(aTarget.Name) == 0) FUndefined.insert(aTarget.Name);
}

void TNavigation::CheckComplete() {
  if (!FUndefined.empty()) FContext.RaiseError(MSG_UNDEFINED_DESTINATION, *FUndefined.begin());
  if (const int32_t page = FDeferred.FirstAwaitedPage())
    FContext.RaiseError(MSG_INVALID_PAGE, std::to_string(page) + " (the document has " +
                                              std::to_string(FContext.PageObjNos.size()) + " pages)");
}

int32_t TNavigation::Finish(int32_t aCatalogNo, int32_t aPagesNo) {
  const int32_t outlines = FOutlines.Finish();
  CheckComplete();
  const int32_t names = WriteDestinations();
  if (outlines == 0 && names == 0) return aCatalogNo;
  TPdfWriter& writer = FContext.Writer;
  const int32_t catalog = writer.BeginDic();
  writer.WriteLine("/Type /Catalog");
  writer.WriteLine("/Pages " + Ref(aPagesNo));
  if (outlines != 0) {
    writer.WriteLine("/Outlines " + Ref(outlines));
    writer.WriteLine("/PageMode /UseOutlines");
  }
  if (names != 0) writer.WriteLine("/Names << /Dests " + Ref(names) + " >>");
  writer.EndDic();
  return catalog;
}

int32_t TNavigation::WriteDestinations() {
  if (FDestinations.empty()) return 0;
  // A name tree of one node: the names in byte order (the map's), each
  // with its destination.
  TPdfWriter& writer = FContext.Writer;
  const int32_t objectNo = writer.BeginDic();
  writer.WriteLine("/Names [");
  for (const auto& [name, target] : FDestinations) {
    std::string line = "(";
    AppendEscaped(line, name);
    line += ") ";
    line += DestinationText(target, FContext.PageObjNos);
    writer.WriteLine(line);
  }
  writer.WriteLine("]");
  writer.EndDic();
  return objectNo;
}

}  // namespace Vellix
