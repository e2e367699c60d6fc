#pragma once
// The benchmark's memory readings.

#include <unistd.h>

#include <cstdio>

namespace VellixBench {

// Resident memory now, in KiB (not the peak: the growth during one document).
inline long ResidentKiB() {
  long pages = 0, resident = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace VellixBench
