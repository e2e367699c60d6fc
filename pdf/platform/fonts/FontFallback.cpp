#include "platform/fonts/FontFallback.h"

#include <fontconfig/fontconfig.h>

#include <mutex>
#include <utility>

namespace Vellix {

namespace {

bool Maps(FcPattern* aFont, char32_t aCharacter) {
  FcCharSet* charset = nullptr;
  return FcPatternGetCharSet(aFont, FC_CHARSET, 0, &charset) == FcResultMatch &&
         FcCharSetHasChar(charset, FcChar32(aCharacter));
}

}  // namespace

std::optional<TFaceLocation> FallbackFace(std::string_view aFamily, TFontStyles aStyle, char32_t aCharacter,
                                         const std::function<bool(const TFaceLocation&)>& aUsable) {
  // fontconfig's configuration is shared by the whole process; its sorting
  // functions are not documented as safe to call side by side.
  static std::mutex lock;
  const std::lock_guard<std::mutex> guard(lock);
  if (!FcInit()) return std::nullopt;

  FcPattern* pattern = FcPatternCreate();
  const std::string family(aFamily);
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, aStyle.Contains(fsBold) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, aStyle.Contains(fsItalic) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcCharSet* wanted = FcCharSetCreate();
  FcCharSetAddChar(wanted, FcChar32(aCharacter));
  FcPatternAddCharSet(pattern, FC_CHARSET, wanted);
  FcCharSetDestroy(wanted);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);

  std::optional<TFaceLocation> found;
  FcResult result = FcResultNoMatch;
  if (FcFontSet* sorted = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result)) {
    for (int i = 0; i < sorted->nfont && !found; ++i) {
      FcPattern* font = sorted->fonts[i];
      FcChar8* file = nullptr;
      int index = 0;
      if (!Maps(font, aCharacter) || FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) continue;
      FcPatternGetInteger(font, FC_INDEX, 0, &index);
      TFaceLocation location{reinterpret_cast<const char*>(file), index};
      if (aUsable(location)) found = std::move(location);
    }
    FcFontSetDestroy(sorted);
  }
  FcPatternDestroy(pattern);
  return found;
}

}  // namespace Vellix
