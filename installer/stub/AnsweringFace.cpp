#include "AnsweringFace.h"

#include "ConsoleFace.h"

namespace Decantor {

int32_t TAnsweringFace::MessageBox(const std::string& Text, const std::string& Caption,
                                   uint16_t Flags) {
  const uint16_t buttons = Flags & MB_BUTTONMASK;
  if (buttons != MB_YESNO && buttons != MB_OKCANCEL)
    return FInner.MessageBox(Text, Caption, Flags);
  const bool yesNo = buttons == MB_YESNO;
  std::fprintf(FLog, "[%s] Question:\n%s\n%s\n", Caption.c_str(), ConsoleText(Text).c_str(),
               yesNo ? "Yes (answered by --yes)" : "OK (answered by --yes)");
  std::fflush(FLog);
  return yesNo ? IDYES : IDOK;
}

}  // namespace Decantor
