#pragma once
// Helpers of the text box and grid tests: a document in memory with a known
// font, and capture of the content lines a call appends to the page buffer.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Vellix.h"
#include <vellix/Grid.h>

namespace GridTest {

using Lines = std::vector<std::string>;

// An A4 document in tenths of a millimetre, open and writing to memory, with
// Arial 10 on the canvas.
struct TOpenDocument {
  Vellix::TMemoryStream Stream;
  Vellix::TVellix Doc;
  TOpenDocument() {
    Doc.SetOutStream(&Stream);
    Doc.SetCreationDate("20260101000000");
    Doc.Canvas().Font().SetName("Arial");
    Doc.Canvas().Font().SetSize(10);
    Doc.BeginDoc();
  }
  Vellix::TPdfCanvas& Canvas() { return Doc.Canvas(); }
};

// The lines that aAction appends to the page buffer.
inline Lines Capture(Vellix::TPdfCanvas& aCanvas, const std::function<void()>& aAction) {
  const size_t start = aCanvas.PdfStream().size();
  aAction();
  const auto& all = aCanvas.PdfStream();
  return Lines(all.begin() + std::ptrdiff_t(start), all.end());
}

// The strings of the "(...) Tj" lines among aLines, unescaped.
inline Lines TextsOf(const Lines& aLines) {
  Lines texts;
  for (const std::string& line : aLines) {
    if (line.size() < 5 || line.front() != '(' || line.compare(line.size() - 4, 4, ") Tj") != 0) continue;
    std::string text;
    for (size_t i = 1; i + 4 < line.size(); ++i) {
      if (line[i] == '\\') ++i;
      text += line[i];
    }
    texts.push_back(text);
  }
  return texts;
}

// The exception message of aAction, or "" when it throws none.
inline std::string ErrorOf(const std::function<void()>& aAction) {
  try {
    aAction();
  } catch (const Vellix::Exception& e) {
    return e.Message();
  }
  return "";
}

}  // namespace GridTest
