#include <vellix/Canvas.h>

#include <array>
#include <cstring>
#include <utility>

#include <vellix/Messages.h>

#include "canvas/PdfResources.h"
#include "canvas/PageCompressor.h"
#include "navigation/Navigation.h"
#include "text/PageCount.h"
#include "text/PdfFont.h"
#include "text/unicode/UnicodeText.h"
#include "writer/DocumentContext.h"
#include "writer/PdfNumber.h"

namespace Vellix {

namespace {
constexpr long double Pi = 3.14159265358979323846264338327950288L;
}

TPdfCanvas::TPdfCanvas(TDocumentContext& aContext)
    : FContext(aContext),
      FResources(std::make_unique<TPdfResources>()),
      FNavigation(std::make_unique<TNavigation>(aContext)),
      FPageCountForms(std::make_unique<TPageCountForms>()),
      FUnicodeText(std::make_unique<TUnicodeText>(*this)) {
  FPointPerPixel = 72.0L / FBitmapRes;
  FFont.SetName("Arial");
}

TPdfCanvas::~TPdfCanvas() = default;

long double TPdfCanvas::FontDegreeAngle() const { return FFontAngle * 180 / Pi; }

void TPdfCanvas::SetFontDegreeAngle(long double aDegrees) { FFontAngle = aDegrees * Pi / 180; }

long double TPdfCanvas::UnitToPoint(int32_t aValue) const { return aValue * FContext.PointPerUnit; }

long double TPdfCanvas::YToPoint(int32_t aValue) const {
  // In 64 bits: a y far outside the page must not wrap around.
  return static_cast<long double>(int64_t(FContext.PageHeight) - aValue) * FContext.PointPerUnit;
}

namespace {

// "c " for a colour component value c / 255: at most "0.502 ", kept in a
// block of 8 bytes so that it is copied as one word.
struct TComponentText {
  char Text[8];
  size_t Length;
};

// The text of each component value, made once.
const std::array<TComponentText, 256>& ComponentTexts() {
  static const std::array<TComponentText, 256> texts = [] {
    std::array<TComponentText, 256> result{};
    for (size_t i = 0; i < result.size(); ++i) {
      std::string text;
      AppendPdfNumber(text, static_cast<long double>(i) / 255.0L);
      text += ' ';
      text.copy(result[i].Text, sizeof result[i].Text);
      result[i].Length = text.size();
    }
    return result;
  }();
  return texts;
}

// The three components are put together first and appended at once.
void AppendColor(std::string& aOut, TColor aColor, const char* aOperator) {
  const TColor rgb = ColorToRGB(aColor);
  const auto& texts = ComponentTexts();
  char components[3 * sizeof(TComponentText::Text)];
  size_t length = 0;
  for (const uint8_t value : {GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)}) {
    std::memcpy(components + length, texts[value].Text, sizeof texts[value].Text);
    length += texts[value].Length;
  }
  aOut.append(components, length);
  aOut += aOperator;
}

}  // namespace

std::string TPdfCanvas::ColorDef(TColor aColor) const {
  std::string result;
  AppendColor(result, aColor, "");
  return result;
}

std::string TPdfCanvas::AssignBrushAndPen(bool aWantBorder, bool aWantBackground) {
  const bool background = aWantBackground && FBrush.Style() != bsClear;
  const bool border = aWantBorder && FPen.Style() != psClear && FPen.Width() > 0;
  if (background) {
    AppendColor(FPdfStream.OpenLine(), FBrush.Color(), "rg");
    FPdfStream.CloseLine();
  }
  if (border) {
    AppendColor(FPdfStream.OpenLine(), FPen.Color(), "RG");
    FPdfStream.CloseLine();
    AddLine(FPen.Style() == psSolid ? "[]0 d" : "[3 3]0 d");
    std::string& width = FPdfStream.OpenLine();
    AppendScaledNumber(width, FPen.Width(), FContext.PointPerUnit);
    width += " w";
    FPdfStream.CloseLine();
  }
  if (border) return background ? "B" : "S";
  return background ? "f" : "";
}

void TPdfCanvas::CheckRectangle(int32_t& X1, int32_t& Y1, int32_t& X2, int32_t& Y2) {
  if (X2 == X1 || Y2 == Y1) FContext.RaiseError(MSG_BAD_RECTANGLE);
  if (X2 < X1) std::swap(X1, X2);
  if (Y2 < Y1) std::swap(Y1, Y2);
}

bool TPdfCanvas::CheckDocumentState() {
  if (FContext.Aborted) return false;
  if (!FContext.Printing) FContext.RaiseError(MSG_DOCUMENT_NOT_OPENED);
  return true;
}

TPdfFont& TPdfCanvas::PdfFont(const TFont& aFont) {
  // Text usually comes in long runs of one font: the last one is kept while
  // the document's fonts are.
  const bool bold = aFont.Style().Contains(fsBold), italic = aFont.Style().Contains(fsItalic);
  if (FLastFont != nullptr && FLastFontGeneration == FResources->Generation() && FLastFontBold == bold &&
      FLastFontItalic == italic && FLastFontName == aFont.Name())
    return *FLastFont;
  TStringList<TPdfFont>& fonts = FResources->Fonts();
  const int32_t index = fonts.IndexOf(TPdfFont::MakeFontId(aFont));
  TPdfFont& font = index >= 0 ? *fonts.Objects(index) : TPdfFont::Create(*this, aFont);
  FLastFont = &font;
  FLastFontGeneration = FResources->Generation();
  FLastFontName = aFont.Name();
  FLastFontBold = bold;
  FLastFontItalic = italic;
  return font;
}

void TPdfCanvas::ResetPage() {
  FPdfStream.clear();
  FSavedStates.clear();
  FPenPos = TPoint{};
}

void TPdfCanvas::ClearDocument() {
  FResources->Clear();
  FNavigation->Clear();
  FPageCountForms->Clear();
  FUnicodeText->Clear();
}

TUnicodeText* TPdfCanvas::UnicodeText() const {
  return FContext.TextEncoding == teUtf8 ? FUnicodeText.get() : nullptr;
}

}  // namespace Vellix
