#include "Workloads.h"

#include <jpeglib.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string_view>

namespace Compare {

namespace {
// A small fixed generator: the same figures on every machine and library.
constexpr uint32_t LcgMultiplier = 1664525u, LcgIncrement = 1013904223u;
constexpr uint32_t LcgStep(uint32_t aState) { return aState * LcgMultiplier + LcgIncrement; }

class Lcg {
public:
  explicit Lcg(uint32_t aSeed) : FState(aSeed * 2654435761u + 1) {}
  int Next(int aLimit) {
    FState = LcgStep(FState);
    return Number(FState, aLimit);
  }
  // The next aCount states into aStates, as aCount calls of Next would
  // reach them: the first eight one by one, then eight chains side by side,
  // each stepping eight states at a time, in registers.
  void Steps(uint32_t* aStates, size_t aCount) {
    uint32_t lanes[Lanes];
    for (size_t k = 0; k < Lanes; ++k) lanes[k] = FState = LcgStep(FState);
    size_t i = 0;
    for (; i + Lanes <= aCount; i += Lanes)
      for (size_t k = 0; k < Lanes; ++k) {
        aStates[i + k] = lanes[k];
        lanes[k] = lanes[k] * MultiplierN + IncrementN;
      }
    for (size_t k = 0; i + k < aCount; ++k) aStates[i + k] = lanes[k];
    // The state of the last number given, as Next leaves it.
    FState = aCount > 0 ? aStates[aCount - 1] : lanes[Lanes - 1];
  }
  // The number below aLimit that a state gives.
  static int Number(uint32_t aState, int aLimit) { return int((aState >> 8) % uint32_t(aLimit)); }

private:
  static constexpr size_t Lanes = 8;
  // Lanes steps at once: s -> MultiplierN * s + IncrementN.
  static constexpr uint32_t MultiplierN = [] {
    uint32_t m = 1;
    for (size_t k = 0; k < Lanes; ++k) m *= LcgMultiplier;
    return m;
  }();
  static constexpr uint32_t IncrementN = [] {
    uint32_t c = 0;
    for (size_t k = 0; k < Lanes; ++k) c = LcgStep(c);
    return c;
  }();

  uint32_t FState;
};

constexpr std::string_view Words[] = {"quarterly", "revenue", "grew", "by", "eight", "percent", "while", "costs",
                             "fell", "in", "every", "region", "and", "the", "board", "approved", "a",
                             "new", "budget", "for", "research"};
}  // namespace

namespace {
// Words of each script, drawn from as the Latin report draws its words.
const std::vector<std::vector<std::string>> ScriptWords = {
    {"Łukasiewicz", "Dvořák", "Ångström", "naïve", "café", "façade", "Straße", "jalapeño", "œuvre"},
    {"Καλημέρα", "κόσμε", "έσοδα", "αύξηση", "περιοχή", "έρευνα", "προϋπολογισμός", "συμβούλιο"},
    {"выручка", "выросла", "на", "восемь", "процентов", "расходы", "снизились", "бюджет"},
    {"ההכנסות", "עלו", "בשמונה", "אחוזים", "בכל", "אזור", "והדירקטוריון", "אישר", "תקציב"},
    {"ارتفعت", "الإيرادات", "بنسبة", "ثمانية", "في", "المئة", "في", "كل", "منطقة", "الميزانية"},
    {"राजस्व", "आठ", "प्रतिशत", "बढ़ा", "हर", "क्षेत्र", "में", "लागत", "घटी", "बजट"},
    {"收入", "增长", "百分之八", "每个", "地区", "成本", "下降", "董事会", "批准", "预算"},
    {"収益", "は", "八パーセント", "増加", "し", "全て", "の", "地域", "で", "費用", "が", "減少"},
};

void AppendNumber(std::string& aText, int aValue) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, aValue).ptr;
  aText.append(digits, size_t(end - digits));
}

// The words padded to a fixed size, so that a word is one copy of 16 bytes:
// appended to a string one by one they took a fifth of the fastest library's
// time.
struct PaddedWord {
  char Text[16];
  size_t Length;
};
constexpr auto PaddedWords = [] {
  std::array<PaddedWord, std::size(Words)> words{};
  for (size_t i = 0; i < words.size(); ++i) {
    for (size_t k = 0; k < Words[i].size(); ++k) words[i].Text[k] = Words[i][k];
    words[i].Length = Words[i].size();
  }
  return words;
}();
static_assert([] {
  for (std::string_view w : Words)
    if (w.size() > 16) return false;
  return true;
}());

// "quarterly revenue grew ...": words until the line holds 40 characters.
void LatinLine(Lcg& aRng, std::string& aText) {
  char line[40 + 1 + 16];
  size_t length = 0;
  while (length < 40) {
    if (length > 0) line[length++] = ' ';
    const PaddedWord& word = PaddedWords[size_t(aRng.Next(int(std::size(Words))))];
    std::memcpy(line + length, word.Text, sizeof word.Text);
    length += word.Length;
  }
  aText.assign(line, length);
}

