// Reading back what a print to a PDF file put on its pages, through the tools of
// poppler-utils (pdftotext, pdfinfo), which scripts/setup installs.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

struct PdfPage {
    std::string text;        // as `pdftotext -layout` lays it out, UTF-8, lines ended by "\n"
    double width = 0;        // in points
    double height = 0;
};

// The pages of a PDF file, in order; empty, with *problem set, when it cannot be read.
std::vector<PdfPage> ReadPdfPages(const std::string& path, std::string* problem);

// A page's text with each run of blanks made one blank, lines trimmed and empty lines left
// out, so that texts compare whatever spacing the reader guessed.
std::string PlainPdfText(const std::string& text);

}  // namespace testsupport
