// Unicode text: lines in any script, drawn one by one and then wrapped in a
// text box half the page wide.
// Usage: example-unicode OUTPUT.pdf [TEXT-FILE] [--font NAME]
// The text file is UTF-8, one line per line; without one the program draws
// its own multilingual sample. The family defaults to "DejaVu Sans";
// characters it lacks come from the installed faces that have them.

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Vellix.h"

namespace {

const char* const Sample[] = {
    "Łukasiewicz, Dvořák, Ångström, naïve café",
    "Ελληνικά: Καλημέρα κόσμε",
    "Русский: Съешь же ещё этих мягких французских булок",
    "עברית: שלום עולם",
    "العربية: مرحبا بالعالم",
    "हिन्दी: नमस्ते दुनिया",
    "中文：你好，世界",
    "日本語：こんにちは世界",
    "Ligatures: office ﬁne, fi fl ffi",
};

std::vector<std::string> ReadLines(const char* aPath) {
  std::ifstream in(aPath, std::ios::binary);
  if (!in) throw Vellix::Exception(std::string("Can't open file: ") + aPath);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  const char* output = nullptr;
  const char* input = nullptr;
  std::string family = "DejaVu Sans";
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--font") == 0 && i + 1 < argc)
      family = argv[++i];
    else if (!output)
      output = argv[i];
    else if (!input)
      input = argv[i];
    else
      output = nullptr, i = argc;
  }
  if (!output) {
    std::fprintf(stderr, "usage: %s OUTPUT.pdf [TEXT-FILE] [--font NAME]\n", argv[0]);
    return 2;
  }
  try {
    const std::vector<std::string> lines = input ? ReadLines(input) : std::vector<std::string>(std::begin(Sample), std::end(Sample));
    Vellix::TVellix pdf;
    pdf.SetFileName(output);
    pdf.SetTextEncoding(Vellix::teUtf8);
    pdf.SetTitle("Unicode — Юникод — يونيكود");
    pdf.BeginDoc();
    Vellix::TPdfCanvas& canvas = pdf.Canvas();
    canvas.Font().SetName(family);
    canvas.Font().SetSize(12);
    int32_t y = 150;
    const int32_t lineHeight = canvas.TextHeight("A");
    for (const std::string& line : lines) {
      if (y + lineHeight > pdf.PageHeight() - 150) {
        pdf.NewPage();
        y = 150;
      }
      canvas.TextOut(150, y, line);
      y += lineHeight;
    }
    std::string all;
    for (const std::string& line : lines) all += line + "\n";
    const int32_t left = 150, right = 150 + pdf.PageWidth() / 2;
    y += lineHeight;
    for (std::string rest = all; !rest.empty();) {
      if (y + lineHeight > pdf.PageHeight() - 150) {
        pdf.NewPage();
        y = 150;
      }
      const int32_t left_over = canvas.DrawText(left, y, right, pdf.PageHeight() - 150, Vellix::taLeftJustify,
                                                Vellix::vaTop, rest);
      rest = rest.substr(rest.size() - size_t(left_over));
      y = canvas.TextY();
    }
    pdf.EndDoc();
    if (pdf.Aborted()) return 1;
  } catch (const Vellix::Exception& e) {
    std::fprintf(stderr, "%s\n", e.Message().c_str());
    return 1;
  }
  return 0;
}
