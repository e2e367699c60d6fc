#include "canvas/PdfResources.h"

#include <vellix/Messages.h>

#include "canvas/PdfImage.h"
#include "text/PdfFont.h"
#include "text/unicode/UnicodeFont.h"
#include "writer/PdfSyntax.h"
#include "writer/PdfWriter.h"

namespace Vellix {

TPdfResources::TPdfResources() = default;

TPdfResources::~TPdfResources() = default;

void TPdfResources::SetFontObjectNo(int32_t aFontIndex, int32_t aObjectNo) {
  if (aFontIndex < 0) return;
  if (FFontObjectNos.size() <= size_t(aFontIndex)) FFontObjectNos.resize(size_t(aFontIndex) + 1, 0);
  FFontObjectNos[size_t(aFontIndex)] = aObjectNo;
}

int32_t TPdfResources::AddImage(std::unique_ptr<TPdfImage> aImage) {
  FImages.push_back(TImageEntry{std::move(aImage), 0});
  return ImageCount() - 1;
}

void TPdfResources::SetImageWritten(int32_t aIndex, int32_t aObjectNo) {
  TImageEntry& entry = FImages[size_t(aIndex)];
  entry.Pending.reset();
  entry.ObjectNo = aObjectNo;
}

int32_t TPdfResources::FontProgram(const std::string& aFace) const {
  const auto found = FFontPrograms.find(aFace);
  return found == FFontPrograms.end() ? 0 : found->second;
}

void TPdfResources::SetFontProgram(const std::string& aFace, int32_t aObjectNo) { FFontPrograms[aFace] = aObjectNo; }

int32_t TPdfResources::SharedImage(const std::string& aKey) const {
  const auto found = FSharedImages.find(aKey);
  return found == FSharedImages.end() ? -1 : found->second;
}

void TPdfResources::SetSharedImage(const std::string& aKey, int32_t aIndex) { FSharedImages[aKey] = aIndex; }

void TPdfResources::Clear() {
  ++FGeneration;
  FFonts.Clear();
  FFontObjectNos.clear();
  FFontPrograms.clear();
  FUnicodeFonts.clear();
  FUnicodeFontIndex.clear();
  FImages.clear();
  FSharedImages.clear();
  FForms.clear();
}

TUnicodeFont& TPdfResources::UnicodeFont(const TShapingFace& aFace, TPdfWriter& aWriter) {
  const auto [it, added] = FUnicodeFontIndex.try_emplace(&aFace, FUnicodeFonts.size());
  if (added) {
    const std::string name = "/U" + std::to_string(FUnicodeFonts.size());
    FUnicodeFonts.push_back(std::make_unique<TUnicodeFont>(aFace, aWriter.ReserveObject(), name));
  }
  return *FUnicodeFonts[it->second];
}

void TPdfResources::WriteUnicodeFonts(TPdfWriter& aWriter, bool aBinary) const {
  for (const auto& font : FUnicodeFonts) font->Write(aWriter, aBinary);
}

int32_t TPdfResources::AddForm(int32_t aObjectNo) {
  FForms.push_back(aObjectNo);
  return int32_t(FForms.size()) - 1;
}

void TPdfResources::ReleasePendingImages() {
  for (TImageEntry& entry : FImages) entry.Pending.reset();
}

void TPdfResources::WriteDictionary(TPdfWriter& aWriter) const {
  aWriter.WriteLine("/Font <<");
  for (int32_t i = 0; i < FFonts.Count(); ++i) {
    const int32_t objectNo = size_t(i) < FFontObjectNos.size() ? FFontObjectNos[size_t(i)] : 0;
    if (objectNo <= 0) aWriter.Fail(MSG_INTERNAL_ERROR);
    aWriter.WriteLine("/F" + std::to_string(i) + " " + Ref(objectNo));
  }
  for (const auto& font : FUnicodeFonts) aWriter.WriteLine(font->ResourceName() + " " + Ref(font->ObjectNo()));
  aWriter.WriteLine(">>");
  if (!FImages.empty() || !FForms.empty()) {
    aWriter.WriteLine("/XObject <<");
    for (int32_t i = 0; i < ImageCount(); ++i)
      aWriter.WriteLine(" /Im" + std::to_string(i) + " " + Ref(FImages[size_t(i)].ObjectNo));
    for (size_t i = 0; i < FForms.size(); ++i) aWriter.WriteLine(" /Fm" + std::to_string(i) + " " + Ref(FForms[i]));
    aWriter.WriteLine(" >>");
  }
}

}  // namespace Vellix
