#include "TestFonts.h"

#include <array>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include <unistd.h>

#include "platform/fonts/FontMetrics.h"
#include "platform/fonts/Sfnt.h"

using namespace Vellix;

namespace VellixTest {

namespace {

void Put16(std::vector<uint8_t>& aOut, uint32_t aValue) {
  aOut.push_back(uint8_t(aValue >> 8));
  aOut.push_back(uint8_t(aValue));
}
void Put32(std::vector<uint8_t>& aOut, uint32_t aValue) {
  Put16(aOut, aValue >> 16);
  Put16(aOut, aValue & 0xFFFF);
}
void Set16(std::vector<uint8_t>& aData, size_t aPos, uint32_t aValue) {
  aData[aPos] = uint8_t(aValue >> 8);
  aData[aPos + 1] = uint8_t(aValue);
}

std::vector<uint8_t> NameTable(const std::string& aFamily) {
  const std::string postscript = [&] {
    std::string s;
    for (char c : aFamily)
      if (c != ' ') s += c;
    return s;
  }();
  const std::vector<std::pair<uint32_t, std::string>> names = {
      {1, aFamily}, {2, "Regular"}, {4, aFamily}, {6, postscript}};
  std::vector<uint8_t> strings, table;
  Put16(table, 0);
  Put16(table, uint32_t(names.size()));
  Put16(table, uint32_t(6 + 12 * names.size()));
  for (const auto& [id, text] : names) {
    Put16(table, 3);
    Put16(table, 1);
    Put16(table, 0x409);
    Put16(table, id);
    Put16(table, uint32_t(2 * text.size()));
    Put16(table, uint32_t(strings.size()));
    for (char c : text) Put16(strings, uint8_t(c));
  }
  table.insert(table.end(), strings.begin(), strings.end());
  return table;
}

// A format 4 cmap under (3,0) only: 0xF020..0xF0FF to glyphs 3, 4, 5...
std::vector<uint8_t> SymbolCmap() {
  std::vector<uint8_t> sub;
  Put16(sub, 4);
  Put16(sub, 32);  // length: 14 + 2 segments * 8 + 2
  Put16(sub, 0);
  Put16(sub, 4);  // segCountX2
  Put16(sub, 4);
  Put16(sub, 1);
  Put16(sub, 0);
  Put16(sub, 0xF0FF);
  Put16(sub, 0xFFFF);
  Put16(sub, 0);
  Put16(sub, 0xF020);
  Put16(sub, 0xFFFF);
  Put16(sub, (3 - 0xF020) & 0xFFFF);
  Put16(sub, 1);
  Put16(sub, 0);
  Put16(sub, 0);
  std::vector<uint8_t> table;
  Put16(table, 0);
  Put16(table, 1);
  Put16(table, 3);
  Put16(table, 0);
  Put32(table, 12);
  table.insert(table.end(), sub.begin(), sub.end());
  return table;
}

std::vector<TSfntTable> Variant(const std::string& aSource, const std::string& aFamily) {
  std::vector<TSfntTable> tables = ReadSfntTables(ReadFile(aSource));
  if (tables.empty()) throw std::runtime_error("cannot read " + aSource);
  for (TSfntTable& t : tables)
    if (t.Tag == SfntTag("name")) t.Data = NameTable(aFamily);
  return tables;
}

TSfntTable& Table(std::vector<TSfntTable>& aTables, uint32_t aTag) {
  for (TSfntTable& t : aTables)
    if (t.Tag == aTag) return t;
  throw std::runtime_error("missing table");
}

// The made fonts live in a directory of this process, removed when it ends.
// Its name is kept in plain storage: the exit handler may run after static
// objects are destroyed.
char gFontDirectory[4096];

const std::filesystem::path& FontDirectory() {
  static const std::filesystem::path dir = [] {
    auto path = std::filesystem::temp_directory_path() / ("vellix-test-fonts-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    std::snprintf(gFontDirectory, sizeof gFontDirectory, "%s", path.c_str());
    return path;
  }();
  static const bool cleanup = std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(gFontDirectory, ignored);
  }) == 0;
  (void)cleanup;
  return dir;
}

std::string Write(const std::string& aName, const std::vector<uint8_t>& aData) {
  const auto& dir = FontDirectory();
  const std::string path = (dir / aName).string();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || std::fwrite(aData.data(), 1, aData.size(), f) != aData.size()) throw std::runtime_error("write " + path);
  std::fclose(f);
  if (!AddFontFile(path)) throw std::runtime_error("fontconfig refused " + path);
  return path;
}

