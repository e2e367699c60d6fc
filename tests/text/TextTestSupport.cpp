#include "TextTestSupport.h"

#include <zlib.h>

#include <cmath>

#include "platform/fonts/FontMetrics.h"

using namespace Vellix;

namespace VellixTest {

std::string TOpenText::Written() {
  return Stream.DataString();
}

TFont MakeFont(const std::string& aName, int32_t aSize, TFontStyles aStyle, TColor aColor) {
  TFont f;
  f.SetName(aName);
  f.SetSize(aSize);
  f.SetStyle(aStyle);
  f.SetColor(aColor);
  return f;
}

std::vector<std::string> ObjectLines(const std::string& aPdf, int32_t aNumber) {
  std::vector<std::string> lines;
  const std::string head = "\r\n" + std::to_string(aNumber) + " 0 obj\r\n";
  size_t pos = aPdf.find(head);
  if (pos == std::string::npos) return lines;
  pos += head.size();
  while (pos < aPdf.size()) {
    const size_t end = aPdf.find("\r\n", pos);
    if (end == std::string::npos) break;
    std::string line = aPdf.substr(pos, end - pos);
    pos = end + 2;
    if (line == "endobj") break;
    lines.push_back(std::move(line));
  }
  return lines;
}

std::string StreamData(const std::string& aPdf, int32_t aNumber) {
  const std::string head = "\r\n" + std::to_string(aNumber) + " 0 obj\r\n";
  size_t pos = aPdf.find(head);
  if (pos == std::string::npos) return {};
  pos = aPdf.find("stream\r\n", pos);
  const size_t end = aPdf.find("endstream", pos);
  if (pos == std::string::npos || end == std::string::npos) return {};
  return aPdf.substr(pos + 8, end - pos - 8);
}

std::vector<uint8_t> DecodeAscii85(const std::string& aText) {
  std::vector<uint8_t> out;
  uint32_t group = 0;
  int count = 0;
  for (char c : aText) {
    if (c == '~') break;
    if (c == 'z' && count == 0) {
      out.insert(out.end(), 4, 0);
      continue;
    }
    if (c < '!' || c > 'u') continue;  // white space
    group = group * 85 + uint32_t(c - '!');
    if (++count == 5) {
      for (int k = 3; k >= 0; --k) out.push_back(uint8_t(group >> (8 * k)));
      group = 0;
      count = 0;
    }
  }
  if (count > 0) {
    const int bytes = count - 1;
    for (int k = count; k < 5; ++k) group = group * 85 + 84;
    for (int k = 0; k < bytes; ++k) out.push_back(uint8_t(group >> (24 - 8 * k)));
  }
  return out;
}

std::vector<uint8_t> Inflate(const std::vector<uint8_t>& aData) {
  std::vector<uint8_t> out;
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return out;
  z.next_in = const_cast<Bytef*>(aData.data());
  z.avail_in = uInt(aData.size());
  uint8_t buffer[65536];
  int status = Z_OK;
  while (status == Z_OK) {
    z.next_out = buffer;
    z.avail_out = sizeof buffer;
    status = inflate(&z, Z_NO_FLUSH);
    out.insert(out.end(), buffer, buffer + (sizeof buffer - z.avail_out));
  }
  inflateEnd(&z);
  if (status != Z_STREAM_END) out.clear();
  return out;
}

std::vector<int64_t> ExpectedWidths(const std::string& aFamily, uint8_t aFirst, uint8_t aLast) {
  const TFontMetrics& m = FontMetricsOf(aFamily, {}, -133);
  std::vector<int64_t> widths;
  for (unsigned c = aFirst; c <= aLast; ++c) widths.push_back(int64_t(std::nearbyint(m.CharWidth(uint8_t(c)) * 7.5)));
  return widths;
}

}  // namespace VellixTest
