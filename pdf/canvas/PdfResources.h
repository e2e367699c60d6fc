#pragma once
// TPdfResources: the fonts and images a document has used, in order of first
// use, and the shared resource dictionary that names them for every page.
// Owned by the canvas; emptied when a document begins.
//
// A font's index gives its resource name "/F<index>"; an image's "/Im<index>".
// An image's encoded data is held from its placement until its page is
// written; then only the number of its object stays. A form (a drawing that
// the document completes at its end, such as the page count) is named
// "/Fm<index>".

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <vellix/StringList.h>

namespace Vellix {

class TPdfFont;
class TPdfImage;
class TPdfWriter;
class TShapingFace;
class TUnicodeFont;

class TPdfResources {
public:
  TPdfResources();
  ~TPdfResources();
  TPdfResources(const TPdfResources&) = delete;
  TPdfResources& operator=(const TPdfResources&) = delete;

  // string = font id, object = the font.
  TStringList<TPdfFont>& Fonts() { return FFonts; }
  // Images in order of placement.
  int32_t ImageCount() const { return int32_t(FImages.size()); }
  // Adds a placed image, not yet written; returns its index.
  int32_t AddImage(std::unique_ptr<TPdfImage> aImage);
  // The encoded image waiting for its page, or null once written or released.
  TPdfImage* PendingImage(int32_t aIndex) const { return FImages[size_t(aIndex)].Pending.get(); }
  // The number of the image's object, 0 until it is written.
  int32_t ImageObjectNo(int32_t aIndex) const { return FImages[size_t(aIndex)].ObjectNo; }
  // Records that the image is written as object aObjectNo and frees its data.
  void SetImageWritten(int32_t aIndex, int32_t aObjectNo);
  // The index of the image placed before with the same content key, or -1;
  // and recording one (shared images).
  int32_t SharedImage(const std::string& aKey) const;
  void SetSharedImage(const std::string& aKey, int32_t aIndex);
  // Records the object number of the dictionary of font aFontIndex.
  void SetFontObjectNo(int32_t aFontIndex, int32_t aObjectNo);
  // The stream object of an embedded font program (a face's file and index),
  // 0 while none is written; and recording it.
  int32_t FontProgram(const std::string& aFace) const;
  void SetFontProgram(const std::string& aFace, int32_t aObjectNo);

  // The font that draws aFace with Unicode text, "/U<index>", made on first
  // use with the number of its dictionary reserved in aWriter.
  TUnicodeFont& UnicodeFont(const TShapingFace& aFace, TPdfWriter& aWriter);
  // Writes every Unicode font (at the document's end, when all its glyphs
  // are known). aBinary: streams without their ASCII85 layer.
  void WriteUnicodeFonts(TPdfWriter& aWriter, bool aBinary) const;

  // Adds the form object aObjectNo; returns its index.
  int32_t AddForm(int32_t aObjectNo);

  // Frees every font, image and form (a document begins, or the canvas goes).
  void Clear();
  // Counts the calls of Clear, so that a pointer to a font can be known stale.
  uint64_t Generation() const { return FGeneration; }
  // Frees the images that wait for a page that will never be written.
  void ReleasePendingImages();

  // Writes the body of the shared resource dictionary: "/Font <<" with every
  // font (the Unicode fonts after the others), then "/XObject <<" with every image and form when there are any. A font
  // without a dictionary is an internal error.
  void WriteDictionary(TPdfWriter& aWriter) const;

private:
  uint64_t FGeneration = 0;
  TStringList<TPdfFont> FFonts;
  std::vector<int32_t> FFontObjectNos;
  std::map<std::string, int32_t> FFontPrograms;
  std::vector<std::unique_ptr<TUnicodeFont>> FUnicodeFonts;
  std::map<const TShapingFace*, size_t> FUnicodeFontIndex;
  struct TImageEntry {
    std::unique_ptr<TPdfImage> Pending;
    int32_t ObjectNo = 0;
  };
  std::vector<TImageEntry> FImages;
  std::map<std::string, int32_t> FSharedImages;
  std::vector<int32_t> FForms;
};

}  // namespace Vellix
