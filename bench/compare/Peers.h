#pragma once
// One entry per PDF library in the comparison: how it draws each workload,
// and what it does that matters for a fair reading of the figures.

#include <string>

namespace Compare {

struct Library {
  const char* Name;
  const char* Notes;  // what the library compresses, embeds or shares
  void (*Report)(int aPages, const std::string& aOut);
  void (*Shapes)(int aPages, const std::string& aOut);
  void (*Images)(int aPages, const std::string& aOut, const std::string& aPhoto);
  // Null for a library without shaping and subset Unicode fonts.
  void (*UnicodeReport)(int aPages, const std::string& aOut);
};

extern const Library VellixLibrary;
extern const Library VellixCompactLibrary;
extern const Library HaruLibrary;
extern const Library CairoLibrary;

}  // namespace Compare
