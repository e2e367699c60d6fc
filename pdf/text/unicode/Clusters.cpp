#include "text/unicode/Clusters.h"

#include <hb.h>

#include <algorithm>

#include "text/unicode/ShapingFace.h"
#include "text/unicode/Utf16Text.h"

namespace Vellix {

std::vector<TCluster> ClustersOf(const TGlyphRun& aRun, std::u16string_view aLine, double& aPen, double aSpacing,
                                 size_t& aBlanks) {
  // Clusters run monotonically (HarfBuzz's default cluster level): up from
  // left to right in a left-to-right run, down in a right-to-left one; so a
  // cluster ends where its neighbour in text order begins.
  std::vector<TCluster> clusters;
  const std::vector<TShapedGlyph>& glyphs = aRun.Glyphs;
  for (size_t i = 0; i < glyphs.size();) {
    size_t j = i + 1;
    while (j < glyphs.size() && glyphs[j].Cluster == glyphs[i].Cluster) ++j;
    const uint32_t start = glyphs[i].Cluster;
    const uint32_t end = aRun.RightToLeft ? (i > 0 ? glyphs[i - 1].Cluster : aRun.End)
                                          : (j < glyphs.size() ? glyphs[j].Cluster : aRun.End);
    TCluster& cluster = clusters.emplace_back(
        TCluster{&aRun, i, j, aLine.substr(start, end > start ? end - start : 0), aPen});
    for (size_t k = i; k < j; ++k) aPen += aRun.Glyphs[k].Advance;
    if (cluster.Characters == u" ") {
      aPen += aSpacing;
      ++aBlanks;
    }
    i = j;
  }
  return clusters;
}

std::vector<std::u16string> SplitCluster(const TCluster& aCluster, const TShapingFace& aFace) {
  const std::u16string_view units = aCluster.Characters;
  std::vector<uint32_t> offsets;  // each character's first unit
  for (uint32_t i = 0; i < units.size(); i += uint32_t(CodePointAt(units, i) > 0xFFFF ? 2 : 1)) offsets.push_back(i);
  const auto characterText = [&](size_t c) {
    const uint32_t end = c + 1 < offsets.size() ? offsets[c + 1] : uint32_t(units.size());
    return units.substr(offsets[c], end - offsets[c]);
  };
  const size_t count = aCluster.Last - aCluster.First;
  std::vector<std::u16string> texts(count);
  std::vector<int64_t> owner(offsets.size(), -1);
  std::vector<size_t> unmatched;  // glyphs that are no character's own
  for (size_t g = 0; g < count; ++g) {
    const uint32_t glyph = aCluster.Run->Glyphs[aCluster.First + g].Glyph;
    size_t c = 0;
    for (; c < offsets.size(); ++c) {
      hb_codepoint_t nominal = 0;
      if (owner[c] < 0 && hb_font_get_nominal_glyph(aFace.Font(), CodePointAt(units, offsets[c]), &nominal) &&
          nominal == glyph)
        break;
    }
    if (c < offsets.size()) {
      owner[c] = int64_t(g);
      texts[g] = characterText(c);
    } else {
      unmatched.push_back(g);
    }
  }
  size_t group = 0;
  for (size_t c = 0; c < offsets.size(); ++c) {
    if (owner[c] >= 0) continue;
    size_t target = 0;
    if (!unmatched.empty())
      target = unmatched[std::min(group, unmatched.size() - 1)];
    else if (c > 0)
      target = size_t(owner[c - 1]);
    texts[target] += characterText(c);
    owner[c] = int64_t(target);
    if (c + 1 >= offsets.size() || owner[c + 1] >= 0) ++group;
  }
  return texts;
}

}  // namespace Vellix
