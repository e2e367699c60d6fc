#pragma once
// TPdfResources: the fonts and images a document has used, in order of first
// use, and the shared resource dictionary that names them for every page.
// Owned by the canvas; emptied when a document begins.
//
// A font's index gives its resource name "/F<index>"; an image's "/Im<index>".
// An image is held from its placement until its page is written, then only
// its resource line " /Im<index> <n> 0 R" stays.

#include <cstdint>
#include <vector>

#include <vellix/StringList.h>

namespace Vellix {

class TPdfFont;
class TPdfImage;
class TPdfWriter;

class TPdfResources {
public:
  TPdfResources();
  ~TPdfResources();
  TPdfResources(const TPdfResources&) = delete;
  TPdfResources& operator=(const TPdfResources&) = delete;

  // string = font id, object = the font.
  TStringList<TPdfFont>& Fonts() { return FFonts; }
  // string = empty until written, then its resource line; object = the image
  // until written.
  TStringList<TPdfImage>& Images() { return FImages; }
  // Records the object number of the dictionary of font aFontIndex.
  void SetFontObjectNo(int32_t aFontIndex, int32_t aObjectNo);

  // Frees every font and image (a document begins, or the canvas goes).
  void Clear();
  // Frees the images that wait for a page that will never be written.
  void ReleasePendingImages();

  // Writes the body of the shared resource dictionary: "/Font <<" with every
  // font, then "/XObject <<" with every image when there are any. A font
  // without a dictionary is an internal error.
  void WriteDictionary(TPdfWriter& aWriter) const;

private:
  TStringList<TPdfFont> FFonts;
  std::vector<int32_t> FFontObjectNos;
  TStringList<TPdfImage> FImages;
};

}  // namespace Vellix
