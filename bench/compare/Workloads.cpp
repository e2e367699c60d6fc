#include "Workloads.h"

#include <jpeglib.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string_view>

namespace Compare {

namespace {
// A small fixed generator: the same figures on every machine and library.
class Lcg {
public:
  explicit Lcg(uint32_t aSeed) : FState(aSeed * 2654435761u + 1) {}
  int Next(int aLimit) {
    FState = FState * 1664525u + 1013904223u;
    return int((FState >> 8) % uint32_t(aLimit));
  }

private:
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

// "quarterly revenue grew ...": words until the line holds 40 characters.
void LatinLine(Lcg& aRng, std::string& aText) {
  while (aText.size() < 40) {
    if (!aText.empty()) aText += ' ';
    aText += Words[aRng.Next(int(std::size(Words)))];
  }
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
      AppendNumber(cell.Text, aPage % 100);
    }
}

Shapes PageShapes(int aPage) {
  Lcg rng(uint32_t(aPage) + 11);
  Shapes s;
  auto x = [&] { return 20 + rng.Next(PageWidth - 40); };
  auto y = [&] { return 20 + rng.Next(PageHeight - 40); };
  for (int i = 0; i < 2000; ++i) s.Lines.push_back({x(), y(), x(), y()});
  auto box = [&](int aMax) {
    const int x1 = x(), y1 = y();
    return Box{x1, y1, x1 + 5 + rng.Next(aMax), y1 + 5 + rng.Next(aMax)};
  };
  for (int i = 0; i < 200; ++i) s.Rects.push_back(box(80));
  for (int i = 0; i < 50; ++i) s.Ellipses.push_back(box(120));
  for (int i = 0; i < 10; ++i) s.Arcs.push_back(box(150));
  return s;
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
