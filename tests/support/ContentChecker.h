#pragma once
// A checker for page content streams, catching what PDF readers forgive:
// unbalanced BT/ET and q/Q, text operators outside a text object, path
// operators inside one, wrong operand counts and unknown operators.

#include <string>
#include <vector>

namespace VellixTest {

// The problems found in one content stream; empty when it is sound.
std::vector<std::string> CheckContent(const std::string& aContent);

// The content streams of the pages of a file written by the library (without
// filters), in page order, each cut at its /Length.
std::vector<std::string> PageContents(const std::string& aPdf);

// CheckContent over every page of a file; problems prefixed with the page number.
std::vector<std::string> CheckPdfContents(const std::string& aPdf);

// Structural check of a file written by the library: every cross-reference
// entry is 20 bytes and points at its "n 0 obj" line, /Size and startxref are
// right, the file ends with "%%EOF" and CR LF. Empty when it is sound.
std::vector<std::string> CheckXref(const std::string& aPdf, size_t aStart = 0);

}  // namespace VellixTest
