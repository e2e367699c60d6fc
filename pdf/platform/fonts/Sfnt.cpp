#include "platform/fonts/Sfnt.h"

#include <algorithm>

namespace Vellix {

namespace {

void Put16(std::vector<uint8_t>& aOut, uint32_t aValue) {
  aOut.push_back(uint8_t(aValue >> 8));
  aOut.push_back(uint8_t(aValue));
}
void Put32(std::vector<uint8_t>& aOut, uint32_t aValue) {
  Put16(aOut, aValue >> 16);
  Put16(aOut, aValue & 0xFFFF);
}
uint32_t Get16(const std::vector<uint8_t>& aIn, size_t aPos) {
  return uint32_t(aIn[aPos]) << 8 | aIn[aPos + 1];
}
uint32_t Get32(const std::vector<uint8_t>& aIn, size_t aPos) {
  return Get16(aIn, aPos) << 16 | Get16(aIn, aPos + 2);
}

}  // namespace

uint32_t SfntChecksum(const uint8_t* aData, size_t aLength) {
  uint32_t sum = 0;
  for (size_t i = 0; i < aLength; i += 4) {
    uint32_t word = 0;
    for (size_t k = 0; k < 4; ++k) word = word << 8 | (i + k < aLength ? aData[i + k] : 0);
    sum += word;
  }
  return sum;
}

std::vector<uint8_t> BuildSfnt(const std::vector<TSfntTable>& aTables, uint32_t aVersion) {
  std::vector<const TSfntTable*> sorted;
  for (const TSfntTable& t : aTables) sorted.push_back(&t);
  std::sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->Tag < b->Tag; });

  const uint32_t count = uint32_t(sorted.size());
  uint32_t entrySelector = 0;
  while ((2u << entrySelector) <= count) ++entrySelector;
  const uint32_t searchRange = (1u << entrySelector) * 16;

  std::vector<uint8_t> out;
  Put32(out, aVersion);
  Put16(out, count);
  Put16(out, searchRange);
  Put16(out, entrySelector);
  Put16(out, count * 16 - searchRange);

  size_t offset = 12 + 16 * size_t(count);
  size_t headOffset = 0;
  for (const TSfntTable* t : sorted) {
    std::vector<uint8_t> data = t->Data;
    // The stored checksum of 'head' is taken with checkSumAdjustment zeroed.
    if (t->Tag == SfntTag("head") && data.size() >= 12) std::fill(data.begin() + 8, data.begin() + 12, 0);
    Put32(out, t->Tag);
    Put32(out, SfntChecksum(data.data(), data.size()));
    Put32(out, uint32_t(offset));
    Put32(out, uint32_t(data.size()));
    if (t->Tag == SfntTag("head")) headOffset = offset;
    offset += (data.size() + 3) & ~size_t(3);
  }
  for (const TSfntTable* t : sorted) {
    out.insert(out.end(), t->Data.begin(), t->Data.end());
    out.resize((out.size() + 3) & ~size_t(3), 0);
  }
  if (headOffset != 0 && out.size() >= headOffset + 12) {
    std::fill(out.begin() + long(headOffset) + 8, out.begin() + long(headOffset) + 12, 0);
    const uint32_t adjust = 0xB1B0AFBAu - SfntChecksum(out.data(), out.size());
    for (int k = 0; k < 4; ++k) out[headOffset + 8 + size_t(k)] = uint8_t(adjust >> (24 - 8 * k));
  }
  return out;
}

std::vector<TSfntTable> ReadSfntTables(const std::vector<uint8_t>& aFile, uint32_t aFaceIndex) {
  std::vector<TSfntTable> tables;
  if (aFile.size() < 12) return tables;
  size_t base = 0;
  if (Get32(aFile, 0) == SfntTag("ttcf")) {
    const uint32_t faces = Get32(aFile, 8);
    if (aFaceIndex >= faces || aFile.size() < 12 + 4 * size_t(faces)) return tables;
    base = Get32(aFile, 12 + 4 * size_t(aFaceIndex));
  } else if (aFaceIndex != 0) {
    return tables;
  }
  if (base + 12 > aFile.size()) return tables;
  const uint32_t count = Get16(aFile, base + 4);
  if (base + 12 + 16 * size_t(count) > aFile.size()) return tables;
  for (uint32_t i = 0; i < count; ++i) {
    const size_t entry = base + 12 + 16 * size_t(i);
    const size_t offset = Get32(aFile, entry + 8), length = Get32(aFile, entry + 12);
    if (offset > aFile.size() || length > aFile.size() - offset) return {};
    tables.push_back({Get32(aFile, entry), {aFile.begin() + long(offset), aFile.begin() + long(offset + length)}});
  }
  return tables;
}

}  // namespace Vellix
