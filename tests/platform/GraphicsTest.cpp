#include <gtest/gtest.h>

#include <vellix/Color.h>
#include <vellix/Font.h>

using namespace Vellix;

TEST(Color, SystemColoursResolveThroughTheFixedTable) {
  EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
  EXPECT_EQ(ColorToRGB(clWindow), clWhite);
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
  EXPECT_EQ(ColorToRGB(clRed), clRed);
  EXPECT_EQ(ColorToRGB(TColor(0xFF0000FFu)), clBlack);  // unknown index
  EXPECT_EQ(GetRValue(RGB(1, 2, 3)), 1);
  EXPECT_EQ(GetGValue(RGB(1, 2, 3)), 2);
  EXPECT_EQ(GetBValue(RGB(1, 2, 3)), 3);
}

TEST(Font, SizeAndHeightRoundTripAtNinetySixDpi) {
  TFont f;
  f.SetSize(100);
  EXPECT_EQ(f.Height(), -133);
  EXPECT_EQ(f.Size(), 100);
  f.SetSize(9);
  EXPECT_EQ(f.Height(), -12);
  f.SetHeight(-11);
  EXPECT_EQ(f.Size(), 8);
}

TEST(Font, MulDivRoundsHalvesAwayFromZero) {
  EXPECT_EQ(MulDiv(3, 1, 2), 2);
  EXPECT_EQ(MulDiv(-3, 1, 2), -2);
  EXPECT_EQ(MulDiv(5, 1, 2), 3);
  EXPECT_EQ(MulDiv(1, 1, 3), 0);
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  EXPECT_EQ(MulDiv(2000000000, 2, 4), 1000000000);
}
