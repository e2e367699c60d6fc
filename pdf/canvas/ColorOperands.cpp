#include "canvas/ColorOperands.h"

#include <array>
#include <cstring>
#include <string>

#include "writer/PdfNumber.h"

namespace Vellix::Detail {

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

}  // namespace

char* PutColorOperands(char* aOut, TColor aColor) {
  const TColor rgb = ColorToRGB(aColor);
  const auto& texts = ComponentTexts();
  for (const uint8_t value : {GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)}) {
    std::memcpy(aOut, texts[value].Text, sizeof texts[value].Text);
    aOut += texts[value].Length;
  }
  return aOut;
}

}  // namespace Vellix::Detail
