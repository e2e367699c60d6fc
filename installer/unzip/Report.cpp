#include "unzip/Report.h"

#include <cstdarg>
#include <cstdio>

namespace Decantor::Unzip {

TReport::TReport(TUnzipInfo* aInfo) : FInfo(aInfo) {
  if (FInfo != nullptr) FInfo->Message[0] = '\0';
}

int32_t TReport::Fail(int32_t aCode, const char* aFormat, ...) {
  if (FInfo != nullptr) {
    va_list args;
    va_start(args, aFormat);
    std::vsnprintf(FInfo->Message, sizeof FInfo->Message, aFormat, args);
    va_end(args);
  }
  return aCode;
}

}  // namespace Decantor::Unzip
