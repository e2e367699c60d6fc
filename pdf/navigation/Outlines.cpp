#include "navigation/Outlines.h"

#include <algorithm>

#include "navigation/DeferredObjects.h"
#include "writer/DocumentContext.h"
#include "writer/PdfSyntax.h"

namespace Vellix {

void TOutlines::Add(const std::string& aTitle, int32_t aLevel, const TNavTarget& aTarget, bool aOpen) {
  TPdfWriter& writer = FContext.Writer;
  if (FRoot.ObjectNo == 0) FRoot.ObjectNo = writer.ReserveObject();
  const size_t level = std::min(size_t(std::max(aLevel, 1)), FPath.size() + 1);
  while (FPath.size() > level) CloseNewest(0);
  const int32_t objectNo = writer.ReserveObject();
  int32_t prev = 0;
  if (FPath.size() == level) {
    prev = FPath.back().ObjectNo;
    CloseNewest(objectNo);
  }
  TEntry& parent = Parent();
  if (parent.First == 0) parent.First = objectNo;
  parent.Last = objectNo;
  TEntry entry;
  entry.ObjectNo = objectNo;
  entry.Parent = parent.ObjectNo;
  entry.Prev = prev;
  entry.Open = aOpen;
  entry.Title = aTitle;
  entry.Target = aTarget;
  FPath.push_back(std::move(entry));
}

void TOutlines::CloseNewest(int32_t aNext) {
  const TEntry entry = std::move(FPath.back());
  FPath.pop_back();
  Parent().Shown += 1 + (entry.Open ? entry.Shown : 0);
  std::vector<std::string> lines;
  std::string title = "/Title ";
  if (FContext.TextEncoding == teUtf8)
    AppendUtf8TextString(title, entry.Title);
  else
    AppendTextString(title, entry.Title);
  lines.push_back(std::move(title));
  lines.push_back("/Parent " + Ref(entry.Parent));
  if (entry.Prev != 0) lines.push_back("/Prev " + Ref(entry.Prev));
  if (aNext != 0) lines.push_back("/Next " + Ref(aNext));
  if (entry.First != 0) {
    lines.push_back("/First " + Ref(entry.First));
    lines.push_back("/Last " + Ref(entry.Last));
    // A closed entry counts what it would show, negated.
    lines.push_back("/Count " + std::to_string(entry.Open ? entry.Shown : -entry.Shown));
  }
  FDeferred.Write(entry.ObjectNo, std::move(lines), entry.Target);
}

int32_t TOutlines::Finish() {
  while (!FPath.empty()) CloseNewest(0);
  if (FRoot.ObjectNo == 0) return 0;
  TPdfWriter& writer = FContext.Writer;
  writer.BeginReservedDic(FRoot.ObjectNo);
  writer.WriteLine("/Type /Outlines");
  writer.WriteLine("/First " + Ref(FRoot.First));
  writer.WriteLine("/Last " + Ref(FRoot.Last));
  writer.WriteLine("/Count " + std::to_string(FRoot.Shown));
  writer.EndDic();
  return FRoot.ObjectNo;
}

void TOutlines::Clear() {
  FRoot = TEntry();
  FPath.clear();
}

}  // namespace Vellix
