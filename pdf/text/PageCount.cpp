#include "text/PageCount.h"

#include <cmath>
#include <cstdlib>

#include <vellix/Canvas.h>

#include "canvas/PdfResources.h"
#include "platform/fonts/FontMetrics.h"
#include "text/PdfFont.h"
#include "writer/DocumentContext.h"
#include "writer/PdfNumber.h"
#include "writer/PdfSyntax.h"

namespace Vellix {

namespace {

void AppendNumbers(std::string& aOut, std::initializer_list<long double> aValues) {
  for (const long double value : aValues) {
    AppendPdfNumber(aOut, value);
    aOut += ' ';
  }
}

// How far before the anchor a text aWidth wide starts.
long double AlignmentShift(TAlignment aAlignment, long double aWidth) {
  switch (aAlignment) {
    case taRightJustify: return aWidth;
    case taCenter: return aWidth / 2;
    default: return 0;
  }
}

}  // namespace

std::string TPageCountForms::FormFor(TPdfWriter& aWriter, TPdfResources& aResources, const TPdfFont& aPdfFont,
                                     const TFont& aFont, TAlignment aAlignment) {
  const auto key = std::make_tuple(aPdfFont.FontRef(), aFont.Size(), aFont.Style().Contains(fsUnderline),
                                   int(aAlignment));
  auto found = FForms.find(key);
  if (found == FForms.end()) {
    TForm form;
    form.ObjectNo = aWriter.ReserveObject();
    form.Name = "/Fm" + std::to_string(aResources.AddForm(form.ObjectNo));
    form.PdfFont = &aPdfFont;
    form.Font = aFont;
    form.Alignment = aAlignment;
    found = FForms.emplace(key, std::move(form)).first;
  }
  return found->second.Name;
}

void TPageCountForms::WriteForms(TPdfWriter& aWriter, int32_t aPageCount) const {
  const std::string count = std::to_string(aPageCount);
  for (const auto& [key, form] : FForms) WriteForm(aWriter, form, count);
}

void TPageCountForms::WriteForm(TPdfWriter& aWriter, const TForm& aForm, const std::string& aCount) const {
  const TPdfFont& font = *aForm.PdfFont;
  const int32_t size = aForm.Font.Size();
  const long double em = std::abs(size);
  const long double width = FontMetricsOf(aForm.Font).TextWidthThousandths(aCount) * em / 1000;
  const long double x = -AlignmentShift(aForm.Alignment, width);

  std::string content = "BT\r\n" + font.FontRef() + ' ' + std::to_string(size) + " Tf\r\n";
  AppendNumbers(content, {x, 0});
  content += "Td\r\n(" + aCount + ") Tj\r\nET\r\n";
  if (aForm.Font.Style().Contains(fsUnderline)) {
    const long double y = size * font.UnderlinePosition();
    content += "[]0 d\r\n";
    AppendNumbers(content, {size * font.UnderlineWidth()});
    content += "w\r\n";
    AppendNumbers(content, {x, y});
    content += "m ";
    AppendNumbers(content, {x + width, y});
    content += "l S\r\n";
  }

  aWriter.BeginReservedDic(aForm.ObjectNo);
  aWriter.WriteLine("/Type /XObject");
  aWriter.WriteLine("/Subtype /Form");
  std::string box = "/BBox [ ";
  AppendNumbers(box, {x - em, -em, x + width + em, 2 * em});
  aWriter.WriteLine(box + "]");
  aWriter.WriteLine("/Resources << /Font << " + font.FontRef() + ' ' + Ref(font.ObjectNo()) + " >> >>");
  aWriter.WriteLine("/Length " + std::to_string(content.size()));
  aWriter.WriteLine(">>");
  aWriter.WriteLine("stream");
  aWriter.WriteRaw(content.data(), int64_t(content.size()));
  aWriter.EndObject("endstream");
}

// ---- The canvas operation ----

void TPdfCanvas::PageCountOut(int32_t X, int32_t Y, int32_t aWidth, TAlignment aAlignment) {
  if (!CheckDocumentState()) return;
  TPdfFont& font = PdfFont(FFont);
  if (FContext.Aborted) return;  // the font could not be used
  const std::string form = FPageCountForms->FormFor(FContext.Writer, *FResources, font, FFont, aAlignment);
  const long double shift = AlignmentShift(aAlignment, UnitToPoint(aWidth));
  const long double cosine = std::cos(FFontAngle), sine = FFontAngle != 0 ? std::sin(FFontAngle) : 0;
  const long double x = UnitToPoint(X) + cosine * shift;
  const long double y = YToPoint(Y) - FFont.Size() * font.Ascent() + sine * shift;
  const std::string color = ColorDef(FFont.Color());
  AddLine("q");
  AddLine(color + "rg");
  if (FFont.Style().Contains(fsUnderline)) AddLine(color + "RG");
  AddMatrix(cosine, sine, -sine, cosine, x, y);
  AddLine(form + " Do");
  AddLine("Q");
}

}  // namespace Vellix
