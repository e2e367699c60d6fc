#include "Palette.h"

#include <algorithm>

#include <vellix/Published.h>

namespace Vellix::Design {

void TPalette::RegisterComponents(const std::string& aPage,
                                  const std::vector<TComponentClass>& aClasses) {
  for (const auto& cls : aClasses) {
    for (auto& page : FPages)
      std::erase_if(page.Classes, [&](const TComponentClass& c) {
        return TPublishedTable::SameName(c.ClassName, cls.ClassName);
      });
  }
  auto it = std::find_if(FPages.begin(), FPages.end(), [&](const TPalettePage& p) {
    return TPublishedTable::SameName(p.Name, aPage);
  });
  if (it == FPages.end()) it = FPages.insert(FPages.end(), TPalettePage{aPage, {}});
  it->Classes.insert(it->Classes.end(), aClasses.begin(), aClasses.end());
}

const TPalettePage* TPalette::FindPage(const std::string& aName) const {
  for (const auto& p : FPages)
    if (TPublishedTable::SameName(p.Name, aName)) return &p;
  return nullptr;
}

const TComponentClass* TPalette::FindClass(const std::string& aClassName) const {
  for (const auto& p : FPages)
    for (const auto& c : p.Classes)
      if (TPublishedTable::SameName(c.ClassName, aClassName)) return &c;
  return nullptr;
}

TPalette& ComponentPalette() {
  static TPalette palette;
  return palette;
}

void RegisterComponents(const std::string& aPage, const std::vector<TComponentClass>& aClasses) {
  ComponentPalette().RegisterComponents(aPage, aClasses);
}

}  // namespace Vellix::Design
