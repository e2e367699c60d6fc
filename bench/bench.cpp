// Benchmark: writes large documents and reports throughput and peak memory.
// Usage: vellix-bench [WORKLOAD|all] [OUTPUT.pdf]
// Each workload is a function that draws one document; add new ones to
// Workloads() below.

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <jpeglib.h>

#include "Memory.h"
#include "ReportBench.h"
#include "TableBench.h"
#include "Vellix.h"
#include "writer/PdfNumber.h"

using namespace Vellix;

namespace {

struct TWorkload {
  const char* Name;
  const char* Description;
  std::function<void(TVellix&)> Draw;  // between BeginDoc and EndDoc
};

// Content lines as the shape operations write them: converted coordinates
// in the PDF number format, one operator per line.
void ContentLines(TVellix& aDoc, int32_t aPages, int32_t aLinesPerPage) {
  TPdfCanvas& canvas = aDoc.Canvas();
  for (int32_t page = 0; page < aPages; ++page) {
    if (page > 0) aDoc.NewPage();
    for (int32_t i = 0; i < aLinesPerPage; i += 2) {
      const int32_t x = 100 + (i * 37 + page) % 1900, y = 100 + (i * 53) % 2700;
      std::string move;
      AppendPdfNumber(move, canvas.UnitToPoint(x));
      move += ' ';
      AppendPdfNumber(move, canvas.YToPoint(y));
      move += " m";
      canvas.AddLine(std::move(move));
      std::string line;
      AppendPdfNumber(line, canvas.UnitToPoint(x + 250));
      line += ' ';
      AppendPdfNumber(line, canvas.YToPoint(y + 13));
      line += " l S";
      canvas.AddLine(std::move(line));
    }
  }
}

// Filled rectangles with their colour and pen state lines.
void Rectangles(TVellix& aDoc, int32_t aPages, int32_t aPerPage) {
  TPdfCanvas& canvas = aDoc.Canvas();
  for (int32_t page = 0; page < aPages; ++page) {
    if (page > 0) aDoc.NewPage();
    for (int32_t i = 0; i < aPerPage; ++i) {
      canvas.Brush().SetColor(RGB(uint8_t(i * 7), uint8_t(i * 13), uint8_t(page)));
      const std::string paint = canvas.AssignBrushAndPen(true, true);
      std::string rect;
      AppendPdfNumber(rect, canvas.UnitToPoint(100 + i % 19 * 100));
      rect += ' ';
      AppendPdfNumber(rect, canvas.YToPoint(200 + i % 27 * 100));
      rect += ' ';
      AppendPdfNumber(rect, canvas.UnitToPoint(90));
      rect += ' ';
      AppendPdfNumber(rect, canvas.UnitToPoint(90));
      rect += " re " + paint;
      canvas.AddLine(std::move(rect));
    }
  }
}

std::vector<TWorkload> Workloads() {
  return {
      {"lines", "10000 pages of 500 content lines", [](TVellix& d) { ContentLines(d, 10000, 500); }},
      {"rectangles", "2000 pages of 500 filled rectangles", [](TVellix& d) { Rectangles(d, 2000, 500); }},
      {"report", "500 pages of paragraphs and a 40 x 5 grid", [](TVellix& d) { VellixBench::ReportPages(d, 500); }},
  };
}

long PeakMemoryKiB() {
  rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void Run(const TWorkload& aWorkload, const std::string& aOutput) {
  const auto start = std::chrono::steady_clock::now();
  int64_t bytes = 0;
  int32_t pages = 0;
  {
    TVellix doc;
    doc.SetFileName(aOutput);
    doc.BeginDoc();
    aWorkload.Draw(doc);
    pages = doc.PageNumber();
    doc.EndDoc();
    TFileStream written(aOutput, fmOpenRead);
    bytes = written.Size();
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%-12s %-40s %6d pages %9.1f MB %7.2f s %8.1f MB/s %8.1f pages/s  peak %ld KiB\n", aWorkload.Name,
              aWorkload.Description, pages, bytes / 1e6, seconds, bytes / 1e6 / seconds, pages / seconds,
              PeakMemoryKiB());
}

// 10,000 pages, each with "Page n of N" (the count waits for the end as a
// form), an outline entry, a link to the next page (which waits for that
// page) and one to the first; a named destination every hundred pages. The
// resident memory at page 1,000 and at page 10,000 shows what the document
// holds as it grows: the cross-reference table's 8 bytes per object and 4
// per page, a few bytes per named destination; nothing of the pages.
void NavigationWorkload(const std::string& aOutput) {
  const auto start = std::chrono::steady_clock::now();
  long atThousand = 0, atEnd = 0;
  TVellix doc;
  doc.SetFileName(aOutput);
  doc.BeginDoc();
  TPdfCanvas& c = doc.Canvas();
  c.Font().SetName("Arial");
  c.Font().SetSize(10);
  constexpr int32_t Pages = 10000;
  for (int32_t page = 1; page <= Pages; ++page) {
    if (page > 1) doc.NewPage();
    const std::string lead = "Page " + std::to_string(page) + " of ";
    c.TextOut(200, 2850, lead);
    c.PageCountOut(200 + c.TextWidth(lead), 2850, 0, taLeftJustify);
    doc.AddOutline("Page " + std::to_string(page), page % 10 == 1 ? 1 : 2, page);
    if (page < Pages) c.LinkToPage(Rect(1500, 2850, 1900, 2900), page + 1);
    c.LinkToPage(Rect(1000, 2850, 1400, 2900), 1);
    if (page % 100 == 1) doc.AddDestination("part " + std::to_string(page / 100 + 1));
    if (page == 1000) atThousand = VellixBench::ResidentKiB();
  }
  atEnd = VellixBench::ResidentKiB();
  doc.EndDoc();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  TFileStream written(aOutput, fmOpenRead);
  std::printf("%-12s %-40s %6d pages %9.1f MB %7.2f s %8.1f pages/s  resident at page 1000: %ld KiB, at page %d: %ld KiB\n",
              "navigation", "page count, outline, 2 links per page", Pages, written.Size() / 1e6, seconds,
              Pages / seconds, atThousand, Pages, atEnd);
}

void NumberFormat() {
  const auto start = std::chrono::steady_clock::now();
  std::string out;
  size_t total = 0;
  constexpr int count = 20000000;
  for (int i = 0; i < count; ++i) {
    out.clear();
    AppendPdfNumber(out, (i % 100000) * (72.0L / 254.0L));
    total += out.size();
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%-12s %-40s %.1f million numbers/s (%zu characters)\n", "numbers", "AppendPdfNumber of coordinates",
              count / seconds / 1e6, total);
}

// A report's text: per page, rows of cells each measured (TextWidth, for
// right alignment) and drawn (TextOut), in three fonts. Reports the calls per
// second of the two together and of TextWidth alone.
void TextCalls(const std::string& aOutput) {
  constexpr int32_t kPages = 200, kRows = 50, kCols = 10;
  const auto start = std::chrono::steady_clock::now();
  int64_t calls = 0;
  {
    TVellix doc;
    doc.SetFileName(aOutput);
    doc.BeginDoc();
    TPdfCanvas& canvas = doc.Canvas();
    const char* families[] = {"Arial", "Times New Roman", "Courier New"};
    char cell[32];
    for (int32_t page = 0; page < kPages; ++page) {
      if (page > 0) doc.NewPage();
      for (int32_t row = 0; row < kRows; ++row) {
        for (int32_t col = 0; col < kCols; ++col) {
          canvas.Font().SetName(families[col % 3]);
          canvas.Font().SetSize(col == 0 ? 10 : 9);
          canvas.Font().SetStyle(row == 0 ? TFontStyles{fsBold} : TFontStyles{});
          std::snprintf(cell, sizeof cell, "%d.%02d EUR", page * 1000 + row * 10 + col, (row * 7 + col) % 100);
          const int32_t width = canvas.TextWidth(cell);
          canvas.TextOut(100 + col * 190 + 180 - width, 100 + row * 55, cell);
          calls += 2;
        }
      }
    }
    doc.EndDoc();
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%-12s %-40s %.0f calls/s (%lld calls, %.2f s)\n", "text", "TextWidth + TextOut per cell, 3 fonts",
              calls / seconds, static_cast<long long>(calls), seconds);

  // Measurement alone, as text boxes and grids call it while breaking lines.
  TVellix doc;
  doc.SetFileName(aOutput);
  doc.BeginDoc();
  TPdfCanvas& canvas = doc.Canvas();
  canvas.Font().SetName("Arial");
  canvas.Font().SetSize(10);
  const std::string sentence = "The quick brown fox jumps over the lazy dog";
  std::vector<std::string> prefixes;
  for (size_t n = 0; n <= sentence.size(); ++n) prefixes.push_back(sentence.substr(0, n));
  constexpr int32_t kMeasures = 5000000;
  int64_t total = 0;
  const auto measureStart = std::chrono::steady_clock::now();
  for (int32_t i = 0; i < kMeasures; ++i) total += canvas.TextWidth(prefixes[size_t(i) % prefixes.size()]);
  const double measureSeconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - measureStart).count();
  doc.Abort();
  std::printf("%-12s %-40s %.1f million calls/s (sum %lld)\n", "measure", "TextWidth of 0-43 characters",
              kMeasures / measureSeconds / 1e6, static_cast<long long>(total));
}

// The shape operations themselves, as an application calls them: per page
// 200 lines, 100 rectangles, 50 ellipses and rounded rectangles, and 4 full
// turns of arc on circles of radius 1000 units (about 12 600 lines each).
// Reports content lines per second from BeginDoc to the closed file.
void ShapeWorkload(const std::string& aOutput) {
  constexpr int32_t pages = 100;
  const auto start = std::chrono::steady_clock::now();
  int64_t lines = 0, bytes = 0;
  {
    TVellix doc;
    doc.SetFileName(aOutput);
    doc.BeginDoc();
    TPdfCanvas& c = doc.Canvas();
    for (int32_t page = 0; page < pages; ++page) {
      if (page > 0) {
        lines += int64_t(c.PdfStream().size());
        doc.NewPage();
      }
      c.Pen().SetWidth(2 + page % 3);
      for (int32_t i = 0; i < 200; ++i) {
        c.MoveTo(100 + i * 9, 100 + i % 7 * 13);
        c.LineTo(1900 - i * 9, 2800 - i % 11 * 17);
      }
      for (int32_t i = 0; i < 100; ++i) {
        c.Brush().SetColor(RGB(uint8_t(i * 7), uint8_t(i * 13), uint8_t(page)));
        c.Rectangle(100 + i % 19 * 100, 200 + i % 27 * 100, 190 + i % 19 * 100, 290 + i % 27 * 100);
      }
      for (int32_t i = 0; i < 25; ++i) {
        c.Ellipse(100 + i * 70, 300, 400 + i * 70, 700 + i * 3);
        c.RoundRect(100 + i * 70, 900, 400 + i * 70, 1300, 60, 40);
      }
      for (int32_t i = 0; i < 4; ++i) c.Arc(50, 850, 2050, 2850, 2050, 1850, 2050, 1851 + i);
    }
    lines += int64_t(c.PdfStream().size());
    doc.EndDoc();
    TFileStream written(aOutput, fmOpenRead);
    bytes = written.Size();
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%-12s %-40s %6d pages %9.1f MB %7.2f s %8.1f MB/s  %.2f million lines/s  peak %ld KiB\n", "shapes",
              "100 pages of lines, rects, ellipses, arcs", pages, bytes / 1e6, seconds, bytes / 1e6 / seconds,
              double(lines) / seconds / 1e6, PeakMemoryKiB());
}


// A photograph-like picture made here: sky gradient, a soft sun, a hill, and
// a little grain so that compressors meet real texture.
std::unique_ptr<TBitmap> Photograph(int32_t aWidth, int32_t aHeight) {
  auto bmp = std::make_unique<TBitmap>(aWidth, aHeight);
  uint32_t grain = 12345;
  for (int32_t y = 0; y < aHeight; ++y) {
    uint8_t* p = bmp->ScanLine(y);
    const double v = double(y) / aHeight;
    for (int32_t x = 0; x < aWidth; ++x, p += 3) {
      const double u = double(x) / aWidth;
      const double sun = std::exp(-((u - 0.7) * (u - 0.7) + (v - 0.3) * (v - 0.3)) * 18);
      const double hill = std::clamp((v - 0.6 - 0.1 * std::sin(u * 9)) * 40, 0.0, 1.0);
      grain = grain * 1103515245u + 12345u;
      const double noise = double((grain >> 16) & 15) - 7.5;
      const double rgb[3] = {60 + 120 * v * (1 - hill) + 40 * hill + 150 * sun + noise,
                             110 + 60 * (1 - v) + 50 * hill + 100 * sun + noise,
                             210 - 110 * v - 150 * hill + 20 * sun + noise};
      for (int c = 0; c < 3; ++c) p[c] = uint8_t(std::lround(std::clamp(rgb[c], 0.0, 255.0)));
    }
  }
  return bmp;
}

// One 3000 x 2000 photograph placed on a page in each compression mode.
// Reports megapixels per second of the placement (encoding) and of the whole
// document (placement and writing), by the wall clock and, for the placement,
// by the process's CPU time too (steadier on a busy machine).
void ImageWorkload(const std::string& aOutput) {
  constexpr int32_t width = 3000, height = 2000;
  const auto photo = Photograph(width, height);
  const double megapixels = width * double(height) / 1e6;
  const std::pair<TPdfCompressMode, const char*> modes[] = {{cpNone, "none"}, {cpZlib, "zlib"}, {cpJpeg, "jpeg"}};
  for (const auto& [mode, name] : modes) {
    const auto start = std::chrono::steady_clock::now();
    double placeSeconds = 0, placeCpu = 0;
    int64_t bytes = 0;
    {
      TVellix doc;
      doc.SetFileName(aOutput);
      doc.SetImageCompressMode(mode);
      doc.BeginDoc();
      const auto placeStart = std::chrono::steady_clock::now();
      const std::clock_t cpuStart = std::clock();
      doc.Canvas().StretchDraw(Rect(100, 100, 2000, 1367), photo.get());
      placeCpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
      placeSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - placeStart).count();
      doc.EndDoc();
      TFileStream written(aOutput, fmOpenRead);
      bytes = written.Size();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf(
        "%-12s %-40s %6.1f MB  place %6.1f Mpixel/s (CPU %6.1f)  document %6.1f Mpixel/s (%.2f s)  peak %ld KiB\n",
        (std::string("image-") + name).c_str(), "3000 x 2000 photograph, one placement", bytes / 1e6,
        megapixels / placeSeconds, megapixels / placeCpu, megapixels / seconds, seconds, PeakMemoryKiB());
  }
}

// libjpeg's own round trip of a JPEG file: decode to RGB rows, encode them
// again at aQuality into memory. The yardstick of a photograph's placement.
size_t LibjpegRoundTrip(const std::vector<uint8_t>& aFile, int aQuality) {
  jpeg_error_mgr errors;
  jpeg_decompress_struct in;
  in.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&in);
  jpeg_mem_src(&in, aFile.data(), aFile.size());
  jpeg_read_header(&in, TRUE);
  in.out_color_space = JCS_RGB;
  jpeg_start_decompress(&in);
  const size_t stride = size_t(in.output_width) * 3;
  std::vector<uint8_t> pixels(stride * in.output_height);
  while (in.output_scanline < in.output_height) {
    JSAMPROW row = pixels.data() + stride * in.output_scanline;
    jpeg_read_scanlines(&in, &row, 1);
  }
  jpeg_compress_struct out;
  out.err = jpeg_std_error(&errors);
  jpeg_create_compress(&out);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&out, &buffer, &size);
  out.image_width = in.output_width;
  out.image_height = in.output_height;
  out.input_components = 3;
  out.in_color_space = JCS_RGB;
  jpeg_set_defaults(&out);
  jpeg_set_quality(&out, aQuality, TRUE);
  jpeg_start_compress(&out, TRUE);
  while (out.next_scanline < out.image_height) {
    JSAMPROW row = pixels.data() + stride * out.next_scanline;
    jpeg_write_scanlines(&out, &row, 1);
  }
  jpeg_finish_compress(&out);
  jpeg_finish_decompress(&in);
  jpeg_destroy_decompress(&in);
  jpeg_destroy_compress(&out);
  std::free(buffer);
  return size;
}

