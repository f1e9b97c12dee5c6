// Helpers of the PDF tests: run the independent readers (qpdf, pdftotext, pdfinfo) on bytes we
// wrote, and walk the cross-reference table by hand.
#pragma once

#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/demo.h"

namespace morvale::test {

// Writes the bytes to a file of the test's own folder and runs `command` with the path in place
// of {} (or appended); the tool's standard output and error together.
inline std::string RunOnPdf(const std::string& bytes, const std::string& name,
                            const std::string& command, int* status = nullptr) {
  std::string path = FreshFolder("pdf-" + name) + name + ".pdf";
  WriteFile(path, bytes);
  std::string out;
  std::string cmd = command;
  size_t at = cmd.find("{}");
  if (at == std::string::npos) cmd += " {}", at = cmd.size() - 2;
  cmd.replace(at, 2, ShellQuote(path));
  int st = RunCommand(cmd + " 2>&1", out);
  if (status) *status = st;
  return out;
}

// qpdf's verdict on the bytes: empty when the file is clean, else what qpdf said.
inline std::string QpdfProblems(const std::string& bytes, const std::string& name) {
  int status = -1;
  std::string out = RunOnPdf(bytes, name, "qpdf --check", &status);
  bool clean = status == 0 && out.find("WARNING") == std::string::npos &&
               out.find("No syntax or stream encoding errors found") != std::string::npos;
  return clean ? std::string() : out;
}

// The text pdftotext reads from the bytes (UTF-8), with the layout kept.
inline std::string PdfText(const std::string& bytes, const std::string& name) {
  return RunOnPdf(bytes, name, "pdftotext -layout -enc UTF-8 {} -");
}

// The value of one pdfinfo field ("Pages", "MediaBox", ...).
inline std::string PdfInfo(const std::string& bytes, const std::string& name,
                           const std::string& field) {
  std::string out = RunOnPdf(bytes, name, "pdfinfo -box");
  std::regex re("(^|\n)" + field + ":\\s*([^\n]*)");
  std::smatch m;
  return std::regex_search(out, m, re) ? m[2].str() : std::string();
}

// A word as pdftotext -bbox places it, on its page (from 1), in points from the top left.
struct TPdfWord {
  int page = 0;
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
  double pageWidth = 0, pageHeight = 0;
  std::string text;
  bool OnPaper() const { return xMin >= 0 && yMin >= 0 && xMax <= pageWidth && yMax <= pageHeight; }
};

inline std::vector<TPdfWord> PdfWordsOfFile(const std::string& path) {
  std::string out;
  RunCommand("pdftotext -bbox -enc UTF-8 " + ShellQuote(path) + " - 2>&1", out);
  std::vector<TPdfWord> words;
  std::regex page("<page width=\"([0-9.]+)\" height=\"([0-9.]+)\">");
  std::regex word(
      "<word xMin=\"([-0-9.]+)\" yMin=\"([-0-9.]+)\" xMax=\"([-0-9.]+)\" "
      "yMax=\"([-0-9.]+)\">([^<]*)</word>");
  int pageNo = 0;
  double w = 0, h = 0;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    std::smatch m;
    if (std::regex_search(line, m, page)) {
      ++pageNo, w = std::stod(m[1]), h = std::stod(m[2]);
    } else if (std::regex_search(line, m, word)) {
      words.push_back({pageNo, std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4]),
                       w, h, m[5].str()});
    }
  }
  return words;
}

inline std::vector<TPdfWord> PdfWords(const std::string& bytes, const std::string& name) {
  std::string path = FreshFolder("pdf-" + name) + name + ".pdf";
  WriteFile(path, bytes);
  return PdfWordsOfFile(path);
}

// Object number -> offset from the xref table; checks every entry is 20 bytes and points at
// "N 0 obj". Failures are reported through gtest.
inline std::map<int, size_t> CheckXref(const std::string& pdf) {
  std::map<int, size_t> objects;
  size_t sx = pdf.rfind("startxref\r");
  EXPECT_NE(sx, std::string::npos);
  if (sx == std::string::npos) return objects;
  size_t xref = std::stoul(pdf.substr(sx + 10));
  EXPECT_EQ(pdf.compare(xref, 5, "xref\r"), 0) << "startxref points at " << pdf.substr(xref, 10);
  size_t p = pdf.find('\r', xref + 5);
  int count = std::stoi(pdf.substr(xref + 7, p - xref - 7));
  p += 1;
  EXPECT_EQ(pdf.substr(p, 20), "0000000000 65535 f \r");
  for (int n = 1; n < count; ++n) {
    std::string entry = pdf.substr(p + 20 * static_cast<size_t>(n), 20);
    EXPECT_TRUE(std::regex_match(entry, std::regex("\\d{10} 00000 n \r"))) << "entry " << n;
    size_t off = std::stoul(entry.substr(0, 10));
    std::string head = std::to_string(n) + " 0 obj\r";
    EXPECT_EQ(pdf.compare(off, head.size(), head), 0) << "object " << n << " at " << off;
    objects[n] = off;
  }
  EXPECT_EQ(pdf.compare(p + 20 * static_cast<size_t>(count), 8, "trailer\r"), 0);
  return objects;
}

// The text of object n ("n 0 obj" up to and including "endobj").
inline std::string ObjectText(const std::string& pdf, const std::map<int, size_t>& objects, int n) {
  auto it = objects.find(n);
  if (it == objects.end()) return {};
  size_t end = pdf.find("endobj\r", it->second);
  return pdf.substr(it->second, end + 7 - it->second);
}

}  // namespace morvale::test
