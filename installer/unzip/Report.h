// Failure reporting inside the unzip component: every failure returns its
// result code and leaves a readable description in the caller's info block.
#pragma once

#include <cstdint>

#include "unzip/UnzipCommand.h"

namespace Decantor::Unzip {

class TReport {
 public:
  // aInfo may be null: the descriptions are then dropped. The block stays the caller's.
  explicit TReport(TUnzipInfo* aInfo);

  // Writes the formatted description (cut to the block's size) and returns aCode.
  int32_t Fail(int32_t aCode, const char* aFormat, ...) __attribute__((format(printf, 3, 4)));

 private:
  TUnzipInfo* FInfo;
};

}  // namespace Decantor::Unzip
