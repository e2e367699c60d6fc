#pragma once
// The clusters of a shaped line: which glyphs stand for which characters,
// where each cluster is drawn, and what each glyph of a cluster of several
// stands for.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "text/unicode/ShapedLine.h"

namespace Vellix {

class TShapingFace;

// One cluster of a shaped line: its glyphs (a range of its run's) and the
// characters they stand for.
struct TCluster {
  const TGlyphRun* Run;
  size_t First, Last;  // glyphs [First, Last) of the run
  std::u16string_view Characters;
  double Origin = 0;  // the pen position of its first glyph, thousandths of an em
};

// The clusters of aRun (shaped from aLine), left to right as drawn, their
// origins from aPen on (which they advance), with aSpacing thousandths of an
// em after each blank (counted in aBlanks).
std::vector<TCluster> ClustersOf(const TGlyphRun& aRun, std::u16string_view aLine, double& aPen, double aSpacing,
                                 size_t& aBlanks);

// The characters each glyph of a multi-glyph cluster stands for: a glyph
// that is some character's own glyph in aFace stands for that character; the
// other glyphs (conjuncts, half forms, ligatures) share the characters left
// over, group by group. Readers without /ActualText so still read an Indic
// syllable's characters, in drawing order.
std::vector<std::u16string> SplitCluster(const TCluster& aCluster, const TShapingFace& aFace);

}  // namespace Vellix
