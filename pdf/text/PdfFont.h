#pragma once
// TPdfFont: one TrueType font resource of a document. Every distinct family
// and bold/italic style that text output uses becomes one TPdfFont, created by
// TPdfCanvas::PdfFont the first time it is drawn; it measures the family, writes
// the font's objects into the document at once (the embedded font program
// when embedding applies, then the widths array, the font descriptor and the
// font dictionary) and keeps what text output needs afterwards.
//
// Measuring: a font that is only named is measured and described from its
// family's regular face, whatever its style; an embedded font from the face
// drawn (bold, italic), whose program it embeds. Both at Size 100 on the 96
// dots-per-inch measuring context; the widths are 1/1000 of the font size
// (FScale = 7.5 pixels to glyph units).
// A family that is not installed is measured with the face the system
// substitutes for it (see platform/fonts/FontMetrics.h), while /FontName and
// /BaseFont keep the requested name, so a reader that has the family uses it.
//
// Failure: a family the library cannot use (not TrueType, metrics or font
// data unavailable) is reported to the user through Application::ShowMessage,
// the document is aborted, and the caller still receives a font, so drawing
// code runs on as after any abort.

#include <cstdint>
#include <string>

#include <vellix/Component.h>
#include <vellix/Font.h>
#include "platform/fonts/FontMetrics.h"

namespace Vellix {

class TPdfCanvas;

class TPdfFont : public TObject {
public:
  // Creates the font resource of aFont for aCanvas's document: appends it to
  // the canvas's Resources().Fonts() (its index gives FontRef "/F<index>"),
  // then registers it: measures it and writes its objects. Never throws for an
  // unusable font (see above). Returns the font, owned by the font list.
  static TPdfFont& Create(TPdfCanvas& aCanvas, const TFont& aFont);
  ~TPdfFont() override;

  // The font id of a canvas font: its Name, followed by ",BoldItalic",
  // ",Bold" or ",Italic" for its bold and italic styles. Underline and
  // strike-out do not enter the id. Example: "Times New Roman,Bold".
  static std::string MakeFontId(const TFont& aFont);

  // Ascent per point of font size: the baseline lies Size * Ascent() points
  // below the top of the text.
  long double Ascent() const { return FAscent; }
  // The same rounded to double, for the double-precision number paths.
  double AscentAsDouble() const { return FAscentAsDouble; }
  bool Embedded() const { return FEmbedded; }
  uint8_t FirstChar() const { return FFirstChar; }
  uint8_t LastChar() const { return FLastChar; }
  const std::string& FontId() const { return FFontId; }
  const std::string& FontName() const { return FFontName; }
  // Resource name on pages: "/F" + index in Fonts().
  const std::string& FontRef() const { return FFontRef; }
  // Object number of the font dictionary (0 when registration failed).
  int32_t ObjectNo() const { return FObjectNo; }
  // Underline thickness and offset from the baseline (negative below it), per
  // point of font size.
  long double UnderlineWidth() const { return FUnderlineWidth; }
  long double UnderlinePosition() const { return FUnderlinePosition; }

private:
  TPdfFont(TPdfCanvas& aCanvas, const TFont& aFont);
  void RegisterFont();
  // The family measured in aStyle at the measuring size.
  const TFontMetrics& Measure(TFontStyles aStyle) const;
  // Writes the font program of aMetrics's face once per document; returns
  // the number of its stream object.
  int32_t EmbedFont(const TFontMetrics& aMetrics);
  // The widths array; returns its object number.
  int32_t WriteWidths(const TFontMetrics& aMetrics);
  void WriteFontDesc(const TFontMetrics& aMetrics);
  // "Symbol" measured with a symbol face that is not TrueType (on Linux the
  // PostScript twin of the standard Symbol font) is written as the standard
  // font itself.
  bool IsStandardSymbol(const TFontMetrics& aMetrics) const;
  void WriteStandardSymbol(const TFontMetrics& aMetrics);
  void SetAscent(long double aAscent) {
    FAscent = aAscent;
    FAscentAsDouble = static_cast<double>(aAscent);
  }

  long double FAscent = 0;
  double FAscentAsDouble = 0;
  bool FEmbedded = false;
  int32_t FEmbedNo = 0;
  uint8_t FFirstChar = 0;
  std::string FFontId;
  std::string FFontName;
  TFontStyles FStyle;  // bold and italic of the id
  std::string FFontRef;
  int32_t FFontIndex = -1;
  uint8_t FLastChar = 0;
  int32_t FObjectNo = 0;
  TOutlineTextMetric FOTM;
  long double FScale = 0;
  TTextMetric FTM;
  long double FUnderlineWidth = 0;
  long double FUnderlinePosition = 0;
  TPdfCanvas& FCanvas;
};

}  // namespace Vellix
