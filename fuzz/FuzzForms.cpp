// The form reader on arbitrary text: a form is parsed and applied to a
// component, or refused with a Vellix::Exception; a refused form leaves the
// component as it was, and an applied one can be written and read back.

#include <cstdint>
#include <string>

#include "Vellix.h"

using namespace Vellix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize) {
  const std::string text(reinterpret_cast<const char*>(aData), aSize);
  TVellix doc;
  const std::string before = WriteForm(doc);
  try {
    ReadForm(doc, text, {}, hbNamesOnly);
  } catch (const Vellix::Exception&) {
    if (WriteForm(doc) != before) __builtin_trap();  // all or nothing
    return 0;
  }
  const std::string written = WriteForm(doc);
  TVellix again;
  ReadForm(again, written, {}, hbNamesOnly);
  if (WriteForm(again) != written) __builtin_trap();
  return 0;
}
