#include "text/PdfFont.h"

#include <cmath>
#include <memory>

#include "canvas/PdfCanvas.h"
#include "document/Messages.h"
#include "document/Vellix.h"
#include "encode/Ascii85.h"
#include "encode/ZlibStream.h"
#include "platform/Application.h"
#include "platform/Exception.h"
#include "platform/Stream.h"

namespace Vellix {

namespace {

// Real-to-integer conversions of font quantities round ties to even.
int64_t RoundEven(long double aValue) { return int64_t(std::nearbyintl(aValue)); }

bool IsNameDelimiter(unsigned char c) {
  switch (c) {
    case '(': case ')': case '<': case '>': case '[': case ']':
    case '{': case '}': case '/': case '%': case '#':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string TVellix::EncodeSpaces(const std::string& aValue) {
  // Blanks become "#20". A family name may also hold characters that cannot
  // stand in a PDF name as they are (delimiters such as "(" or "/", "#"
  // itself, controls and bytes above 126); they are written as "#" and two hex
  // digits too, so that the name cannot end early or break the file. A NUL
  // byte cannot be written in a name at all and is left out.
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(aValue.size() + 8);
  for (unsigned char c : aValue) {
    if (c == 0) continue;
    if (c <= 32 || c > 126 || IsNameDelimiter(c)) {
      out += '#';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += char(c);
    }
  }
  return out;
}

TPdfFont& TVellix::PdfFont(const TFont& aFont) {
  const int32_t index = FFonts.IndexOf(TPdfFont::MakeFontId(aFont));
  if (index >= 0) return *FFonts.Objects(index);
  return TPdfFont::Create(*this, aFont);
}

TPdfFont::TPdfFont(TVellix& aOwner, const TFont& aFont)
    : FFontId(MakeFontId(aFont)), FFontName(aFont.Name()), FOwner(aOwner) {}

TPdfFont::~TPdfFont() = default;

std::string TPdfFont::MakeFontId(const TFont& aFont) {
  const TFontStyles style = aFont.Style();
  const bool bold = style.Contains(fsBold), italic = style.Contains(fsItalic);
  if (bold && italic) return aFont.Name() + ",BoldItalic";
  if (bold) return aFont.Name() + ",Bold";
  if (italic) return aFont.Name() + ",Italic";
  return aFont.Name();
}

TPdfFont& TPdfFont::Create(TVellix& aOwner, const TFont& aFont) {
  std::unique_ptr<TPdfFont> created(new TPdfFont(aOwner, aFont));
  TPdfFont& font = *created;
  font.FFontIndex = aOwner.Fonts().AddObject(font.FFontId, std::move(created));
  font.FFontRef = "/F" + std::to_string(font.FFontIndex);
  try {
    font.RegisterFont();
  } catch (const std::exception& e) {
    Application::ShowMessage(e.what());
    // RaiseError has aborted the document already. A failure that did not go
    // through it (compression, a stream) would leave a half-written font in an
    // open file, which EndDoc would then finish as if it were sound: abort it
    // here the same way, so the partial file is removed.
    if (aOwner.Printing()) {
      try {
        aOwner.Abort();
      } catch (...) {
      }
    }
    aOwner.MarkAborted();
  }
  return font;
}

void TPdfFont::RegisterFont() {
  TFont measuring;
  measuring.SetName(FFontName);
  measuring.SetSize(100);
  FScale = 72000.0L / FOwner.Canvas().BitmapRes() / measuring.Size();

  const TFontMetrics* metrics = nullptr;
  try {
    metrics = &FontMetricsOf(FFontName, {}, measuring.Height());
  } catch (const Exception&) {
    FOwner.RaiseError(MSG_INTERNAL_ERROR, "GetTextMetrics");
  }
  FTM = metrics->TextMetric();
  if ((FTM.tmPitchAndFamily & TMPF_TRUETYPE) == 0) FOwner.RaiseError(MSG_NOT_TRUETYPE, FFontName);
  FFirstChar = FTM.tmFirstChar;
  FLastChar = FTM.tmLastChar;
  FAscent = FTM.tmAscent * FScale / 1000;
  FOTM = metrics->OutlineTextMetric();

  FEmbedded = FOwner.EmbedFonts() && (FOTM.otmfsType & 1) == 0 && FOwner.NonEmbeddedFonts().IndexOf(FFontName) < 0;
  if (FEmbedded) EmbedFont(*metrics);
  WriteFontDesc(*metrics);
}

void TPdfFont::EmbedFont(const TFontMetrics& aMetrics) {
  const std::vector<uint8_t> data = aMetrics.FontData();
  if (data.empty()) FOwner.RaiseError(MSG_INTERNAL_ERROR, "GetFontData");

  TMemoryStream compressed;
  {
    TCompressionStream zip(clDefault, compressed);
    zip.Write(data.data(), int64_t(data.size()));
    zip.Finish();  // here, so that a failure is reported rather than swallowed
  }
  compressed.SetPosition(0);
  TMemoryStream encoded;
  EncodeASCII85(compressed, encoded);

  FEmbedNo = FOwner.BeginDic();
  FOwner.WriteFile("/Filter [/ASCII85Decode /FlateDecode]");
  FOwner.WriteFile("/Length " + std::to_string(encoded.Size()));
  FOwner.WriteFile("/Length1 " + std::to_string(data.size()));
  FOwner.WriteFile(">>");
  FOwner.WriteFile("stream");
  bool written = false;
  try {
    written = FOwner.OutputStream().Write(encoded.Memory(), encoded.Size()) == encoded.Size();
  } catch (const Exception&) {
  }
  if (!written) FOwner.RaiseError(MSG_WRITE_ERROR);
  FOwner.EndObject("endstream");
}

void TPdfFont::WriteFontDesc(const TFontMetrics& aMetrics) {
  const int32_t widthsNo = FOwner.BeginObject("[");
  std::vector<TABC> abc;
  abc.reserve(256);
  if (!aMetrics.CharABCWidths(FFirstChar, FLastChar, abc)) FOwner.RaiseError(MSG_INTERNAL_ERROR, "GetCharABCWidths");
  std::string line;
  for (size_t i = 0; i < abc.size(); ++i) {
    const int64_t advance = int64_t(abc[i].abcA) + int64_t(abc[i].abcB) + int64_t(abc[i].abcC);
    line += std::to_string(RoundEven(advance * FScale));
    line += ' ';
    if ((i + 1) % 16 == 0) {
      FOwner.WriteFile(line);
      line.clear();
    }
  }
  if (!line.empty()) FOwner.WriteFile(line);
  FOwner.EndObject("]");

  const bool ansi = FTM.tmCharSet == ANSI_CHARSET;
  const int32_t descriptorNo = FOwner.BeginDic();
  FOwner.WriteFile("/Type /FontDescriptor");
  FOwner.WriteFile("/FontName /" + TVellix::EncodeSpaces(FFontName));
  const std::string ascent = std::to_string(RoundEven(FTM.tmAscent * FScale));
  FOwner.WriteFile("/Ascent " + ascent);
  FOwner.WriteFile("/Descent " + std::to_string(RoundEven(-FTM.tmDescent * FScale)));
  FOwner.WriteFile("/ItalicAngle " + std::to_string(RoundEven(FOTM.otmItalicAngle / 10.0L)));
  FOwner.WriteFile("/CapHeight " + ascent);
  FOwner.WriteFile(ansi ? "/Flags 32" : "/Flags 4");
  FOwner.WriteFile("/FontBBox [0 0 0 0]");
  if (FEmbedded) FOwner.WriteFile("/FontFile2 " + TVellix::Ref(FEmbedNo));
  FOwner.EndDic();

  FObjectNo = FOwner.BeginDic();
  FOwner.WriteFile("/Type /Font");
  FOwner.WriteFile("/Subtype /TrueType");
  FOwner.WriteFile("/Name " + FFontRef);
  FOwner.WriteFile("/BaseFont /" + TVellix::EncodeSpaces(FFontId));
  FOwner.WriteFile(ansi ? "/Encoding /WinAnsiEncoding" : "/Encoding /StandardEncoding");
  FOwner.WriteFile("/FirstChar " + std::to_string(FFirstChar));
  FOwner.WriteFile("/LastChar " + std::to_string(FLastChar));
  FOwner.WriteFile("/Widths " + TVellix::Ref(widthsNo));
  FOwner.WriteFile("/FontDescriptor " + TVellix::Ref(descriptorNo));
  FOwner.EndDic();
  FOwner.SetFontObjectNo(FFontIndex, FObjectNo);

  FUnderlineWidth = FOTM.otmsUnderscoreSize * FScale / 1000;
  FUnderlinePosition = FOTM.otmsUnderscorePosition * FScale / 1000;
}

}  // namespace Vellix
