#pragma once
// The container format of TrueType and OpenType font files ("sfnt"): a table
// directory followed by tagged tables. The font services use it to turn one
// face of a TrueType collection (.ttc) into a standalone font file that a PDF
// can embed; it also reads the table directory of a file or collection.

#include <cstdint>
#include <string>
#include <vector>

namespace Vellix {

// Builds a four-character table tag ("glyf", "OS/2") into its 32-bit value.
constexpr uint32_t SfntTag(const char (&aTag)[5]) {
  return uint32_t(uint8_t(aTag[0])) << 24 | uint32_t(uint8_t(aTag[1])) << 16 |
         uint32_t(uint8_t(aTag[2])) << 8 | uint32_t(uint8_t(aTag[3]));
}

struct TSfntTable {
  uint32_t Tag = 0;
  std::vector<uint8_t> Data;
};

// Writes a complete single-font file from its tables: the offset table with
// the binary-search fields, a directory sorted by tag with each table's
// checksum, the tables padded to four bytes, and the 'head' table's
// checkSumAdjustment recomputed for the whole file. aVersion is the file's
// sfnt version (0x00010000 for TrueType outlines, 'OTTO' for CFF).
std::vector<uint8_t> BuildSfnt(const std::vector<TSfntTable>& aTables, uint32_t aVersion = 0x00010000);

// Reads the tables of one face from a font file's bytes: a single font
// (aFaceIndex 0) or face aFaceIndex of a collection. Returns an empty list
// when the bytes are not a well-formed sfnt or the face does not exist.
std::vector<TSfntTable> ReadSfntTables(const std::vector<uint8_t>& aFile, uint32_t aFaceIndex = 0);

// The sfnt checksum of a table: the sum of its big-endian 32-bit words, the
// last one padded with zeros.
uint32_t SfntChecksum(const uint8_t* aData, size_t aLength);

}  // namespace Vellix
