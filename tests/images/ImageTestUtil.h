#pragma once
// Helpers shared by the image tests: temporary folders, sample pictures,
// running command-line tools.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <vellix/Bitmap.h>

namespace ImageTest {

// A fresh folder under the system temporary directory, removed on destruction.
class TTempDir {
public:
  TTempDir();
  ~TTempDir();
  const std::filesystem::path& Path() const { return FPath; }
  std::string File(const std::string& aName) const { return (FPath / aName).string(); }

private:
  std::filesystem::path FPath;
};

// True when aProgram is found on PATH.
bool HaveProgram(const std::string& aProgram);
// Runs a shell command; returns its exit status (-1 if it did not run).
int RunCommand(const std::string& aCommand);
// Runs a shell command and returns its standard output.
std::string Capture(const std::string& aCommand);

// A photograph-like picture: smooth gradients with a few soft shapes.
std::unique_ptr<Vellix::TBitmap> Photo(int32_t aWidth, int32_t aHeight);
// A picture whose every pixel differs from its neighbours (catches row,
// column and channel mix-ups).
std::unique_ptr<Vellix::TBitmap> Noise(int32_t aWidth, int32_t aHeight, uint32_t aSeed = 1);

std::vector<uint8_t> ReadFile(const std::string& aFileName);
void WriteFile(const std::string& aFileName, const std::vector<uint8_t>& aData);

// Largest difference of any byte of two equally long buffers (255 + 1 when
// the sizes differ).
int MaxDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

// Mean absolute difference of two equally long buffers (256 when the sizes differ).
double MeanDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

}  // namespace ImageTest
