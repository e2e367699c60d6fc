#pragma once
// Writing documents in tests: a private temporary directory, a component set
// up for reproducible output, and reading the result back.

#include <functional>
#include <string>

#include "Vellix.h"
#include "support/Internals.h"

namespace VellixTest {

// The creation date every test document carries, so files compare byte for byte.
inline constexpr const char* FixedCreationDate = "20240102030405";

// A fresh directory below the system's temporary directory, removed with its
// contents when the object goes.
class TTempDir {
public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  const std::string& Path() const { return FPath; }
  // Path() + "/" + aName.
  std::string File(const std::string& aName) const { return FPath + "/" + aName; }

private:
  std::string FPath;
};

std::string ReadFileBytes(const std::string& aPath);
bool FileExists(const std::string& aPath);

// Writes one document to aPath: a new component with the fixed creation date
// and aPath as file name, aSetup (properties, may be empty) before BeginDoc,
// aDraw (drawing, NewPage calls) between BeginDoc and EndDoc. Returns the bytes.
std::string WriteDocument(const std::string& aPath, const std::function<void(Vellix::TVellix&)>& aDraw,
                          const std::function<void(Vellix::TVellix&)>& aSetup = {});

// The same into a memory stream; returns the bytes.
std::string WriteDocumentToMemory(const std::function<void(Vellix::TVellix&)>& aDraw,
                                  const std::function<void(Vellix::TVellix&)>& aSetup = {});

// Runs aAction and returns the message of the Vellix::Exception it raised, or
// "(no exception)".
template <class F>
std::string MessageOf(F&& aAction) {
  try {
    aAction();
  } catch (const Vellix::Exception& e) {
    return e.Message();
  }
  return "(no exception)";
}

}  // namespace VellixTest
