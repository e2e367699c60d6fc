#include "DesignDialogs.h"

#include "FltkDialogs.h"

namespace Vellix::Design {

namespace {
std::unique_ptr<TDesignDialogs>& Current() {
  static std::unique_ptr<TDesignDialogs> dialogs;
  return dialogs;
}
}  // namespace

TDesignDialogs& DesignDialogs() {
  auto& d = Current();
  if (!d) d = std::make_unique<TFltkDialogs>();
  return *d;
}

std::unique_ptr<TDesignDialogs> SetDesignDialogs(std::unique_ptr<TDesignDialogs> aDialogs) {
  std::unique_ptr<TDesignDialogs> old = std::move(Current());
  Current() = std::move(aDialogs);
  return old;
}

}  // namespace Vellix::Design
