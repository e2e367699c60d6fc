#include "navigation/DeferredObjects.h"

#include "writer/DocumentContext.h"

namespace Vellix {

bool TDeferredObjects::PageWritten(int32_t aPage) const {
  return aPage >= 1 && size_t(aPage) <= FContext.PageObjNos.size();
}

void TDeferredObjects::Write(int32_t aObjectNo, std::vector<std::string> aLines, const TNavTarget& aTarget) {
  TWaiting object{aObjectNo, std::move(aLines), aTarget};
  if (aTarget.Named() || PageWritten(aTarget.Page))
    WriteNow(object);
  else
    FWaiting.emplace(aTarget.Page, std::move(object));
}

void TDeferredObjects::PagesWritten() {
  while (!FWaiting.empty() && PageWritten(FWaiting.begin()->first)) {
    const TWaiting object = std::move(FWaiting.begin()->second);
    FWaiting.erase(FWaiting.begin());
    WriteNow(object);
  }
}

void TDeferredObjects::WriteNow(const TWaiting& aObject) {
  TPdfWriter& writer = FContext.Writer;
  writer.BeginReservedDic(aObject.ObjectNo);
  for (const std::string& line : aObject.Lines) writer.WriteLine(line);
  writer.WriteLine("/Dest " + DestinationText(aObject.Target, FContext.PageObjNos));
  writer.EndDic();
}

}  // namespace Vellix