// A 3000 x 2000 JPEG file loaded and placed with cpJpeg (decoded once,
// encoded once, ASCII85 into the image's stream), against libjpeg's own
// decode and encode of the same file; best of five runs each.
void PhotoWorkload(const std::string& aOutput) {
  const auto photo = Photograph(3000, 2000);
  const std::vector<uint8_t> file = TJPEGImage::EncodeGraphic(*photo);
  const std::string path = aOutput + ".jpg";
  {
    TFileStream out(path, fmCreate);
    out.WriteBuffer(file.data(), int64_t(file.size()));
  }
  double ours = 1e9, reference = 1e9;
  for (int run = 0; run < 5; ++run) {
    auto start = std::chrono::steady_clock::now();
    {
      TVellix doc;
      doc.SetFileName(aOutput);
      doc.SetImageCompressMode(cpJpeg);
      doc.BeginDoc();
      TJPEGImage image;
      image.LoadFromFile(path);
      doc.Canvas().StretchDraw(Rect(100, 100, 2000, 1367), &image);
      doc.EndDoc();
    }
    ours = std::min(ours, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    start = std::chrono::steady_clock::now();
    LibjpegRoundTrip(file, TJPEGImage::DefaultQuality);
    reference = std::min(reference, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  unlink(path.c_str());
  std::printf("%-12s %-40s vellix %.3f s (load, place, write)  libjpeg %.3f s (decode, encode)  ratio %.2f\n",
              "photo", "3000 x 2000 JPEG file placed with cpJpeg", ours, reference, ours / reference);
}

// Eight report documents of 100 pages, one after the other and then in eight
// threads (one component each): throughput should grow with the cores.
void ThreadWorkload(const std::string& aOutput) {
  constexpr int kDocuments = 8, kPages = 100;
  const auto writeOne = [&](int aIndex) {
    TVellix doc;
    doc.SetFileName(aOutput + "-thread" + std::to_string(aIndex) + ".pdf");
    doc.BeginDoc();
    VellixBench::ReportPages(doc, kPages);
    doc.EndDoc();
    unlink(doc.FileName().c_str());
  };
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kDocuments; ++i) writeOne(i);
  const double serial = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  start = std::chrono::steady_clock::now();
  std::vector<std::thread> threads;
  for (int i = 0; i < kDocuments; ++i) threads.emplace_back(writeOne, i);
  for (std::thread& thread : threads) thread.join();
  const double parallel = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%-12s %-40s in a row %6.0f pages/s  in 8 threads %6.0f pages/s  (x%.2f on %u cores)\n", "threads",
              "8 report documents of 100 pages", kDocuments * kPages / serial, kDocuments * kPages / parallel,
              serial / parallel, std::thread::hardware_concurrency());
}

}  // namespace

