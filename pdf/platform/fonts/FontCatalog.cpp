// Finding fonts through fontconfig and keeping what was measured. Every face
// is opened once per process and every (family, style, height) measured once;
// text measurement then costs a hash look-up, or nothing when the same font is
// asked for again, which is the common case of a report drawing cell after cell.

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <cmath>
#include <map>
#include <mutex>
#include <unordered_map>
#include <vector>

#include <vellix/CodePage.h>
#include <vellix/Exception.h>
#include <vellix/StringList.h>
#include "platform/fonts/FontFace.h"
#include "platform/fonts/FontMetrics.h"

namespace Vellix {

namespace {

struct TCatalog {
  std::mutex Lock;  // guards everything below and every use of a TFontFace
  bool FontconfigReady = false;
  std::map<std::pair<std::string, int32_t>, std::shared_ptr<TFontFace>> Faces;
  std::unordered_map<std::string, std::shared_ptr<TFontFace>> Resolved;
  std::unordered_map<std::string, std::unique_ptr<TFontMetrics>> Measured;
  // Measurements superseded by AddFontFile stay alive: callers may hold them.
  std::vector<std::unique_ptr<TFontMetrics>> Retired;
  std::atomic<uint64_t> Generation{1};
};

TCatalog& Catalog() {
  static TCatalog catalog;
  return catalog;
}

std::string FoldedKey(std::string_view aFamily, uint8_t aStyleBits) {
  std::string key;
  key.reserve(aFamily.size() + 2);
  for (char c : aFamily) key += char(std::tolower(static_cast<unsigned char>(c)));
  key += '\0';
  key += char(aStyleBits);
  return key;
}

void EnsureFontconfig(TCatalog& aCatalog) {
  if (aCatalog.FontconfigReady) return;
  if (!FcInit()) throw Exception("fontconfig cannot be initialised");
  aCatalog.FontconfigReady = true;
  // Give fontconfig's configuration back when the program ends, so that leak
  // checkers see only what is really lost.
  std::atexit([] { FcFini(); });
}

// The family names of a pattern after fontconfig's substitutions, in order.
std::vector<std::string> PatternFamilies(FcPattern* aPattern) {
  std::vector<std::string> families;
  FcChar8* name = nullptr;
  for (int i = 0; FcPatternGetString(aPattern, FC_FAMILY, i, &name) == FcResultMatch; ++i)
    families.emplace_back(reinterpret_cast<const char*>(name));
  return families;
}

FcPattern* SubstitutedPattern(const std::string& aFamilyUtf8, bool aBold, bool aItalic) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(aFamilyUtf8.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, aBold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, aItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  return pattern;
}

// The family itself and the ones fontconfig's configuration gives it as
// aliases (for "Helvetica": Nimbus Sans, Arial, Liberation Sans ...), without
// the generic fallbacks every name receives: the list is cut where the
// expansion of a generic family (sans-serif, serif, monospace) begins.
std::vector<std::string> AliasFamilies(FcPattern* aPattern) {
  static const std::vector<std::string> genericStarts = [] {
    std::vector<std::string> starts;
    for (const char* generic : {"sans-serif", "serif", "monospace"}) {
      FcPattern* pattern = SubstitutedPattern(generic, false, false);
      const std::vector<std::string> families = PatternFamilies(pattern);
      FcPatternDestroy(pattern);
      if (!families.empty()) starts.push_back(families.front());
    }
    return starts;
  }();
  std::vector<std::string> families = PatternFamilies(aPattern);
  for (size_t i = 1; i < families.size(); ++i)
    if (std::find(genericStarts.begin(), genericStarts.end(), families[i]) != genericStarts.end()) {
      families.resize(i);
      break;
    }
  return families;
}

bool HasFormat(FcPattern* aFont, const char* aFormat) {
  FcChar8* format = nullptr;
  return FcPatternGetString(aFont, FC_FONTFORMAT, 0, &format) == FcResultMatch &&
         std::string(reinterpret_cast<const char*>(format)) == aFormat;
}

bool NamesOneOf(FcPattern* aFont, const std::vector<std::string>& aFamilies) {
  for (const std::string& family : PatternFamilies(aFont))
    if (std::find(aFamilies.begin(), aFamilies.end(), family) != aFamilies.end()) return true;
  return false;
}

// The file and face index of the best face of format aFormat of the family
// or of one of its aliases, in fontconfig's order; false when there is none.
// A PDF can only name TrueType outlines, so "Helvetica" is better served by
// its metric twin Liberation Sans than refused because fontconfig prefers a
// CFF face; and the standard Symbol font is measured best with the Type 1
// twin, whose built-in encoding is Symbol's own.
bool FindAliasOfFormat(FcPattern* aPattern, const char* aFormat, std::pair<std::string, int32_t>& aId) {
  const std::vector<std::string> aliases = AliasFamilies(aPattern);
  FcResult result = FcResultNoMatch;
  FcFontSet* sorted = FcFontSort(nullptr, aPattern, FcFalse, nullptr, &result);
  if (!sorted) return false;
  bool found = false;
  for (int i = 0; i < sorted->nfont && !found; ++i) {
    FcPattern* font = sorted->fonts[i];
    FcChar8* file = nullptr;
    if (!HasFormat(font, aFormat) || !NamesOneOf(font, aliases) ||
        FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch)
      continue;
    int index = 0;
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    aId = {reinterpret_cast<const char*>(file), index};
    found = true;
  }
  FcFontSetDestroy(sorted);
  return found;
}

// The face fontconfig chooses for a family and style, as it would for any
// application on the system (aliases, metric-compatible families, fallbacks),
// but a TrueType face of the family or of an alias before any other.
std::shared_ptr<TFontFace> Resolve(TCatalog& aCatalog, std::string_view aFamily, bool aBold, bool aItalic) {
  EnsureFontconfig(aCatalog);
  // Family names arrive in code page 1252; fontconfig speaks UTF-8.
  FcPattern* pattern = SubstitutedPattern(AnsiToUtf8(aFamily), aBold, aItalic);
  std::pair<std::string, int32_t> id;
  const bool symbol = SameTextAscii(std::string(aFamily), "Symbol");
  if (!FindAliasOfFormat(pattern, "TrueType", id) && !(symbol && FindAliasOfFormat(pattern, "Type 1", id))) {
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcChar8* file = nullptr;
    if (!match || FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch) {
      if (match) FcPatternDestroy(match);
      FcPatternDestroy(pattern);
      throw Exception("No font found for the family " + std::string(aFamily));
    }
    int index = 0;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    id = {reinterpret_cast<const char*>(file), index};
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);

  std::shared_ptr<TFontFace>& face = aCatalog.Faces[id];
  if (!face) {
    try {
      face = std::make_shared<TFontFace>(id.first, id.second);
    } catch (...) {
      aCatalog.Faces.erase(id);
      throw;
    }
  }
  return face;
}

// The last font measured on this thread, checked before taking the lock.
struct TLastHit {
  std::string Family;
  uint8_t Style = 0xFF;
  int32_t Height = 0;
  uint64_t Generation = 0;
  const TFontMetrics* Metrics = nullptr;
};
thread_local TLastHit tLastHit;

constexpr uint8_t StyleBits(TFontStyles aStyle) {
  return uint8_t((aStyle.Contains(fsBold) ? 1 : 0) | (aStyle.Contains(fsItalic) ? 2 : 0));
}

}  // namespace

const TFontMetrics& FontMetricsOf(std::string_view aFamily, TFontStyles aStyle, int32_t aHeight) {
  TCatalog& catalog = Catalog();
  const uint8_t style = StyleBits(aStyle);
  const uint64_t generation = catalog.Generation.load(std::memory_order_acquire);
  TLastHit& last = tLastHit;
  if (last.Metrics && last.Style == style && last.Height == aHeight && last.Generation == generation &&
      last.Family == aFamily)
    return *last.Metrics;

  std::string styleKey = FoldedKey(aFamily, style);
  std::string key = styleKey;
  key.append(reinterpret_cast<const char*>(&aHeight), sizeof aHeight);

  std::lock_guard<std::mutex> guard(catalog.Lock);
  std::unique_ptr<TFontMetrics>& measured = catalog.Measured[key];
  if (!measured) {
    try {
      std::shared_ptr<TFontFace>& face = catalog.Resolved[styleKey];
      if (!face) face = Resolve(catalog, aFamily, (style & 1) != 0, (style & 2) != 0);
      measured = std::make_unique<TFontMetrics>(face, aHeight);
    } catch (...) {
      catalog.Measured.erase(key);
      catalog.Resolved.erase(styleKey);
      throw;
    }
  }
  last.Family.assign(aFamily);
  last.Style = style;
  last.Height = aHeight;
  last.Generation = catalog.Generation.load(std::memory_order_relaxed);
  last.Metrics = measured.get();
  return *measured;
}

bool AddFontFile(const std::string& aPath) {
  TCatalog& catalog = Catalog();
  std::lock_guard<std::mutex> guard(catalog.Lock);
  EnsureFontconfig(catalog);
  if (!FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(aPath.c_str()))) return false;
  // A new file may change what a family resolves to: forget the resolutions.
  for (auto& [key, metrics] : catalog.Measured) catalog.Retired.push_back(std::move(metrics));
  catalog.Measured.clear();
  catalog.Resolved.clear();
  catalog.Generation.fetch_add(1, std::memory_order_release);
  return true;
}

bool TFontMetrics::CharABCWidths(uint8_t aFirst, uint8_t aLast, std::vector<TABC>& aOut) const {
  if (aLast < aFirst) return false;
  std::array<int32_t, 256> inkMin{}, inkMax{};
  {
    std::lock_guard<std::mutex> guard(Catalog().Lock);
    if (!FFace->InkExtents(inkMin, inkMax)) return false;
  }
  const double scale = double(FEm) / FFace->UnitsPerEm;
  for (unsigned c = aFirst; c <= aLast; ++c) {
    TABC abc;
    if (inkMax[c] > inkMin[c]) {
      abc.abcA = int32_t(std::nearbyint(inkMin[c] * scale));
      const int32_t right = int32_t(std::nearbyint(inkMax[c] * scale));
      abc.abcB = uint32_t(std::max(right - abc.abcA, 1));
    }
    abc.abcC = FWidths[c] - abc.abcA - int32_t(abc.abcB);
    aOut.push_back(abc);
  }
  return true;
}

}  // namespace Vellix
