// The links of a page: rectangles in caller coordinates, handed to the
// document's navigation in points.

#include <vellix/Canvas.h>
#include <vellix/Messages.h>

#include "navigation/Navigation.h"
#include "writer/DocumentContext.h"

namespace Vellix {

namespace {

std::string BorderOperands(const TPdfCanvas& aCanvas, std::optional<TColor> aBorder) {
  return aBorder ? aCanvas.ColorDef(*aBorder) : std::string();
}

TPointRect RectToPoints(const TPdfCanvas& aCanvas, const TRect& aRect) {
  return {aCanvas.UnitToPoint(aRect.Left), aCanvas.YToPoint(aRect.Top), aCanvas.UnitToPoint(aRect.Right),
          aCanvas.YToPoint(aRect.Bottom)};
}

}  // namespace

void TPdfCanvas::LinkToUri(const TRect& aRect, const std::string& aUri, std::optional<TColor> aBorder) {
  if (!CheckDocumentState()) return;
  FNavigation->AddUriLink(RectToPoints(*this, aRect), aUri, BorderOperands(*this, aBorder));
}

void TPdfCanvas::LinkToPage(const TRect& aRect, int32_t aPage, int32_t aY, std::optional<TColor> aBorder) {
  if (!CheckDocumentState()) return;
  if (aPage < 1) FContext.RaiseError(MSG_INVALID_PAGE, std::to_string(aPage));
  TNavTarget target;
  target.Page = aPage;
  target.Top = YToPoint(aY);
  FNavigation->AddLink(RectToPoints(*this, aRect), target, BorderOperands(*this, aBorder));
}

void TPdfCanvas::LinkToDestination(const TRect& aRect, const std::string& aName, std::optional<TColor> aBorder) {
  if (!CheckDocumentState()) return;
  if (aName.empty()) FContext.RaiseError(MSG_BAD_PARAMETERS, "LinkToDestination");
  TNavTarget target;
  target.Name = aName;
  FNavigation->AddLink(RectToPoints(*this, aRect), target, BorderOperands(*this, aBorder));
}

}  // namespace Vellix
