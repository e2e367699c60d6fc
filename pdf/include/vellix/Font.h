#pragma once
// The font attributes an application sets on the canvas: family name, size in
// points (or height in pixels), colour and style. Size and Height are two
// views of one value at the measuring resolution: Height = -MulDiv(Size, 96, 72),
// a negative height meaning an em of |Height| pixels. Size 100 is an em of
// 133 pixels and reads back as 100.

#include <vellix/Export.h>
#include <cstdint>
#include <initializer_list>
#include <string>

#include <vellix/Color.h>

namespace Vellix {

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// A set of font styles.
class VELLIX_API TFontStyles {
public:
  constexpr TFontStyles() = default;
  constexpr TFontStyles(std::initializer_list<TFontStyle> aStyles) {
    for (TFontStyle s : aStyles) FBits |= Bit(s);
  }
  constexpr bool Contains(TFontStyle aStyle) const { return (FBits & Bit(aStyle)) != 0; }
  constexpr void Include(TFontStyle aStyle) { FBits |= Bit(aStyle); }
  constexpr void Exclude(TFontStyle aStyle) { FBits &= uint8_t(~Bit(aStyle)); }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr uint8_t Bits() const { return FBits; }
  friend constexpr bool operator==(TFontStyles, TFontStyles) = default;

private:
  static constexpr uint8_t Bit(TFontStyle aStyle) { return uint8_t(1u << aStyle); }
  uint8_t FBits = 0;
};

// Windows-style a * b / c rounded to the nearest integer, halves away from
// zero; -1 when c is 0. Inline, so that Size and SetSize, which every text
// drawn calls, divide by their constant with a multiplication.
constexpr int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  const int64_t product = int64_t(a) * b;
  const bool negative = (product < 0) != (c < 0);
  const int64_t num = product < 0 ? -product : product;
  const int64_t den = c < 0 ? -int64_t(c) : int64_t(c);
  const int64_t q = (2 * num + den) / (2 * den);
  return int32_t(negative ? -q : q);
}

class VELLIX_API TFont {
public:
  // Logical resolution used to relate Size and Height.
  static constexpr int32_t PixelsPerInch = 96;

  const std::string& Name() const { return FName; }
  void SetName(const std::string& aName) {
    FName = aName;
    FNameStamp = NextNameStamp();
  }
  // A number given anew by every SetName and carried by copies, so that two
  // fonts with the same stamp have the same name: callers that keep
  // something per name compare stamps before names.
  uint64_t NameStamp() const { return FNameStamp; }
  // Size in points, derived from Height.
  int32_t Size() const { return -MulDiv(FHeight, 72, PixelsPerInch); }
  void SetSize(int32_t aSize) { FHeight = -MulDiv(aSize, PixelsPerInch, 72); }
  // Height in pixels; negative means the em height (the usual case).
  int32_t Height() const { return FHeight; }
  void SetHeight(int32_t aHeight) { FHeight = aHeight; }
  TColor Color() const { return FColor; }
  void SetColor(TColor aColor) { FColor = aColor; }
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles aStyle) { FStyle = aStyle; }
  void Assign(const TFont& aSource) { *this = aSource; }

private:
  static uint64_t NextNameStamp();

  std::string FName = "MS Sans Serif";
  uint64_t FNameStamp = 0;  // 0: the name every font starts with
  int32_t FHeight = -11;  // 8 points
  TColor FColor = clWindowText;
  TFontStyles FStyle;
};

}  // namespace Vellix
