// Draws the same pages with Vellix and with other PDF libraries and prints,
// per workload and page count: pages per second, output size, peak resident
// memory, each library's time as a multiple of ours, and as a multiple of the
// physical limit: the time a process takes to write as many bytes as our
// default output from memory to a file in the same folder, the best of three
// measured in the same run (row "limit"), before the libraries and after an
// untimed run of ours that warms as much memory.
//
//   vellix-compare [--pages 10,100,1000,10000] [--image-pages 10,100]
//                  [--workloads report,shapes,images,unicode] [--dir /tmp]
//                  [--libraries vellix,vellix-compact,libharu,cairo]
//
// The unicode workload (the report with each line in another script) is
// drawn by the libraries that shape text and embed subset Unicode fonts.
//
// Every run is a child process of its own, so the peak memory of one run is
// not hidden by an earlier one.

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "Peers.h"
#include "Workloads.h"

using namespace Compare;

namespace {

struct Options {
  std::vector<int> Pages = {10, 100, 1000, 10000};
  std::vector<int> ImagePages = {10, 100};
  std::vector<std::string> Workloads = {"report", "shapes", "images"};
  std::string Dir = "/tmp";
  std::vector<std::string> Libraries;  // empty: all
};

std::vector<std::string> Split(const std::string& aText) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= aText.size()) {
    const size_t comma = aText.find(',', start);
    const size_t end = comma == std::string::npos ? aText.size() : comma;
    if (end > start) parts.push_back(aText.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::vector<int> Numbers(const std::string& aText) {
  std::vector<int> numbers;
  for (const std::string& s : Split(aText)) numbers.push_back(std::atoi(s.c_str()));
  return numbers;
}

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string key = argv[i], value = argv[i + 1];
    if (key == "--pages") o.Pages = Numbers(value);
    else if (key == "--image-pages") o.ImagePages = Numbers(value);
    else if (key == "--workloads") o.Workloads = Split(value);
    else if (key == "--dir") o.Dir = value;
    else if (key == "--libraries") o.Libraries = Split(value);
    else {
      std::fprintf(stderr, "unknown option %s\n", key.c_str());
      std::exit(2);
    }
  }
  return o;
}

struct Result {
  bool Ok = false;
  double Seconds = 0;
  long long Bytes = 0;
  double PeakMiB = 0;
};

// Puts the files of earlier runs on the disk, outside every timed region, so
// that no run pays for the write-back of the gigabytes written before it.
void SettleDisk() { sync(); }

// Runs aWork (returning an exit status) in a child process of its own and
// measures it, wall clock from before the fork to the child's end.
template <class Work>
Result RunTimed(Work&& aWork) {
  SettleDisk();
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) _exit(aWork());
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  Result r;
  r.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  r.Ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  r.PeakMiB = double(usage.ru_maxrss) / 1024.0;
  return r;
}

Result RunChild(const Library& aLib, const std::string& aWorkload, int aPages, const std::string& aOut,
                const std::string& aPhoto) {
  Result r = RunTimed([&] {
    try {
      if (aWorkload == "report") aLib.Report(aPages, aOut);
      else if (aWorkload == "shapes") aLib.Shapes(aPages, aOut);
      else if (aWorkload == "unicode") aLib.UnicodeReport(aPages, aOut);
      else aLib.Images(aPages, aOut, aPhoto);
      return 0;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "%s %s: %s\n", aLib.Name, aWorkload.c_str(), e.what());
      return 1;
    }
  });
  struct stat st {};
  if (stat(aOut.c_str(), &st) == 0) r.Bytes = st.st_size;
  unlink(aOut.c_str());
  return r;
}

