#include "text/PdfFont.h"

#include <cmath>
#include <memory>

#include <vellix/Application.h>
#include <vellix/Canvas.h>
#include <vellix/Exception.h>
#include <vellix/Messages.h>
#include <vellix/Stream.h>

#include "canvas/PdfResources.h"
#include "text/FontStream.h"
#include "writer/DocumentContext.h"
#include "writer/PdfSyntax.h"

namespace Vellix {

namespace {

// Real-to-integer conversions of font quantities round ties to even.
int64_t RoundEven(long double aValue) { return int64_t(std::rint(aValue)); }

}  // namespace

TPdfFont::TPdfFont(TPdfCanvas& aCanvas, const TFont& aFont)
    : FFontId(MakeFontId(aFont)), FFontName(aFont.Name()), FCanvas(aCanvas) {
  // The id's style: bold and italic (underline and strike-out are drawn, not faces).
  if (aFont.Style().Contains(fsBold)) FStyle.Include(fsBold);
  if (aFont.Style().Contains(fsItalic)) FStyle.Include(fsItalic);
}

TPdfFont::~TPdfFont() = default;

std::string TPdfFont::MakeFontId(const TFont& aFont) {
  const TFontStyles style = aFont.Style();
  const bool bold = style.Contains(fsBold), italic = style.Contains(fsItalic);
  if (bold && italic) return aFont.Name() + ",BoldItalic";
  if (bold) return aFont.Name() + ",Bold";
  if (italic) return aFont.Name() + ",Italic";
  return aFont.Name();
}

TPdfFont& TPdfFont::Create(TPdfCanvas& aCanvas, const TFont& aFont) {
  std::unique_ptr<TPdfFont> created(new TPdfFont(aCanvas, aFont));
  TPdfFont& font = *created;
  font.FFontIndex = aCanvas.Resources().Fonts().AddObject(font.FFontId, std::move(created));
  font.FFontRef = "/F" + std::to_string(font.FFontIndex);
  try {
    font.RegisterFont();
  } catch (const std::exception& e) {
    Application::ShowMessage(e.what());
    // RaiseError has aborted the document already. A failure that did not go
    // through it (compression, a stream) would leave a half-written font in an
    // open file, which EndDoc would then finish as if it were sound: abort it
    // here the same way, so the partial file is removed.
    TDocumentContext& context = aCanvas.Context();
    if (context.Printing) {
      try {
        context.Abort();
      } catch (...) {
      }
    }
    context.Aborted = true;
  }
  return font;
}

const TFontMetrics& TPdfFont::Measure(TFontStyles aStyle) const {
  TFont measuring;
  measuring.SetName(FFontName);
  measuring.SetSize(100);
  try {
    return FontMetricsOf(FFontName, aStyle, measuring.Height());
  } catch (const Exception&) {
    FCanvas.Context().RaiseError(MSG_INTERNAL_ERROR, "GetTextMetrics");
  }
}

void TPdfFont::RegisterFont() {
  TFont measuring;
  measuring.SetSize(100);
  FScale = 72000.0L / FCanvas.BitmapRes() / measuring.Size();

  // A font that is only named is measured and described from the family's
  // regular face; a reader draws the style from its own copy.
  const TFontMetrics* metrics = &Measure({});
  if (!metrics->IsTrueType()) {
    if (IsStandardSymbol(*metrics)) return WriteStandardSymbol(*metrics);
    FCanvas.Context().RaiseError(MSG_NOT_TRUETYPE, FFontName);
  }
  const TDocumentContext& context = FCanvas.Context();
  if (context.EmbedFonts && context.NonEmbeddedFonts.IndexOf(FFontName) < 0) {
    // An embedded font is the program of the face drawn, with its widths:
    // the bold program for bold text, so that readers draw it bold.
    const TFontMetrics* drawn = FStyle.Empty() ? metrics : &Measure(FStyle);
    if (drawn->IsTrueType() && (drawn->OutlineTextMetric().otmfsType & 1) == 0) {
      metrics = drawn;
      FEmbedded = true;
    }
  }
  FTM = metrics->TextMetric();
  FFirstChar = FTM.tmFirstChar;
  FLastChar = FTM.tmLastChar;
  SetAscent(FTM.tmAscent * FScale / 1000);
  FOTM = metrics->OutlineTextMetric();
  if (FEmbedded) FEmbedNo = EmbedFont(*metrics);
  WriteFontDesc(*metrics);
}

bool TPdfFont::IsStandardSymbol(const TFontMetrics& aMetrics) const {
  return SameTextAscii(FFontName, "Symbol") && aMetrics.TextMetric().tmCharSet == SYMBOL_CHARSET;
}

void TPdfFont::WriteStandardSymbol(const TFontMetrics& aMetrics) {
  // Every reader has the standard Symbol font; a PDF names it with no
  // descriptor and no program, and the widths of the face it was measured
  // with (its metric twin) keep what is drawn where the layout put it.
  FTM = aMetrics.TextMetric();
  FOTM = aMetrics.OutlineTextMetric();
  FFirstChar = FTM.tmFirstChar;
  FLastChar = FTM.tmLastChar;
  SetAscent(FTM.tmAscent * FScale / 1000);
  const int32_t widthsNo = WriteWidths(aMetrics);
  TPdfWriter& writer = FCanvas.Context().Writer;
  FObjectNo = writer.BeginDic();
  writer.WriteLine("/Type /Font");
  writer.WriteLine("/Subtype /Type1");
  writer.WriteLine("/Name " + FFontRef);
  writer.WriteLine("/BaseFont /Symbol");
  writer.WriteLine("/FirstChar " + std::to_string(FFirstChar));
  writer.WriteLine("/LastChar " + std::to_string(FLastChar));
  writer.WriteLine("/Widths " + Ref(widthsNo));
  writer.EndDic();
  FCanvas.Resources().SetFontObjectNo(FFontIndex, FObjectNo);
}

int32_t TPdfFont::EmbedFont(const TFontMetrics& aMetrics) {
  // Every font resource that draws this face shares one copy of its program.
  TPdfResources& resources = FCanvas.Resources();
  const std::string program = aMetrics.FilePath() + "#" + std::to_string(aMetrics.FaceIndex());
  if (const int32_t written = resources.FontProgram(program); written > 0) return written;

  const std::vector<uint8_t> data = aMetrics.FontData();
  if (data.empty()) FCanvas.Context().RaiseError(MSG_INTERNAL_ERROR, "GetFontData");

  const int32_t objectNo = WriteFontStream(FCanvas.Context().Writer, data, FCanvas.Context().Compact(),
                                           {"/Length1 " + std::to_string(data.size())});
  resources.SetFontProgram(program, objectNo);
  return objectNo;
}

int32_t TPdfFont::WriteWidths(const TFontMetrics& aMetrics) {
  TPdfWriter& writer = FCanvas.Context().Writer;
  const int32_t widthsNo = writer.BeginObject("[");
  std::vector<TABC> abc;
  abc.reserve(256);
  if (!aMetrics.CharABCWidths(FFirstChar, FLastChar, abc)) FCanvas.Context().RaiseError(MSG_INTERNAL_ERROR, "GetCharABCWidths");
  std::string line;
  for (size_t i = 0; i < abc.size(); ++i) {
    const int64_t advance = int64_t(abc[i].abcA) + int64_t(abc[i].abcB) + int64_t(abc[i].abcC);
    line += std::to_string(RoundEven(advance * FScale));
    line += ' ';
    if ((i + 1) % 16 == 0) {
      writer.WriteLine(line);
      line.clear();
    }
  }
  if (!line.empty()) writer.WriteLine(line);
  writer.EndObject("]");
  return widthsNo;
}

void TPdfFont::WriteFontDesc(const TFontMetrics& aMetrics) {
  TPdfWriter& writer = FCanvas.Context().Writer;
  const int32_t widthsNo = WriteWidths(aMetrics);
  const bool ansi = FTM.tmCharSet == ANSI_CHARSET;
  const int32_t descriptorNo = writer.BeginDic();
  writer.WriteLine("/Type /FontDescriptor");
  writer.WriteLine("/FontName /" + NameToken(FFontName));
  const std::string ascent = std::to_string(RoundEven(FTM.tmAscent * FScale));
  writer.WriteLine("/Ascent " + ascent);
  writer.WriteLine("/Descent " + std::to_string(RoundEven(-FTM.tmDescent * FScale)));
  writer.WriteLine("/ItalicAngle " + std::to_string(RoundEven(FOTM.otmItalicAngle / 10.0L)));
  writer.WriteLine("/CapHeight " + ascent);
  writer.WriteLine(ansi ? "/Flags 32" : "/Flags 4");
  writer.WriteLine("/FontBBox [0 0 0 0]");
  if (FEmbedded) writer.WriteLine("/FontFile2 " + Ref(FEmbedNo));
  writer.EndDic();

  FObjectNo = writer.BeginDic();
  writer.WriteLine("/Type /Font");
  writer.WriteLine("/Subtype /TrueType");
  writer.WriteLine("/Name " + FFontRef);
  writer.WriteLine("/BaseFont /" + NameToken(FFontId));
  writer.WriteLine(ansi ? "/Encoding /WinAnsiEncoding" : "/Encoding /StandardEncoding");
  writer.WriteLine("/FirstChar " + std::to_string(FFirstChar));
  writer.WriteLine("/LastChar " + std::to_string(FLastChar));
  writer.WriteLine("/Widths " + Ref(widthsNo));
  writer.WriteLine("/FontDescriptor " + Ref(descriptorNo));
  writer.EndDic();
  FCanvas.Resources().SetFontObjectNo(FFontIndex, FObjectNo);

  FUnderlineWidth = FOTM.otmsUnderscoreSize * FScale / 1000;
  FUnderlinePosition = FOTM.otmsUnderscorePosition * FScale / 1000;
}

}  // namespace Vellix
