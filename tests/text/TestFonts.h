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
// Liberation Serif with a VDMX table that lists, at 133 pixels per em, the
// extents yMax 119 and yMin -32 (those of the font the Times New Roman example
// of the font descriptor was measured with).
inline const std::string kVdmxFamily = "Vellix Test Vdmx";

// Makes and registers the fonts above (once); returns the collection's path.
const std::string& RegisterTestFonts();

std::vector<uint8_t> ReadFile(const std::string& aPath);

}  // namespace VellixTest
