#pragma once
// Runs the independent PDF readers on a file and returns what they said.

#include <string>
#include <vector>

namespace VellixTest {

struct TRunResult {
  int Status = -1;  // exit status; -1 when the program could not run or was killed
  std::string Out;  // standard output
  std::string Err;  // standard error
};

// Runs aArguments[0] (looked up on PATH) with the rest as arguments.
TRunResult RunProgram(const std::vector<std::string>& aArguments);

// qpdf --check: status 0 means no errors and no warnings.
TRunResult QpdfCheck(const std::string& aPdf);
// pdftotext (with extra options before the file), text to standard output.
TRunResult PdfToText(const std::string& aPdf, const std::vector<std::string>& aOptions = {});
TRunResult PdfFonts(const std::string& aPdf);
TRunResult PdfImagesList(const std::string& aPdf);
// pdftoppm with the options given, writing to aOutputRoot (pdftoppm's naming).
TRunResult PdfToPpm(const std::string& aPdf, const std::vector<std::string>& aOptions, const std::string& aOutputRoot);
// mutool draw to a null device: status 1 on unknown operators and broken content.
TRunResult MutoolDraw(const std::string& aPdf);

// Empty when both qpdf --check (status 0) and pdftotext (status 0, nothing on
// standard error) accept the file; otherwise what they reported.
std::string ReadersComplaints(const std::string& aPdf);

// The same for a document held in memory (written to a temporary file first).
std::string ReadersComplaintsOfBytes(const std::string& aBytes);

}  // namespace VellixTest
