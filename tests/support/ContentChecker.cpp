#include "support/ContentChecker.h"

#include <cctype>
#include <cstdlib>
#include <map>
#include <regex>

namespace VellixTest {

namespace {

enum class TOperandKind { Number, Name, String, Array, Other };

bool IsDelimiter(char c) {
  return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' || c == '}' ||
         c == '/' || c == '%';
}
bool IsSpace(char c) { return c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == '\f' || c == '\0'; }

// Operand count of each operator the library may write; -1 = any count.
const std::map<std::string, int>& OperandCounts() {
  static const std::map<std::string, int> counts = {
      {"w", 1},  {"J", 1},  {"j", 1},  {"M", 1},  {"d", 2},  {"ri", 1}, {"i", 1},  {"gs", 1}, {"q", 0},
      {"Q", 0},  {"cm", 6}, {"m", 2},  {"l", 2},  {"c", 6},  {"v", 4},  {"y", 4},  {"h", 0},  {"re", 4},
      {"S", 0},  {"s", 0},  {"f", 0},  {"F", 0},  {"f*", 0}, {"B", 0},  {"B*", 0}, {"b", 0},  {"b*", 0},
      {"n", 0},  {"W", 0},  {"W*", 0}, {"BT", 0}, {"ET", 0}, {"Tc", 1}, {"Tw", 1}, {"Tz", 1}, {"TL", 1},
      {"Tf", 2}, {"Tr", 1}, {"Ts", 1}, {"Td", 2}, {"TD", 2}, {"Tm", 6}, {"T*", 0}, {"Tj", 1}, {"TJ", 1},
      {"'", 1},  {"\"", 3}, {"g", 1},  {"G", 1},  {"rg", 3}, {"RG", 3}, {"k", 4},  {"K", 4},  {"Do", 1},
  };
  return counts;
}

bool IsTextOperator(const std::string& op) {
  return op == "Tc" || op == "Tw" || op == "Tz" || op == "TL" || op == "Tf" || op == "Tr" || op == "Ts" ||
         op == "Td" || op == "TD" || op == "Tm" || op == "T*" || op == "Tj" || op == "TJ" || op == "'" ||
         op == "\"";
}

bool IsPathOperator(const std::string& op) {
  return op == "m" || op == "l" || op == "c" || op == "v" || op == "y" || op == "h" || op == "re" || op == "S" ||
         op == "s" || op == "f" || op == "F" || op == "f*" || op == "B" || op == "B*" || op == "b" ||
         op == "b*" || op == "n" || op == "Do" || op == "cm" || op == "q" || op == "Q";
}

}  // namespace

std::vector<std::string> CheckContent(const std::string& aContent) {
  std::vector<std::string> problems;
  std::vector<TOperandKind> operands;
  bool inText = false;
  int saveDepth = 0;
  size_t i = 0;
  const size_t n = aContent.size();
  auto problem = [&](const std::string& aText) { problems.push_back(aText + " at byte " + std::to_string(i)); };
  while (i < n) {
    const char c = aContent[i];
    if (IsSpace(c)) {
      ++i;
    } else if (c == '%') {
      while (i < n && aContent[i] != '\n' && aContent[i] != '\r') ++i;
    } else if (c == '(') {
      int depth = 0;
      size_t j = i;
      for (; j < n; ++j) {
        if (aContent[j] == '\\') {
          ++j;
        } else if (aContent[j] == '(') {
          ++depth;
        } else if (aContent[j] == ')' && --depth == 0) {
          break;
        }
      }
      if (j >= n) {
        problem("unterminated string");
        return problems;
      }
      operands.push_back(TOperandKind::String);
      i = j + 1;
    } else if (c == '[') {
      // An array operand: skip to its matching bracket, strings included.
      int depth = 0;
      size_t j = i;
      for (; j < n; ++j) {
        const char d = aContent[j];
        if (d == '(') {
          int sdepth = 0;
          for (; j < n; ++j) {
            if (aContent[j] == '\\') ++j;
            else if (aContent[j] == '(') ++sdepth;
            else if (aContent[j] == ')' && --sdepth == 0) break;
          }
        } else if (d == '[') {
          ++depth;
        } else if (d == ']' && --depth == 0) {
          break;
        }
      }
      if (j >= n) {
        problem("unterminated array");
        return problems;
      }
      operands.push_back(TOperandKind::Array);
      i = j + 1;
    } else if (c == '/') {
      size_t j = i + 1;
      while (j < n && !IsSpace(aContent[j]) && !IsDelimiter(aContent[j])) ++j;
      operands.push_back(TOperandKind::Name);
      i = j;
    } else if (c == '<' || c == '>' || c == ']' || c == ')' || c == '{' || c == '}') {
      problem(std::string("unexpected '") + c + "'");
      ++i;
    } else {
      size_t j = i;
      while (j < n && !IsSpace(aContent[j]) && !IsDelimiter(aContent[j])) ++j;
      const std::string token = aContent.substr(i, j - i);
      char* end = nullptr;
      std::strtod(token.c_str(), &end);
      const bool number = !token.empty() && end == token.c_str() + token.size() &&
                          token.find_first_of("eExXnN") == std::string::npos;
      if (number) {
        operands.push_back(TOperandKind::Number);
      } else {
        const auto known = OperandCounts().find(token);
        if (known == OperandCounts().end()) {
          problem("unknown operator '" + token + "'");
        } else if (int(operands.size()) != known->second) {
          problem("operator '" + token + "' with " + std::to_string(operands.size()) + " operands, expected " +
                  std::to_string(known->second));
        }
        if (token == "BT") {
          if (inText) problem("BT inside a text object");
          inText = true;
        } else if (token == "ET") {
          if (!inText) problem("ET without BT");
          inText = false;
        } else if (token == "q") {
          ++saveDepth;
        } else if (token == "Q") {
          if (--saveDepth < 0) {
            problem("Q without q");
            saveDepth = 0;
          }
        }
        if (IsTextOperator(token) && !inText) problem("text operator '" + token + "' outside BT/ET");
        if (IsPathOperator(token) && inText) problem("operator '" + token + "' inside BT/ET");
        operands.clear();
      }
      i = j;
    }
  }
  if (!operands.empty()) problem("operands without operator at the end");
  if (inText) problem("BT without ET at the end");
  if (saveDepth != 0) problem("q without Q at the end");
  return problems;
}