// One write of aBytes from memory to aOut in blocks of 1 MiB, closing the
// file.
Result RunLimitOnce(long long aBytes, const std::string& aOut) {
  Result r = RunTimed([&] {
    std::vector<char> block(1 << 20, 'x');
    FILE* f = std::fopen(aOut.c_str(), "wb");
    if (f == nullptr) return 1;
    for (long long left = aBytes; left > 0;) {
      const size_t n = size_t(std::min<long long>(left, (long long)block.size()));
      if (std::fwrite(block.data(), 1, n, f) != n) return 1;
      left -= (long long)n;
    }
    return std::fclose(f) == 0 ? 0 : 1;
  });
  r.Bytes = aBytes;
  unlink(aOut.c_str());
  return r;
}

// The physical limit for aBytes: a child process that writes that many bytes
// from memory to aOut in blocks of 1 MiB and closes the file; the best of
// three, since the same write takes from one to five times as long with the
// state of the page cache, and the limit is what the machine can do.
Result RunLimit(long long aBytes, const std::string& aOut) {
  Result best;
  for (int attempt = 0; attempt < 3; ++attempt) {
    const Result r = RunLimitOnce(aBytes, aOut);
    if (!r.Ok) return r;
    if (!best.Ok || r.Seconds < best.Seconds) best = r;
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = Parse(argc, argv);
  const std::string photo = o.Dir + "/vellix-compare-photo.jpg";
  WritePhoto(photo);
  const Library* libraries[] = {&VellixLibrary, &VellixCompactLibrary, &HaruLibrary, &CairoLibrary};

  std::printf("Same pages drawn by each library, one process per run (A4, Liberation Sans from %s).\n", FontFile);
  for (const Library* lib : libraries) std::printf("  %-14s %s\n", lib->Name, lib->Notes);
  std::printf("\n%-8s %6s  %-14s %9s %10s %11s %10s %9s %9s\n", "workload", "pages", "library", "seconds", "pages/s",
              "output MB", "peak MiB", "x ours", "x limit");
  for (const std::string& workload : o.Workloads) {
    for (int pages : workload == "images" ? o.ImagePages : o.Pages) {
      std::vector<std::pair<const char*, Result>> rows;
      // Free memory goes cold while it lies unused (the machine's host takes
      // it back): a first write of 1.5 GB after a minute's pause took 2.1 s,
      // the next ones 0.22 s, nearly all of it in the kernel's copy into the
      // page cache. An untimed run of ours learns the output's size and warms
      // as much memory; the limit is taken next, and every library runs after
      // it in the same state.
      const Result warmUp = RunChild(VellixLibrary, workload, pages, o.Dir + "/vellix-compare-warm-up.pdf", photo);
      if (warmUp.Ok) rows.emplace_back("limit", RunLimit(warmUp.Bytes, o.Dir + "/vellix-compare-limit.bin"));
      for (const Library* lib : libraries) {
        if (!o.Libraries.empty() && std::find(o.Libraries.begin(), o.Libraries.end(), lib->Name) == o.Libraries.end())
          continue;
        if (workload == "unicode" && lib->UnicodeReport == nullptr) continue;
        const std::string out = o.Dir + "/vellix-compare-" + lib->Name + ".pdf";
        rows.emplace_back(lib->Name, RunChild(*lib, workload, pages, out, photo));
      }
      double ours = 0, limit = 0;
      for (const auto& [name, r] : rows) {
        if (std::strcmp(name, "vellix") == 0 && r.Ok) ours = r.Seconds;
        if (std::strcmp(name, "limit") == 0 && r.Ok) limit = r.Seconds;
      }
      for (const auto& [name, r] : rows) {
        if (!r.Ok) {
          std::printf("%-8s %6d  %-14s %9s\n", workload.c_str(), pages, name, "failed");
          continue;
        }
        std::printf("%-8s %6d  %-14s %9.3f %10.1f %11.2f %10.1f %9.2f %9.2f\n", workload.c_str(), pages, name,
                    r.Seconds, pages / r.Seconds, r.Bytes / 1e6, r.PeakMiB, ours > 0 ? r.Seconds / ours : 0.0,
                    limit > 0 ? r.Seconds / limit : 0.0);
      }
      std::fflush(stdout);
    }
  }
  unlink(photo.c_str());
  return 0;
}
