#pragma once
// Helpers of the text tests: an open document in memory, the lines of one
// object of a written file, and decoding of embedded font streams.

#include <cstdint>
#include <string>
#include <vector>

#include "Vellix.h"

namespace VellixTest {

// A canvas on an open A4 document (tenths of a millimetre) writing to memory.
struct TOpenText {
  Vellix::TMemoryStream Stream;
  Vellix::TVellix Doc;
  explicit TOpenText(bool aEmbed = false) {
    Doc.SetEmbedFonts(aEmbed);
    Doc.SetOutStream(&Stream);
    Doc.BeginDoc();
  }
  Vellix::TPdfCanvas& Canvas() { return Doc.Canvas(); }
  Vellix::TFont& Font() { return Doc.Canvas().Font(); }
  Vellix::TPageBuffer& Lines() { return Doc.Canvas().PdfStream(); }
  // The bytes written so far.
  std::string Written();
};

Vellix::TFont MakeFont(const std::string& aName, int32_t aSize, Vellix::TFontStyles aStyle = {},
                       Vellix::TColor aColor = Vellix::clBlack);

// The lines between "n 0 obj" and "endobj" of object aNumber (CR LF split),
// without those two lines. Empty when the object is not in aPdf.
std::vector<std::string> ObjectLines(const std::string& aPdf, int32_t aNumber);

// The raw stream data of object aNumber (between "stream\r\n" and "endstream").
std::string StreamData(const std::string& aPdf, int32_t aNumber);

// ASCII85 decoding (the "~>" end marker ends it) and zlib inflation.
std::vector<uint8_t> DecodeAscii85(const std::string& aText);
std::vector<uint8_t> Inflate(const std::vector<uint8_t>& aData);

// The widths array a font of the family at the measuring em must have:
// round(advance * 7.5) per code from aFirst to aLast, ties to even.
std::vector<int64_t> ExpectedWidths(const std::string& aFamily, uint8_t aFirst, uint8_t aLast);

}  // namespace VellixTest
