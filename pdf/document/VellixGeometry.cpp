// Page geometry of TVellix: length unit, orientation, page size and the paper
// table. All setters refuse changes while a document is open.

#include <cmath>
#include <limits>

#include <vellix/Canvas.h>
#include <vellix/Document.h>
#include <vellix/PaperSizes.h>

#include "writer/DocumentContext.h"
#include "writer/PdfNumber.h"

namespace Vellix {

namespace {

constexpr long double PointsPerTenth = 72.0L / 254.0L;

// The integer product first, then the division in extended precision.
int32_t Convert(int32_t aValue, int32_t aNumerator, int32_t aDenominator) {
  return RoundToInt32(static_cast<long double>(int64_t(aValue) * aNumerator) / aDenominator);
}

bool IsDigits(const std::string& aText, size_t aFrom, size_t aCount) {
  if (aText.size() < aFrom + aCount) return false;
  for (size_t i = aFrom; i < aFrom + aCount; ++i)
    if (aText[i] < '0' || aText[i] > '9') return false;
  return true;
}

// The date syntax of PDF without its "D:": yyyy[mm[dd[hh[mm[ss]]]]], then
// optionally "Z" or a signed offset hh['mm[']].
bool IsPdfDate(const std::string& aDate) {
  size_t digits = 0;
  while (digits < aDate.size() && digits < 14 && aDate[digits] >= '0' && aDate[digits] <= '9') ++digits;
  if (digits < 4 || digits % 2 != 0) return false;
  const std::string zone = aDate.substr(digits);
  if (zone.empty() || zone == "Z") return true;
  if (zone[0] != '+' && zone[0] != '-') return false;
  if (zone.size() == 3) return IsDigits(zone, 1, 2);
  if (zone.size() == 4) return IsDigits(zone, 1, 2) && zone[3] == '\'';
  if (zone.size() == 6) return IsDigits(zone, 1, 2) && zone[3] == '\'' && IsDigits(zone, 4, 2);
  if (zone.size() == 7) return IsDigits(zone, 1, 2) && zone[3] == '\'' && IsDigits(zone, 4, 2) && zone[6] == '\'';
  return false;
}

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; }

bool SameUpper(const char* aName, const std::string& aValue) {
  size_t i = 0;
  for (; aName[i] != '\0'; ++i)
    if (i >= aValue.size() || UpperAscii(aName[i]) != UpperAscii(aValue[i])) return false;
  return i == aValue.size();
}

}  // namespace

void TVellix::CheckNotPrinting(const char* aPropertyName) {
  if (FContext->Printing) RaiseError(MSG_READ_ONLY_WHEN_PRINTING, aPropertyName);
}

void TVellix::SetLengthUnit(TLengthUnit aLengthUnit) {
  CheckNotPrinting("LengthUnit");
  const long double dpi = FCanvas->BitmapRes();
  if (aLengthUnit == luPoint) {
    FContext->PointPerUnit = 1;
    FContext->UnitPerPixel = 72.0L / dpi;
    FContext->UnitPerTenth = PointsPerTenth;
    if (FLengthUnit == luTenth) {
      FContext->PageHeight = Convert(FContext->PageHeight, 72, 254);
      FContext->PageWidth = Convert(FContext->PageWidth, 72, 254);
    }
  } else {
    FContext->PointPerUnit = PointsPerTenth;
    FContext->UnitPerPixel = 254.0L / dpi;
    FContext->UnitPerTenth = 1;
    if (FLengthUnit == luPoint) {
      FContext->PageHeight = Convert(FContext->PageHeight, 254, 72);
      FContext->PageWidth = Convert(FContext->PageWidth, 254, 72);
    }
  }
  FContext->PointPerUnitAsDouble = static_cast<double>(FContext->PointPerUnit);
  FContext->UnitIsPoint = FContext->PointPerUnit == 1;
  FLengthUnit = aLengthUnit;
}