// Six words of the line's script.
void ScriptLine(Lcg& aRng, int aLine, std::string& aText) {
  const std::vector<std::string>& words = ScriptWords[size_t(aLine) % ScriptWords.size()];
  for (int n = 0; n < 6; ++n) {
    if (!aText.empty()) aText += ' ';
    aText += words[size_t(aRng.Next(int(words.size())))];
  }
}
}  // namespace

void ReportPage::Fill(int aPage, bool aUnicode) {
  Header = "Quarterly report - page ";
  AppendNumber(Header, aPage + 1);
  Lcg rng(uint32_t(aPage) + 7);
  Lines.resize(TextLines);
  for (int i = 0; i < TextLines; ++i) {
    TextLine& line = Lines[size_t(i)];
    line.X = 40;
    line.Y = 70 + i * 12;
    line.Text.clear();
    if (aUnicode) ScriptLine(rng, i, line.Text);
    else LatinLine(rng, line.Text);
  }
  // The cells and their texts' "R<row>C<column>P" are the same on every
  // page: made once, then only the page number is written again.
  const bool made = Cells.size() == size_t(GridRows) * GridCols;
  Cells.resize(size_t(GridRows) * GridCols);
  char number[4];
  const char* const numberEnd = std::to_chars(number, number + sizeof number, aPage % 100).ptr;
  const std::string_view pageNumber(number, size_t(numberEnd - number));
  for (int r = 0; r < GridRows; ++r)
    for (int c = 0; c < GridCols; ++c) {
      Cell& cell = Cells[size_t(r) * GridCols + size_t(c)];
      if (made) {
        cell.Text.resize(cell.PrefixLength);
      } else {
        cell.X = 300 + c * 52;
        cell.Y = 70 + r * 18;
        cell.W = 52;
        cell.H = 18;
        cell.Text.clear();  // not = "R": GCC 12 at -O3 misreads that as an overlapping copy
        cell.Text += 'R';
        AppendNumber(cell.Text, r + 1);
        cell.Text += 'C';
        AppendNumber(cell.Text, c + 1);
        cell.Text += 'P';
        cell.PrefixLength = cell.Text.size();
      }
      cell.Text += pageNumber;
    }
}

namespace {
constexpr int ShapeLines = 2000, ShapeRects = 200, ShapeEllipses = 50, ShapeArcs = 10;
// Four numbers for each shape.
constexpr size_t ShapeNumbers = 4 * (ShapeLines + ShapeRects + ShapeEllipses + ShapeArcs);
}  // namespace

void Shapes::Fill(int aPage) {
  // The numbers of the page, made before the shapes: stepped one by one, the
  // generator is a single chain of multiplications, a tenth of the fastest
  // library's time; stepped in eight chains side by side, the same numbers
  // take a fraction of it.
  std::array<uint32_t, ShapeNumbers> states;
  Lcg(uint32_t(aPage) + 11).Steps(states.data(), states.size());
  size_t next = 0;
  auto number = [&](int aLimit) { return Lcg::Number(states[next++], aLimit); };
  auto x = [&] { return 20 + number(PageWidth - 40); };
  auto y = [&] { return 20 + number(PageHeight - 40); };
  auto box = [&](int aMax) {
    const int x1 = x(), y1 = y();
    const int x2 = x1 + 5 + number(aMax);
    return Box{x1, y1, x2, y1 + 5 + number(aMax)};
  };
  Lines.clear();
  Rects.clear();
  Ellipses.clear();
  Arcs.clear();
  for (int i = 0; i < ShapeLines; ++i) {
    const int x1 = x(), y1 = y(), x2 = x();
    Lines.push_back({x1, y1, x2, y()});
  }
  for (int i = 0; i < ShapeRects; ++i) Rects.push_back(box(80));
  for (int i = 0; i < ShapeEllipses; ++i) Ellipses.push_back(box(120));
  for (int i = 0; i < ShapeArcs; ++i) Arcs.push_back(box(150));
}

void WritePhoto(const std::string& aPath) {
  FILE* f = std::fopen(aPath.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + aPath);
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, f);
  cinfo.image_width = PhotoWidth;
  cinfo.image_height = PhotoHeight;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 90, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> row(PhotoWidth * 3);
  Lcg noise(3);
  for (int yy = 0; yy < PhotoHeight; ++yy) {
    for (int xx = 0; xx < PhotoWidth; ++xx) {
      const double u = double(xx) / PhotoWidth, v = double(yy) / PhotoHeight;
      const double hill = 0.5 + 0.5 * std::sin(u * 9 + std::cos(v * 7) * 2);
      const int n = noise.Next(24) - 12;
      auto clamp = [](double a) { return (unsigned char)(a < 0 ? 0 : a > 255 ? 255 : a); };
      row[xx * 3 + 0] = clamp(60 + 150 * v * hill + n);
      row[xx * 3 + 1] = clamp(90 + 120 * hill + n);
      row[xx * 3 + 2] = clamp(200 - 120 * v + n);
    }
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&cinfo, &p, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::fclose(f);
}

}  // namespace Compare
