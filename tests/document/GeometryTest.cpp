// Length units, paper sizes and orientation, and the construction defaults.

#include <gtest/gtest.h>

#include "support/Readers.h"
#include "support/TestDocument.h"

using namespace Vellix;
using namespace VellixTest;

TEST(Geometry, DefaultsAfterConstruction) {
  TVellix doc;
  EXPECT_EQ(doc.LengthUnit(), luTenth);
  EXPECT_EQ(doc.Orientation(), poPortrait);
  EXPECT_EQ(doc.PaperSizeName(), "A4");
  EXPECT_EQ(doc.PaperSize(), 9);
  EXPECT_EQ(doc.PageWidth(), 2100);
  EXPECT_EQ(doc.PageHeight(), 2970);
  EXPECT_EQ(doc.PointPerUnit(), 72.0L / 254.0L);
  EXPECT_EQ(doc.UnitPerPixel(), 254.0L / 96.0L);
  EXPECT_EQ(doc.UnitPerTenth(), 1.0L);
  EXPECT_EQ(doc.ImageCompressMode(), cpJpeg);
  EXPECT_FALSE(doc.EmbedFonts());
  EXPECT_FALSE(doc.WantShow());
  EXPECT_EQ(doc.Title(), "");
  EXPECT_EQ(doc.FileName(), "");
  EXPECT_EQ(doc.OutStream(), nullptr);
  EXPECT_EQ(doc.About(), "Merovant Vellix Builder");
  doc.SetAbout("something else");
  EXPECT_EQ(doc.About(), "Merovant Vellix Builder");
  const TStringList<>& fonts = doc.NonEmbeddedFonts();
  ASSERT_EQ(fonts.Count(), 4);
  EXPECT_EQ(fonts[0], "Arial");
  EXPECT_EQ(fonts[1], "Courier New");
  EXPECT_EQ(fonts[2], "Symbol");
  EXPECT_EQ(fonts[3], "Times New Roman");
  EXPECT_EQ(fonts.IndexOf("times new roman"), 3);
  EXPECT_EQ(std::string(VellixVersion), "1.4");
  EXPECT_EQ(doc.ClassName(), "TVellix");
}

TEST(Geometry, UnitChangesConvertTheSizeWithTiesToEven) {
  TVellix doc;
  doc.SetLengthUnit(luPoint);
  EXPECT_EQ(doc.PageWidth(), 595);
  EXPECT_EQ(doc.PageHeight(), 842);
  EXPECT_EQ(doc.PaperSizeName(), "A4");
  EXPECT_EQ(doc.PointPerUnit(), 1.0L);
  EXPECT_EQ(doc.UnitPerPixel(), 72.0L / 96.0L);
  EXPECT_EQ(doc.UnitPerTenth(), 72.0L / 254.0L);
  doc.SetLengthUnit(luPoint);  // no change: no conversion
  EXPECT_EQ(doc.PageWidth(), 595);
  doc.SetLengthUnit(luTenth);
  EXPECT_EQ(doc.PageWidth(), 2099);
  EXPECT_EQ(doc.PageHeight(), 2970);

  doc.SetLengthUnit(luPoint);
  doc.SetPageHeight(54);
  doc.SetPageWidth(18);
  doc.SetLengthUnit(luTenth);
  EXPECT_EQ(doc.PageHeight(), 190);  // 190.5
  EXPECT_EQ(doc.PageWidth(), 64);    // 63.5
}

TEST(Geometry, PaperTableInBothUnits) {
  // Width and height in points as the table gives them, entries 1 to 41.
  const int32_t points[42][2] = {
      {0, 0},      {612, 792},   {612, 792},   {792, 1224}, {1224, 792}, {612, 1008}, {360, 612},
      {522, 756},  {842, 1191},  {595, 842},   {595, 842},  {420, 595},  {709, 1003}, {516, 729},
      {612, 936},  {609, 780},   {720, 1008},  {792, 1224}, {612, 792},  {279, 639},  {297, 684},
      {296, 747},  {342, 792},   {360, 828},   {1224, 1584}, {1584, 2448}, {2448, 3168}, {312, 624},
      {459, 649},  {918, 1298},  {649, 918},   {323, 459},  {323, 649},  {709, 1001}, {499, 709},
      {499, 354},  {312, 652},   {279, 540},   {261, 468},  {1071, 792}, {612, 864},  {612, 936},
  };
  TVellix tenth, point;
  point.SetLengthUnit(luPoint);
  for (int32_t i = 0; i < PaperSizeCount; ++i) {
    tenth.SetPaperSize(i);
    point.SetPaperSize(i);
    EXPECT_EQ(tenth.PageWidth(), PaperSizes[size_t(i)].Width) << i;
    EXPECT_EQ(tenth.PageHeight(), PaperSizes[size_t(i)].Height) << i;
    EXPECT_EQ(point.PageWidth(), points[i][0]) << i;
    EXPECT_EQ(point.PageHeight(), points[i][1]) << i;
    EXPECT_EQ(point.PaperSizeName(), PaperSizeNames[size_t(i)]);
    EXPECT_EQ(point.PaperSize(), i);
  }
  EXPECT_EQ(MessageOf([&] { tenth.SetPaperSize(42); }), "Invalid property value: PaperSize");
  EXPECT_EQ(tenth.PaperSize(), 41);
}

