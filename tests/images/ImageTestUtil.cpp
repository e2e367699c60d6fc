#include "ImageTestUtil.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

namespace ImageTest {

TTempDir::TTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vellix-images-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  FPath = pattern;
}

TTempDir::~TTempDir() {
  std::error_code ec;
  std::filesystem::remove_all(FPath, ec);
}

bool HaveProgram(const std::string& aProgram) {
  return RunCommand("command -v " + aProgram + " > /dev/null 2>&1") == 0;
}

int RunCommand(const std::string& aCommand) {
  const int status = std::system(aCommand.c_str());
  return status == -1 ? -1 : WEXITSTATUS(status);
}

std::string Capture(const std::string& aCommand) {
  std::string out;
  FILE* pipe = popen(aCommand.c_str(), "r");
  if (!pipe) return out;
  std::array<char, 4096> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0) out.append(buf.data(), n);
  pclose(pipe);
  return out;
}

std::unique_ptr<Vellix::TBitmap> Photo(int32_t aWidth, int32_t aHeight) {
  auto level = [](double v) { return uint8_t(std::lround(std::clamp(v, 0.0, 255.0))); };
  auto bmp = std::make_unique<Vellix::TBitmap>(aWidth, aHeight);
  for (int32_t y = 0; y < aHeight; ++y) {
    uint8_t* p = bmp->ScanLine(y);
    for (int32_t x = 0; x < aWidth; ++x, p += 3) {
      const double u = double(x) / aWidth, v = double(y) / aHeight;
      const double sun = std::exp(-((u - 0.7) * (u - 0.7) + (v - 0.3) * (v - 0.3)) * 18);
      const double hill = std::clamp((v - 0.6 - 0.1 * std::sin(u * 9)) * 40, 0.0, 1.0);
      p[0] = level(60 + 120 * v * (1 - hill) + 40 * hill + 150 * sun);
      p[1] = level(110 + 60 * (1 - v) + 50 * hill + 100 * sun);
      p[2] = level(210 - 110 * v - 150 * hill + 20 * sun);
    }
  }
  return bmp;
}

std::unique_ptr<Vellix::TBitmap> Noise(int32_t aWidth, int32_t aHeight, uint32_t aSeed) {
  auto bmp = std::make_unique<Vellix::TBitmap>(aWidth, aHeight);
  std::mt19937 rng(aSeed);
  for (int32_t y = 0; y < aHeight; ++y) {
    uint8_t* p = bmp->ScanLine(y);
    for (int32_t i = 0; i < aWidth * 3; ++i) p[i] = uint8_t(rng());
  }
  return bmp;
}

std::vector<uint8_t> ReadFile(const std::string& aFileName) {
  std::ifstream in(aFileName, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& aFileName, const std::vector<uint8_t>& aData) {
  std::ofstream out(aFileName, std::ios::binary);
  out.write(reinterpret_cast<const char*>(aData.data()), std::streamsize(aData.size()));
}

int MaxDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size()) return 256;
  int worst = 0;
  for (size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::abs(int(a[i]) - int(b[i])));
  return worst;
}

double MeanDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size() || a.empty()) return 256;
  double sum = 0;
  for (size_t i = 0; i < a.size(); ++i) sum += std::abs(int(a[i]) - int(b[i]));
  return sum / double(a.size());
}

}  // namespace ImageTest
