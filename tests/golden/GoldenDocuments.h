#pragma once
// Documents of our own for the golden files: each draws one area of the
// library in ways the example programs do not.
#include <functional>
#include <string>
#include <vector>

#include "Vellix.h"

namespace VellixTest {

struct TGoldenDocument {
  std::string Name;                                  // the expected file is Name + ".pdf"
  std::function<void(Vellix::TVellix&)> Setup;       // properties, before BeginDoc
  std::function<void(Vellix::TVellix&)> Draw;        // pages, between BeginDoc and EndDoc
};

const std::vector<TGoldenDocument>& GoldenDocuments();

}  // namespace VellixTest