TEST(Geometry, PaperNamesMatchIgnoringCaseFirstEntryWins) {
  TVellix doc;
  doc.SetLengthUnit(luPoint);
  doc.SetPaperSizeName("letter");
  EXPECT_EQ(doc.PaperSize(), 1);
  EXPECT_EQ(doc.PaperSizeName(), "Letter");
  EXPECT_EQ(doc.PageWidth(), 612);
  EXPECT_EQ(doc.PageHeight(), 792);
  doc.SetPaperSizeName("b4");
  EXPECT_EQ(doc.PaperSize(), 12);
  doc.SetPaperSizeName("B5");
  EXPECT_EQ(doc.PaperSize(), 13);
  doc.SetPaperSizeName("ENVELOPE #10");
  EXPECT_EQ(doc.PaperSize(), 20);
  EXPECT_EQ(MessageOf([&] { doc.SetPaperSizeName("Letter "); }), "Invalid property value: PaperSizeName");
  EXPECT_EQ(MessageOf([&] { doc.SetPaperSizeName("Custom"); }), "Invalid property value: PaperSizeName");
  EXPECT_EQ(doc.PaperSize(), 20);
  EXPECT_EQ(doc.PageWidth(), 297);
}

TEST(Geometry, OrientationSwapsOnceAndAppliesToPaper) {
  TVellix doc;
  doc.SetOrientation(poLandscape);
  EXPECT_EQ(doc.PageWidth(), 2970);
  EXPECT_EQ(doc.PageHeight(), 2100);
  doc.SetOrientation(poLandscape);
  EXPECT_EQ(doc.PageWidth(), 2970);
  doc.SetPaperSizeName("A5");
  EXPECT_EQ(doc.PageWidth(), 2100);
  EXPECT_EQ(doc.PageHeight(), 1480);
  EXPECT_EQ(doc.PaperSizeName(), "A5");
  doc.SetOrientation(poPortrait);
  EXPECT_EQ(doc.PageWidth(), 1480);
  EXPECT_EQ(doc.PaperSizeName(), "A5");
}

TEST(Geometry, DirectSizeMakesThePaperCustom) {
  TVellix doc;
  doc.SetPageWidth(1000);
  EXPECT_EQ(doc.PaperSizeName(), "Custom");
  EXPECT_EQ(doc.PaperSize(), 0);
  EXPECT_EQ(doc.PageWidth(), 1000);
  EXPECT_EQ(doc.PageHeight(), 2970);
}

TEST(Geometry, MediaBoxFollowsUnitAndSize) {
  TTempDir dir;
  std::string bytes = WriteDocument(dir.File("pt.pdf"), nullptr, [](TVellix& doc) { doc.SetLengthUnit(luPoint); });
  EXPECT_NE(bytes.find("/MediaBox [ 0 0 595 842 ]\r\n"), std::string::npos);
  bytes = WriteDocument(dir.File("land.pdf"), nullptr, [](TVellix& doc) { doc.SetOrientation(poLandscape); });
  EXPECT_NE(bytes.find("/MediaBox [ 0 0 841.89 595.276 ]\r\n"), std::string::npos);
  bytes = WriteDocument(dir.File("letter.pdf"), nullptr, [](TVellix& doc) { doc.SetPaperSizeName("Letter"); });
  EXPECT_NE(bytes.find("/MediaBox [ 0 0 612 792 ]\r\n"), std::string::npos);
  for (const char* name : {"pt.pdf", "land.pdf", "letter.pdf"}) EXPECT_EQ(ReadersComplaints(dir.File(name)), "");
}
