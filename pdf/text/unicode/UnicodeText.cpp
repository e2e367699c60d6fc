#include "text/unicode/UnicodeText.h"

#include <unicode/ubidi.h>
#include <unicode/ubrk.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <vellix/Application.h>
#include <vellix/Canvas.h>
#include <vellix/Exception.h>
#include <vellix/Messages.h>

#include "canvas/PdfResources.h"
#include "platform/fonts/FontFallback.h"
#include "platform/fonts/FontMetrics.h"
#include "text/TextPlacement.h"
#include "text/unicode/Clusters.h"
#include "text/unicode/GlyphWriter.h"
#include "text/unicode/ShapingFace.h"
#include "text/unicode/UnicodeFont.h"
#include "text/unicode/Utf16Text.h"
#include "writer/DocumentContext.h"
#include "writer/PdfNumber.h"
#include "writer/PdfSyntax.h"

namespace Vellix {

struct TUnicodeText::TFaceSet {
  std::string Family;
  TFontStyles Style;
  const TShapingFace* Primary = nullptr;
  // FaceFor's answers, filled as asked: a table for the basic plane, a map
  // for the other planes.
  std::vector<const TShapingFace*> Plane0;
  std::unordered_map<char32_t, const TShapingFace*> Fallbacks;
  // Per point of font size, from the measured face, as the code page fonts
  // take them: the baseline's depth below the top, and the underline.
  long double Ascent = 0, UnderlinePosition = 0, UnderlineWidth = 0;
};

namespace {

// Characters no face needs to draw: they shape to nothing or to a blank in
// any font, so they never send the text to a fallback.
bool NeedsNoGlyph(char32_t aCharacter) {
  return aCharacter < 0x20 || u_hasBinaryProperty(UChar32(aCharacter), UCHAR_DEFAULT_IGNORABLE_CODE_POINT);
}

bool IsHardLineEnd(char16_t aUnit) {
  return aUnit == 0x0A || aUnit == 0x0D || aUnit == 0x0B || aUnit == 0x0C || aUnit == 0x85 || aUnit == 0x2028 ||
         aUnit == 0x2029;
}

// aEnd moved back over the blanks before it, not past aStart: a line's end
// without the blanks that hang past the box.
size_t WithoutTrailingBlanks(std::u16string_view aUnits, size_t aStart, size_t aEnd) {
  while (aEnd > aStart && u_isUWhiteSpace(aUnits[aEnd - 1])) --aEnd;
  return aEnd;
}

struct TBreakIteratorDeleter {
  void operator()(UBreakIterator* aIterator) const { ubrk_close(aIterator); }
};
using TBreakIterator = std::unique_ptr<UBreakIterator, TBreakIteratorDeleter>;

// The boundaries after aText's start, in order, of the kind aType (line
// break opportunities, grapheme clusters).
std::vector<int32_t> Boundaries(UBreakIteratorType aType, std::u16string_view aText) {
  std::vector<int32_t> boundaries;
  UErrorCode status = U_ZERO_ERROR;
  TBreakIterator iterator(
      ubrk_open(aType, "", reinterpret_cast<const UChar*>(aText.data()), int32_t(aText.size()), &status));
  if (U_FAILURE(status)) {
    for (int32_t i = 1; i <= int32_t(aText.size()); ++i) boundaries.push_back(i);
    return boundaries;
  }
  for (int32_t b = ubrk_following(iterator.get(), 0); b != UBRK_DONE; b = ubrk_next(iterator.get()))
    boundaries.push_back(b);
  return boundaries;
}

}  // namespace

TUnicodeText::TUnicodeText(TPdfCanvas& aCanvas) : FCanvas(aCanvas) {}
TUnicodeText::~TUnicodeText() = default;

void TUnicodeText::Clear() { FReported.clear(); }

TUnicodeText::TFaceSet& TUnicodeText::FacesOf(const TFont& aFont) {
  TFontStyles style;
  if (aFont.Style().Contains(fsBold)) style.Include(fsBold);
  if (aFont.Style().Contains(fsItalic)) style.Include(fsItalic);
  // Text comes in long runs of one font: the last set is looked at first.
  if (FLastFaceSet && FLastFaceSet->Style == style && FLastFaceSet->Family == aFont.Name()) return *FLastFaceSet;
  const std::string key = aFont.Name() + '\0' + char('0' + style.Contains(fsBold) + 2 * style.Contains(fsItalic));
  if (const auto known = FFaceSets.find(key); known != FFaceSets.end()) return *(FLastFaceSet = known->second.get());

  TDocumentContext& context = FCanvas.Context();
  TFont measuring;
  measuring.SetSize(100);
  const TFontMetrics* metrics = nullptr;
  try {
    metrics = &FontMetricsOf(aFont.Name(), style, measuring.Height());
  } catch (const Exception&) {
    context.RaiseError(MSG_INTERNAL_ERROR, "GetTextMetrics");
  }
  const TShapingFace* face = nullptr;
  try {
    face = &ShapingFaceAt({metrics->FilePath(), metrics->FaceIndex()});
  } catch (const Exception&) {
  }
  if (!face || !face->TrueTypeOutlines()) context.RaiseError(MSG_NOT_TRUETYPE, aFont.Name());
  if (face->EmbeddingForbidden()) context.RaiseError(MSG_FONT_NOT_EMBEDDABLE, aFont.Name());
  std::unique_ptr<TFaceSet>& set = FFaceSets[key];
  set = std::make_unique<TFaceSet>();
  set->Family = aFont.Name();
  set->Style = style;
  set->Primary = face;
  // Pixels of the 133-pixel measuring em to thousandths of a point's em.
  const long double scale = 72000.0L / FCanvas.BitmapRes() / measuring.Size() / 1000;
  set->Ascent = metrics->TextMetric().tmAscent * scale;
  set->UnderlinePosition = metrics->OutlineTextMetric().otmsUnderscorePosition * scale;
  set->UnderlineWidth = metrics->OutlineTextMetric().otmsUnderscoreSize * scale;
  return *(FLastFaceSet = set.get());
}

const TShapingFace& TUnicodeText::FaceFor(TFaceSet& aSet, char32_t aCharacter) {
  // The basic plane's answers are kept in a table: a look-up per character
  // instead of a search of the font's character map.
  if (aCharacter < 0x10000) {
    if (aSet.Plane0.empty()) aSet.Plane0.assign(0x10000, nullptr);
    const TShapingFace*& known = aSet.Plane0[aCharacter];
    if (!known) known = &FindFace(aSet, aCharacter);
    return *known;
  }
  const auto [known, added] = aSet.Fallbacks.try_emplace(aCharacter, nullptr);
  if (added) known->second = &FindFace(aSet, aCharacter);
  return *known->second;
}

const TShapingFace& TUnicodeText::FindFace(TFaceSet& aSet, char32_t aCharacter) {
  if (NeedsNoGlyph(aCharacter) || aSet.Primary->Covers(aCharacter)) return *aSet.Primary;
  const auto usable = [](const TFaceLocation& aLocation) {
    try {
      const TShapingFace& face = ShapingFaceAt(aLocation);
      return face.TrueTypeOutlines() && !face.EmbeddingForbidden();
    } catch (const Exception&) {
      return false;
    }
  };
  if (const auto location = FallbackFace(aSet.Family, aSet.Style, aCharacter, usable))
    return ShapingFaceAt(*location);
  ReportMissing(aCharacter);
  return *aSet.Primary;
}

void TUnicodeText::ReportMissing(char32_t aCharacter) {
  if (!FReported.insert(aCharacter).second) return;
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", unsigned(aCharacter));
  Application::ShowMessage(std::string(MSG_MISSING_CHARACTER) + ": " + code);
}

TShapedLine TUnicodeText::Shape(std::u16string_view aLine, int aDirection) {
  TFaceSet& set = FacesOf(FCanvas.Font());
  return ShapeLine(
      aLine, [this, &set](char32_t c) -> const TShapingFace& { return FaceFor(set, c); }, aDirection, &FShapeCache);
}

long double TUnicodeText::PointsOf(const TShapedLine& aLine) const {
  return aLine.Width * std::abs(FCanvas.Font().Size()) / 1000.0L;
}

long double TUnicodeText::WidthInPoints(std::string_view Text) { return PointsOf(Shape(DecodeUtf8(Text).Units)); }

int32_t TUnicodeText::Width(std::string_view Text) {
  return RoundToInt32(WidthInPoints(Text) / FCanvas.Context().PointPerUnit);
}

void TUnicodeText::TextOut(int32_t X, int32_t Y, std::string_view Text, long double aWordSpacing) {
  const TUtf16Text text = DecodeUtf8(Text);
  const std::u16string_view units(text.Units);
  const TShapedLine shaped = Shape(units, FLineDirection);
  if (shaped.Runs.empty()) return;
  TFaceSet& set = FacesOf(FCanvas.Font());
  const int32_t size = FCanvas.Font().Size();
  const long double angle = FCanvas.FontAngle();
  const bool rotated = angle != 0;
  const TTextPlacement at{FCanvas.UnitToPoint(X), FCanvas.YToPoint(Y) - size * set.Ascent,
                          rotated ? std::cos(angle) : 1, rotated ? std::sin(angle) : 0, rotated};
  const std::string color = FCanvas.ColorDef(FCanvas.Font().Color());
  TPageBuffer& out = FCanvas.PdfStream();
  TPdfResources& resources = FCanvas.Resources();
  const double spacing = size != 0 ? double(aWordSpacing * 1000 / size) : 0;

  // Where each cluster's pen position lies, with the word spacing after
  // each blank. A right-to-left run is written from its right end, so that
  // readers that take text in content order read it in its own order.
  std::vector<std::vector<TCluster>> runs;
  double pen = 0;
  size_t blanks = 0;
  for (const TGlyphRun& run : shaped.Runs) {
    runs.push_back(ClustersOf(run, units, pen, spacing, blanks));
    if (run.RightToLeft) std::reverse(runs.back().begin(), runs.back().end());
  }

  out.push_back("BT");
  TGlyphWriter writer(out, size);
  const TUnicodeFont* current = nullptr;
  for (const std::vector<TCluster>& clusters : runs) {
    if (clusters.empty()) continue;
    const TGlyphRun& run = *clusters.front().Run;
    TUnicodeFont& font = resources.UnicodeFont(*run.Face, FCanvas.Context().Writer);
    // Runs of another script in the same face keep the font.
    if (&font != current) writer.SetFont(font.ResourceName());
    if (!current) {
      out.push_back(color + "rg");
      AddTextPosition(out, at);
    }
    current = &font;
    for (const TCluster& cluster : clusters) {
      if (cluster.First == cluster.Last) continue;
      const bool single = cluster.Last == cluster.First + 1 && !cluster.Characters.empty();
      const bool plain = single && font.MapGlyph(run.Glyphs[cluster.First].Glyph, cluster.Characters);
      // The cluster's glyphs, each where the pen stands after the ones before.
      double origin = cluster.Origin;
      const auto show = [&](size_t k) {
        const TShapedGlyph& glyph = run.Glyphs[k];
        writer.Glyph(glyph.Glyph, origin + glyph.XOffset, font.UseGlyph(glyph.Glyph), glyph.YOffset);
        origin += glyph.Advance;
      };
      if (plain) {
        show(cluster.First);
        continue;
      }
      writer.BeginActualText(cluster.Characters);
      const std::vector<std::u16string> texts = SplitCluster(cluster, *run.Face);
      for (size_t k = cluster.First; k < cluster.Last; ++k) {
        if (!texts[k - cluster.First].empty()) font.MapGlyph(run.Glyphs[k].Glyph, texts[k - cluster.First]);
        show(k);
      }
      writer.EndActualText();
    }
  }
  writer.Finish();
  out.push_back("ET");
  if (FCanvas.Font().Style().Contains(fsUnderline)) {
    const long double width = PointsOf(shaped) + aWordSpacing * blanks;
    AddUnderline(out, size * set.UnderlinePosition, size * set.UnderlineWidth, color, at, width);
  }
}

void TUnicodeText::Truncate(std::string& aText, int32_t aMaxWidth) {
  if (aText.empty() || Width(aText) <= aMaxWidth) return;
  const TUtf16Text text = DecodeUtf8(aText);
  // Widths grow with the clusters kept: the longest prefix that fits is
  // found by halving.
  std::vector<int32_t> ends = Boundaries(UBRK_CHARACTER, text.Units);
  size_t low = 0, high = ends.size();  // prefixes of ends[0..low) fit; high does not
  while (low < high) {
    const size_t middle = (low + high) / 2;
    const std::string prefix = aText.substr(0, text.ByteOffset[size_t(ends[middle])]);
    if (Width(prefix) <= aMaxWidth)
      low = middle + 1;
    else
      high = middle;
  }
  aText.resize(low == 0 ? 0 : text.ByteOffset[size_t(ends[low - 1])]);
}

size_t TUnicodeText::FitLine(std::u16string_view aUnits, size_t aStart, size_t aEnd,
                             const std::vector<double>& aAdvances, const std::vector<size_t>& aOpportunities,
                             int32_t aWidth) {
  const double unitsPerThousandth =
      std::abs(FCanvas.Font().Size()) / 1000.0 / double(FCanvas.Context().PointPerUnit);
  const double limit = aWidth + 1e-6;
  // Blanks at a line's end hang past the box: they are not measured.
  const auto trimmed = [&](size_t aLineEnd) { return WithoutTrailingBlanks(aUnits, aStart, aLineEnd); };
  // The widths of longer and longer lines, summed as they grow.
  double sum = 0;
  size_t summed = aStart;
  const auto fits = [&](size_t aLineEnd) {
    for (const size_t end = trimmed(aLineEnd); summed < end; ++summed) sum += aAdvances[summed];
    return sum * unitsPerThousandth <= limit;
  };
  auto first = std::upper_bound(aOpportunities.begin(), aOpportunities.end(), aStart);
  auto best = aOpportunities.end();
  for (auto it = first; it != aOpportunities.end() && *it <= aEnd && fits(*it); ++it) best = it;
  // What the line alone draws may differ from its share of the paragraph
  // (kerning and joining across the break): that must fit too.
  while (best != aOpportunities.end()) {
    const size_t end = trimmed(*best);
    if (PointsOf(Shape(aUnits.substr(aStart, end - aStart))) / FCanvas.Context().PointPerUnit <= limit)
      return *best;
    best = best == first ? aOpportunities.end() : best - 1;
  }
  // A word wider than the box: cut it between grapheme clusters, keeping at
  // least one.
  const std::vector<int32_t> clusters = Boundaries(UBRK_CHARACTER, aUnits.substr(aStart, aEnd - aStart));
  sum = 0;
  summed = aStart;
  size_t cut = clusters.empty() ? aEnd : aStart + size_t(clusters.front());
  for (int32_t b : clusters) {
    if (!fits(aStart + size_t(b))) break;
    cut = aStart + size_t(b);
  }
  return cut;
}

TBrokenText TUnicodeText::Break(std::string_view Text, int32_t aWidth, int64_t aMaxLines) {
  TBrokenText result;
  const TUtf16Text text = DecodeUtf8(Text);
  const std::u16string_view units(text.Units);
  std::vector<double> advances(units.size() + 1, 0.0);
  size_t pos = 0;
  const auto full = [&] { return aMaxLines > 0 && int64_t(result.Lines.size()) >= aMaxLines; };
  while (pos < units.size() && !full()) {
    size_t end = pos;
    while (end < units.size() && !IsHardLineEnd(units[end])) ++end;
    const std::u16string_view paragraph = units.substr(pos, end - pos);
    const UBiDiDirection base =
        ubidi_getBaseDirection(reinterpret_cast<const UChar*>(paragraph.data()), int32_t(paragraph.size()));
    const int direction = base == UBIDI_RTL ? 1 : 0;
    // The paragraph shaped once gives each character its share of the width.
    for (const TGlyphRun& run : Shape(paragraph).Runs)
      for (const TShapedGlyph& glyph : run.Glyphs) advances[pos + glyph.Cluster] += glyph.Advance;
    std::vector<size_t> opportunities;
    for (int32_t b : Boundaries(UBRK_LINE, paragraph)) opportunities.push_back(pos + size_t(b));
    size_t lineStart = pos;
    do {
      const size_t lineEnd = lineStart < end ? FitLine(units, lineStart, end, advances, opportunities, aWidth) : end;
      const size_t shown = WithoutTrailingBlanks(units, lineStart, lineEnd);
      result.Lines.push_back(EncodeUtf8(units.substr(lineStart, shown - lineStart)));
      result.ParagraphEnds.push_back(lineEnd >= end);
      result.Directions.push_back(direction);
      lineStart = lineEnd;
    } while (lineStart < end && !full());
    pos = lineStart;
    if (pos == end && end < units.size()) {
      // The line end itself, CR LF as one.
      pos = end + 1;
      if (units[end] == 0x0D && pos < units.size() && units[pos] == 0x0A) ++pos;
    }
  }
  result.Remaining = Text.size() - text.ByteOffset[pos];
  return result;
}

}  // namespace Vellix
