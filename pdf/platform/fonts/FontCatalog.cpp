// Finding fonts through fontconfig and keeping what was measured. Every face
// is opened once per process and every (family, style, height) measured once;
// text measurement then costs a hash look-up, or nothing when the same font is
// asked for again, which is the common case of a report drawing cell after cell.

#include <fontconfig/fontconfig.h>

#include <atomic>
#include <cctype>
#include <cstdlib>
#include <cmath>
#include <map>
#include <mutex>
#include <unordered_map>

#include <vellix/CodePage.h>
#include <vellix/Exception.h>
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

// The face fontconfig chooses for a family and style, as it would for any
// application on the system (aliases, metric-compatible families, fallbacks).
std::shared_ptr<TFontFace> Resolve(TCatalog& aCatalog, std::string_view aFamily, bool aBold, bool aItalic) {
  EnsureFontconfig(aCatalog);
  // Family names arrive in code page 1252; fontconfig speaks UTF-8.
  const std::string family = AnsiToUtf8(aFamily);
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, aBold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, aItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  FcChar8* file = nullptr;
  int index = 0;
  if (!match || FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch) {
    if (match) FcPatternDestroy(match);
    throw Exception("No font found for the family " + std::string(aFamily));
  }
  FcPatternGetInteger(match, FC_INDEX, 0, &index);
  std::pair<std::string, int32_t> id{reinterpret_cast<const char*>(file), index};
  FcPatternDestroy(match);

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