void TVellix::SetPaperSize(int32_t aPaperSize) {
  CheckNotPrinting("PaperSize");
  if (aPaperSize < 0 || aPaperSize >= PaperSizeCount) RaiseError(MSG_INVALID_PROPERTY, "PaperSize");
  FPaperSizeName = PaperSizeNames[size_t(aPaperSize)];
  FPaperSize = aPaperSize;
  const TPaperSize& paper = PaperSizes[size_t(aPaperSize)];
  const int32_t w = RoundToInt32(paper.Width * FContext->UnitPerTenth);
  const int32_t h = RoundToInt32(paper.Height * FContext->UnitPerTenth);
  if (FOrientation == poPortrait) {
    FContext->PageWidth = w;
    FContext->PageHeight = h;
  } else {
    FContext->PageWidth = h;
    FContext->PageHeight = w;
  }
}

void TVellix::SetPaperSizeName(const std::string& aPaperSizeName) {
  CheckNotPrinting("PaperSizeName");
  for (int32_t i = 1; i < PaperSizeCount; ++i) {
    if (SameUpper(PaperSizeNames[size_t(i)], aPaperSizeName)) {
      SetPaperSize(i);
      return;
    }
  }
  RaiseError(MSG_INVALID_PROPERTY, "PaperSizeName");
}

void TVellix::SetPageWidth(int32_t aPageWidth) {
  CheckNotPrinting("PageWidth");
  FContext->PageWidth = aPageWidth;
  FPaperSize = 0;
  FPaperSizeName = PaperSizeNames[0];
}

void TVellix::SetPageHeight(int32_t aPageHeight) {
  CheckNotPrinting("PageHeight");
  FContext->PageHeight = aPageHeight;
  FPaperSize = 0;
  FPaperSizeName = PaperSizeNames[0];
}

void TVellix::SetOrientation(TPrinterOrientation aOrientation) {
  CheckNotPrinting("Orientation");
  if (aOrientation != FOrientation) std::swap(FContext->PageWidth, FContext->PageHeight);
  FOrientation = aOrientation;
}

// ---- Properties that shape the document ----

void TVellix::SetCompressContent(bool aValue) {
  CheckNotPrinting("CompressContent");
  FContext->CompressContent = aValue;
}

void TVellix::SetShareImages(bool aValue) {
  CheckNotPrinting("ShareImages");
  FContext->ShareImages = aValue;
}

void TVellix::SetKeepTransparency(bool aValue) {
  CheckNotPrinting("KeepTransparency");
  FContext->KeepTransparency = aValue;
}

void TVellix::SetTextEncoding(TTextEncoding aValue) {
  CheckNotPrinting("TextEncoding");
  if (aValue != teAnsi && aValue != teUtf8) RaiseError(MSG_INVALID_PROPERTY, "TextEncoding");
  FContext->TextEncoding = aValue;
}

void TVellix::SetEmbedFonts(bool aEmbedFonts) {
  CheckNotPrinting("EmbedFonts");
  FContext->EmbedFonts = aEmbedFonts;
}

void TVellix::SetFileName(const std::string& aFileName) {
  CheckNotPrinting("FileName");
  FFileName = aFileName;
}

void TVellix::SetImageCompressMode(TPdfCompressMode aImageCompressMode) {
  CheckNotPrinting("ImageCompressMode");
  // A value cast from outside the enumeration would index the writer's
  // filter table; it is refused here, before any image sees it.
  if (aImageCompressMode != cpNone && aImageCompressMode != cpZlib && aImageCompressMode != cpJpeg)
    RaiseError(MSG_INVALID_PROPERTY, "ImageCompressMode");
  FContext->ImageCompressMode = aImageCompressMode;
}

void TVellix::SetCreationDate(const std::string& aDate) {
  if (!aDate.empty() && !IsPdfDate(aDate)) RaiseError(MSG_INVALID_PROPERTY, "CreationDate");
  FCreationDate = aDate;
}

void TVellix::SetTitle(const std::string& aTitle) {
  CheckNotPrinting("Title");
  FTitle = aTitle;
}

}  // namespace Vellix
