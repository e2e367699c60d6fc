#pragma once
// The component palette of the designer host: pages of component classes a
// person can place on a form. Registration packages (PdfReg) fill it.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <vellix/Component.h>

namespace Vellix::Design {

// A component class as the palette knows it: its name and how to make one.
struct TComponentClass {
  std::string ClassName;  // "TVellix"
  // Creates a component with its defaults, owned by the caller; aOwner is the
  // form's root or null.
  std::function<std::unique_ptr<TComponent>(TComponent* aOwner)> Create;
};

// A named palette page and its classes, in registration order.
struct TPalettePage {
  std::string Name;
  std::vector<TComponentClass> Classes;
};

class TPalette {
public:
  // Adds aClasses to page aPage (created on first use, pages in the order
  // they were first named). Registering a class again moves it to aPage and
  // replaces its factory, so a package may register twice.
  void RegisterComponents(const std::string& aPage, const std::vector<TComponentClass>& aClasses);

  const std::vector<TPalettePage>& Pages() const { return FPages; }
  // The page named aName (case-insensitive), or null.
  const TPalettePage* FindPage(const std::string& aName) const;
  // The class named aClassName on any page (case-insensitive), or null.
  const TComponentClass* FindClass(const std::string& aClassName) const;
  void Clear() { FPages.clear(); }

private:
  std::vector<TPalettePage> FPages;
};

// The palette of this process, filled by Register functions.
TPalette& ComponentPalette();

// Registers aClasses on page aPage of ComponentPalette().
void RegisterComponents(const std::string& aPage, const std::vector<TComponentClass>& aClasses);

// A TComponentClass for C, which must be constructible from a TComponent* owner.
template <class C>
TComponentClass ComponentClassOf(const std::string& aClassName) {
  return {aClassName, [](TComponent* aOwner) -> std::unique_ptr<TComponent> {
            return std::make_unique<C>(aOwner);
          }};
}

}  // namespace Vellix::Design
