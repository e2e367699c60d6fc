#include "support/TestDocument.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace VellixTest {

TTempDir::TTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vellix-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a temporary directory");
  FPath = pattern;
}

TTempDir::~TTempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(FPath, ignored);
}

std::string ReadFileBytes(const std::string& aPath) {
  std::ifstream in(aPath, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool FileExists(const std::string& aPath) {
  struct stat st {};
  return ::lstat(aPath.c_str(), &st) == 0;
}

std::string WriteDocument(const std::string& aPath, const std::function<void(Vellix::TVellix&)>& aDraw,
                          const std::function<void(Vellix::TVellix&)>& aSetup) {
  Vellix::TVellix doc;
  doc.SetCreationDate(FixedCreationDate);
  doc.SetFileName(aPath);
  if (aSetup) aSetup(doc);
  doc.BeginDoc();
  if (aDraw) aDraw(doc);
  doc.EndDoc();
  return ReadFileBytes(aPath);
}

std::string WriteDocumentToMemory(const std::function<void(Vellix::TVellix&)>& aDraw,
                                  const std::function<void(Vellix::TVellix&)>& aSetup) {
  Vellix::TMemoryStream stream;
  Vellix::TVellix doc;
  doc.SetCreationDate(FixedCreationDate);
  doc.SetOutStream(&stream);
  if (aSetup) aSetup(doc);
  doc.BeginDoc();
  if (aDraw) aDraw(doc);
  doc.EndDoc();
  return stream.DataString();
}

}  // namespace VellixTest