std::vector<std::string> PageContents(const std::string& aPdf) {
  std::vector<std::string> contents;
  static const std::regex contentsRef("/Contents ([0-9]+) 0 R");
  for (auto it = std::sregex_iterator(aPdf.begin(), aPdf.end(), contentsRef); it != std::sregex_iterator(); ++it) {
    const std::string header = "\r\n" + (*it)[1].str() + " 0 obj\r\n";
    const size_t object = aPdf.find(header);
    if (object == std::string::npos) continue;
    const size_t length = aPdf.find("/Length ", object);
    const size_t stream = aPdf.find("stream\r\n", object);
    if (length == std::string::npos || stream == std::string::npos) continue;
    const size_t bytes = size_t(std::strtoull(aPdf.c_str() + length + 8, nullptr, 10));
    contents.push_back(aPdf.substr(stream + 8, bytes));
  }
  return contents;
}

std::vector<std::string> CheckPdfContents(const std::string& aPdf) {
  std::vector<std::string> problems;
  const std::vector<std::string> pages = PageContents(aPdf);
  for (size_t p = 0; p < pages.size(); ++p)
    for (const std::string& text : CheckContent(pages[p])) problems.push_back("page " + std::to_string(p + 1) + ": " + text);
  return problems;
}

std::vector<std::string> CheckXref(const std::string& aPdf, size_t aStart) {
  std::vector<std::string> problems;
  const std::string tail = "startxref\r\n";
  const size_t sx = aPdf.rfind(tail);
  if (sx == std::string::npos) return {"no startxref"};
  if (aPdf.size() < 7 || aPdf.compare(aPdf.size() - 7, 7, "%%EOF\r\n") != 0) problems.push_back("no %%EOF line at the end");
  const size_t xref = size_t(std::strtoull(aPdf.c_str() + sx + tail.size(), nullptr, 10));
  if (aPdf.compare(xref, 6, "xref\r\n") != 0) return {"startxref does not point at xref"};
  size_t pos = xref + 6;
  if (aPdf.compare(pos, 2, "0 ") != 0) return {"xref subsection does not start at 0"};
  const size_t count = size_t(std::strtoull(aPdf.c_str() + pos + 2, nullptr, 10));
  pos = aPdf.find("\r\n", pos) + 2;
  if (aPdf.compare(pos, 20, "0000000000 65535 f\r\n") != 0) problems.push_back("bad free entry");
  pos += 20;
  for (size_t k = 1; k < count; ++k, pos += 20) {
    const std::string entry = aPdf.substr(pos, 20);
    if (entry.size() != 20 || entry.compare(10, 10, " 00000 n\r\n") != 0) {
      problems.push_back("entry " + std::to_string(k) + " malformed");
      continue;
    }
    const size_t address = size_t(std::strtoull(entry.c_str(), nullptr, 10));
    const std::string expected = std::to_string(k) + " 0 obj\r\n";
    if (address < aStart || aPdf.compare(address, expected.size(), expected) != 0)
      problems.push_back("entry " + std::to_string(k) + " does not point at its object");
  }
  if (aPdf.compare(pos, 9, "trailer\r\n") != 0) problems.push_back("no trailer after the table");
  const std::string size = "/Size " + std::to_string(count) + "\r\n";
  if (aPdf.find(size, pos) == std::string::npos) problems.push_back("/Size does not match the table");
  return problems;
}

}  // namespace VellixTest