// Two faces, each with its own copy of its tables.
std::vector<uint8_t> Collection(const std::vector<std::vector<TSfntTable>>& aFaces) {
  std::vector<uint8_t> out;
  Put32(out, SfntTag("ttcf"));
  Put32(out, 0x00010000);
  Put32(out, uint32_t(aFaces.size()));
  size_t directories = out.size() + 4 * aFaces.size();
  std::vector<size_t> faceOffsets;
  for (const auto& face : aFaces) {
    faceOffsets.push_back(directories);
    directories += 12 + 16 * face.size();
  }
  for (size_t offset : faceOffsets) Put32(out, uint32_t(offset));
  size_t data = directories;
  std::vector<uint8_t> blobs;
  for (const auto& face : aFaces) {
    Put32(out, 0x00010000);
    Put16(out, uint32_t(face.size()));
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, 0);
    for (const TSfntTable& t : face) {
      Put32(out, t.Tag);
      Put32(out, SfntChecksum(t.Data.data(), t.Data.size()));
      Put32(out, uint32_t(data + blobs.size()));
      Put32(out, uint32_t(t.Data.size()));
      blobs.insert(blobs.end(), t.Data.begin(), t.Data.end());
      blobs.resize((blobs.size() + 3) & ~size_t(3), 0);
    }
  }
  out.insert(out.end(), blobs.begin(), blobs.end());
  return out;
}

}  // namespace

std::vector<uint8_t> ReadFile(const std::string& aPath) {
  std::vector<uint8_t> data;
  std::FILE* f = std::fopen(aPath.c_str(), "rb");
  if (!f) return data;
  uint8_t buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) data.insert(data.end(), buffer, buffer + n);
  std::fclose(f);
  return data;
}

// Version 1, one record group for the 1:1 ratio, entries at 16 and 133 pixels.
std::vector<uint8_t> VdmxTable() {
  std::vector<uint8_t> t;
  Put16(t, 1);  // version
  Put16(t, 1);  // groups
  Put16(t, 1);  // ratio ranges
  t.insert(t.end(), {1, 1, 1, 1});  // charset 1, 1:1
  Put16(t, 6 + 4 + 2);              // offset of the group
  Put16(t, 2);                      // records
  t.push_back(16);
  t.push_back(133);
  static constexpr std::array<std::array<int32_t, 3>, 2> entries = {{{16, 15, -4}, {133, 119, -32}}};
  for (const auto& [ppem, yMax, yMin] : entries) {
    Put16(t, uint32_t(ppem));
    Put16(t, uint32_t(uint16_t(yMax)));
    Put16(t, uint32_t(uint16_t(yMin)));
  }
  return t;
}

const std::string& RegisterTestFonts() {
  static const std::string collection = [] {
    std::vector<TSfntTable> symbol = Variant(kSansPath, kSymbolFamily);
    Table(symbol, SfntTag("cmap")).Data = SymbolCmap();
    std::vector<uint8_t>& os2 = Table(symbol, SfntTag("OS/2")).Data;
    Set16(os2, 64, 0xF020);
    Set16(os2, 66, 0xF0FF);
    Write("symbol.ttf", BuildSfnt(symbol));

    std::vector<TSfntTable> restricted = Variant(kSansPath, kRestrictedFamily);
    Set16(Table(restricted, SfntTag("OS/2")).Data, 8, 0x0002);
    Write("restricted.ttf", BuildSfnt(restricted));

    std::vector<TSfntTable> vdmx = Variant(kSerifPath, kVdmxFamily);
    vdmx.push_back({SfntTag("VDMX"), VdmxTable()});
    Write("vdmx.ttf", BuildSfnt(vdmx));

    return Write("collection.ttc", Collection({Variant(kSerifPath, "Vellix Test Collection A"),
                                               Variant(kSansPath, kCollectionFamily)}));
  }();
  return collection;
}

}  // namespace VellixTest
