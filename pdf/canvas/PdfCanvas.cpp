#include <vellix/Canvas.h>

#include <utility>

#include <vellix/Messages.h>

#include "canvas/BrushAndPen.h"
#include "canvas/ColorOperands.h"
#include "canvas/ContentLines.h"
#include "canvas/PageCompressor.h"
#include "canvas/KeptLines.h"
#include "canvas/PdfResources.h"
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
      FUnicodeText(std::make_unique<TUnicodeText>(*this)),
      FKept(std::make_unique<Detail::TKeptContent>()) {
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

void AppendColor(std::string& aOut, TColor aColor, const char* aOperator) {
  char operands[Detail::ColorOperandsRoom];
  aOut.append(operands, size_t(Detail::PutColorOperands(operands, aColor) - operands));
  aOut += aOperator;
}

}  // namespace

std::string TPdfCanvas::ColorDef(TColor aColor) const {
  std::string result;
  AppendColor(result, aColor, "");
  return result;
}

std::string TPdfCanvas::AssignBrushAndPen(bool aWantBorder, bool aWantBackground) {
  Detail::TContentLines lines(FPdfStream);
  return std::string(WriteBrushAndPen(lines, aWantBorder, aWantBackground));
}

std::string_view TPdfCanvas::WriteNewBrushAndPen(Detail::TContentLines& aLines, bool aWantBorder,
                                                 bool aWantBackground) {
  using Detail::TContentLines;
  const Detail::TPaintKey key = Detail::PaintKey(FPen, FBrush, aWantBorder, aWantBackground);
  constexpr size_t room = Detail::TKeptLines<Detail::TPaintKey>::Room;
  static_assert(room >= 2 * Detail::ColorOperandsRoom + NumberRoom + 32);
  char* const start = aLines.Reserve(room);
  char* p = start;
  if (Detail::PaintsBackground(key))
    p = aLines.PutLineEnd(TContentLines::Put(Detail::PutColorOperands(p, FBrush.Color()), "rg"));
  if (Detail::PaintsBorder(key)) {
    p = aLines.PutLineEnd(TContentLines::Put(Detail::PutColorOperands(p, FPen.Color()), "RG"));
    p = aLines.PutLineEnd(TContentLines::Put(p, FPen.Style() == psSolid ? "[]0 d" : "[3 3]0 d"));
    p = aLines.PutScaled(p, FPen.Width(), FContext.PointPerUnit, FContext.PointPerUnitAsDouble);
    p = aLines.PutLineEnd(TContentLines::Put(p, " w"));
  }
  FKept->Paint.Keep(key, start, p);
  aLines.Advance(p);
  return Detail::PaintOperator(key);
}

void TPdfCanvas::CheckRectangle(int32_t& X1, int32_t& Y1, int32_t& X2, int32_t& Y2) {
  if (X2 == X1 || Y2 == Y1) FContext.RaiseError(MSG_BAD_RECTANGLE);
  if (X2 < X1) std::swap(X1, X2);
  if (Y2 < Y1) std::swap(Y1, Y2);
}

bool TPdfCanvas::CheckDocumentState() { return FContext.ReadyToDraw(); }

TPdfFont& TPdfCanvas::PdfFont(const TFont& aFont) {
  // Text usually comes in long runs of one font: the last one is kept while
  // the document's fonts are.
  const bool bold = aFont.Style().Contains(fsBold), italic = aFont.Style().Contains(fsItalic);
  if (FLastFont != nullptr && FLastFontGeneration == FResources->Generation() && FLastFontBold == bold &&
      FLastFontItalic == italic &&
      (FLastFontNameStamp == aFont.NameStamp() || FLastFontName == aFont.Name())) {
    FLastFontNameStamp = aFont.NameStamp();
    return *FLastFont;
  }
  TStringList<TPdfFont>& fonts = FResources->Fonts();
  const int32_t index = fonts.IndexOf(TPdfFont::MakeFontId(aFont));
  TPdfFont& font = index >= 0 ? *fonts.Objects(index) : TPdfFont::Create(*this, aFont);
  FLastFont = &font;
  FLastFontGeneration = FResources->Generation();
  FLastFontName = aFont.Name();
  FLastFontNameStamp = aFont.NameStamp();
  FLastFontBold = bold;
  FLastFontItalic = italic;
  return font;
}

void TPdfCanvas::ResetPage() {
  FPdfStream.clear();
  FKept->Forget();
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