int main(int argc, char** argv) {
  const std::string which = argc > 1 ? argv[1] : "all";
  const std::string output = argc > 2 ? argv[2] : "/tmp/vellix-bench-" + std::to_string(getpid()) + ".pdf";
  bool ran = false;
  try {
    if (which == "all" || which == "numbers") {
      NumberFormat();
      ran = true;
    }
    if (which == "all" || which == "shapes") {
      ShapeWorkload(output);
      ran = true;
    }
    if (which == "all" || which == "images") {
      ImageWorkload(output);
      ran = true;
    }
    if (which == "all" || which == "photo") {
      PhotoWorkload(output);
      ran = true;
    }
    if (which == "all" || which == "text") {
      TextCalls(output);
      ran = true;
    }
    if (which == "all" || which == "threads") {
      ThreadWorkload(output);
      ran = true;
    }
    if (which == "all" || which == "table") {
      VellixBench::TableWorkload(output);
      ran = true;
    }
    if (which == "all" || which == "navigation") {
      NavigationWorkload(output);
      ran = true;
    }
    for (const TWorkload& workload : Workloads()) {
      if (which != "all" && which != workload.Name) continue;
      Run(workload, output);
      ran = true;
    }
  } catch (const Exception& e) {
    std::fprintf(stderr, "vellix-bench: %s\n", e.Message().c_str());
    return 1;
  }
  if (argc <= 2) unlink(output.c_str());
  if (!ran) {
    std::fprintf(stderr, "unknown workload %s; known: all numbers images photo text shapes threads navigation table", which.c_str());
    for (const TWorkload& workload : Workloads()) std::fprintf(stderr, " %s", workload.Name);
    std::fprintf(stderr, "\n");
    return 2;
  }
  return 0;
}
