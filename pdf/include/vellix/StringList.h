#pragma once
// An ordered list of strings, each of which may carry an object that the list
// owns. Order and indexes are kept exactly as entries are added, so an index
// can serve as a stable resource number ("/F0", "/Im3"). Look-up by string
// ignores the case of ASCII letters.
//
// The element type may be incomplete where the list is declared and destroyed:
// the deleter is captured by AddObject, where the caller knows the full type.

#include <vellix/Export.h>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <vellix/Component.h>

namespace Vellix {

// True when the two strings are equal apart from the case of ASCII letters.
inline bool SameTextAscii(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = char(x - 32);
    if (y >= 'a' && y <= 'z') y = char(y - 32);
    if (x != y) return false;
  }
  return true;
}

template <class T = TObject>
class VELLIX_API TStringList {
public:
  TStringList() = default;
  TStringList(const TStringList&) = delete;
  TStringList& operator=(const TStringList&) = delete;
  TStringList(TStringList&&) noexcept = default;
  TStringList& operator=(TStringList&&) noexcept = default;

  int32_t Count() const { return int32_t(FEntries.size()); }
  bool Empty() const { return FEntries.empty(); }

  // The string at aIndex (0-based; the index must be valid).
  const std::string& operator[](int32_t aIndex) const { return FEntries[size_t(aIndex)].String; }
  const std::string& Strings(int32_t aIndex) const { return FEntries[size_t(aIndex)].String; }
  void SetString(int32_t aIndex, std::string aValue) { FEntries[size_t(aIndex)].String = std::move(aValue); }

  // The object at aIndex, or null when the entry carries none (or it was freed).
  T* Objects(int32_t aIndex) const { return FEntries[size_t(aIndex)].Object.get(); }

  // Appends a string without an object; returns its index.
  int32_t Add(std::string aValue) {
    FEntries.push_back(TEntry{std::move(aValue), TOwned(nullptr, nullptr)});
    return Count() - 1;
  }

  // Appends a string with an object that the list takes over; returns its index.
  template <class U>
  int32_t AddObject(std::string aValue, std::unique_ptr<U> aObject) {
    FEntries.push_back(TEntry{std::move(aValue), TOwned(aObject.release(), &DeleteAs<U>)});
    return Count() - 1;
  }

  // Frees the object of an entry and keeps the entry with its string.
  void FreeObject(int32_t aIndex) { FEntries[size_t(aIndex)].Object.reset(); }

  // Removes the entry (and frees its object); later indexes move down by one.
  void Delete(int32_t aIndex) { FEntries.erase(FEntries.begin() + aIndex); }

  // Inserts a string without an object before aIndex.
  void Insert(int32_t aIndex, std::string aValue) {
    FEntries.insert(FEntries.begin() + aIndex, TEntry{std::move(aValue), TOwned(nullptr, nullptr)});
  }

  // Frees every object and empties the list.
  void Clear() { FEntries.clear(); }

  // Index of the first entry whose string equals aValue ignoring ASCII case; -1 if none.
  int32_t IndexOf(const std::string& aValue) const {
    for (size_t i = 0; i < FEntries.size(); ++i)
      if (SameTextAscii(FEntries[i].String, aValue)) return int32_t(i);
    return -1;
  }

private:
  using TOwned = std::unique_ptr<T, void (*)(T*)>;
  struct TEntry {
    std::string String;
    TOwned Object;
  };
  template <class U>
  static void DeleteAs(T* aObject) {
    delete static_cast<U*>(aObject);
  }

  std::vector<TEntry> FEntries;
};

}  // namespace Vellix
