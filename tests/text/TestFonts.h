#pragma once
// Font files made for the tests from the Liberation fonts, so that cases no
// installed font covers (a symbol font, a font that forbids embedding, a
// TrueType collection) are tested on every machine. Each is registered with
// the font services once per process.

#include <cstdint>
#include <string>
#include <vector>

namespace VellixTest {

inline const std::string kSansPath = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";
inline const std::string kSerifPath = "/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf";

// Family names of the made fonts.
inline const std::string kSymbolFamily = "Vellix Test Symbol";          // (3,0) cmap only
inline const std::string kRestrictedFamily = "Vellix Test Restricted";  // fsType 0x0002
inline const std::string kCollectionFamily = "Vellix Test Collection B";  // face 1 of a .ttc

// Makes and registers the fonts above (once); returns the collection's path.
const std::string& RegisterTestFonts();

std::vector<uint8_t> ReadFile(const std::string& aPath);

}  // namespace VellixTest
