// The document's named destinations and outline entries: positions of its
// pages in caller coordinates, handed to the canvas's navigation in points.

#include <vellix/Canvas.h>
#include <vellix/Document.h>

#include "navigation/Navigation.h"
#include "writer/DocumentContext.h"

namespace Vellix {

void TVellix::AddDestination(const std::string& aName, int32_t X, int32_t Y) {
  if (!FCanvas->CheckDocumentState()) return;
  if (aName.empty()) RaiseError(MSG_BAD_PARAMETERS, "AddDestination");
  TNavTarget target;
  target.Page = FPageNumber;
  target.Left = FCanvas->UnitToPoint(X);
  target.Top = FCanvas->YToPoint(Y);
  FCanvas->Navigation().AddDestination(aName, target);
}

void TVellix::AddOutline(const std::string& aTitle, int32_t aLevel, int32_t aPage, int32_t aY, bool aOpen) {
  if (!FCanvas->CheckDocumentState()) return;
  if (aLevel < 1) RaiseError(MSG_BAD_PARAMETERS, "AddOutline");
  if (aPage < 1) RaiseError(MSG_INVALID_PAGE, std::to_string(aPage));
  TNavTarget target;
  target.Page = aPage;
  target.Top = FCanvas->YToPoint(aY);
  FCanvas->Navigation().AddOutline(aTitle, aLevel, target, aOpen);
}

void TVellix::AddOutlineToDestination(const std::string& aTitle, int32_t aLevel, const std::string& aName,
                                      bool aOpen) {
  if (!FCanvas->CheckDocumentState()) return;
  if (aLevel < 1 || aName.empty()) RaiseError(MSG_BAD_PARAMETERS, "AddOutlineToDestination");
  TNavTarget target;
  target.Name = aName;
  FCanvas->Navigation().AddOutline(aTitle, aLevel, target, aOpen);
}

}  // namespace Vellix
