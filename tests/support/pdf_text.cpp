#include "tests/support/pdf_text.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <sstream>

extern char** environ;

namespace testsupport {

namespace {

// Runs a program found on PATH and gives back what it wrote on its standard output; false
// when it could not be run or did not end well.
bool RunForOutput(std::vector<std::string> args, std::string* out) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (spawned != 0) {
        ::close(pipeFds[0]);
        return false;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        out->append(buffer, static_cast<size_t>(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

std::vector<PdfPage> ReadPdfPages(const std::string& path, std::string* problem) {
    std::string info, text;
    if (!RunForOutput({"pdfinfo", "-f", "1", "-l", "100000", path}, &info) ||
        !RunForOutput({"pdftotext", "-layout", "-enc", "UTF-8", path, "-"}, &text)) {
        *problem = "cannot read " + path + " with pdfinfo and pdftotext (poppler-utils)";
        return {};
    }
    std::vector<PdfPage> pages;
    // "Page    1 size: 595 x 842 pts (A4)", one line a page.
    std::istringstream lines(info);
    for (std::string line; std::getline(lines, line);) {
        int number = 0;
        double width = 0, height = 0;
        if (std::sscanf(line.c_str(), "Page %d size: %lf x %lf", &number, &width, &height) == 3)
            pages.push_back({std::string(), width, height});
    }
    // Each page's text ends with a form feed.
    size_t at = 0;
    for (PdfPage& page : pages) {
        const size_t end = text.find('\f', at);
        page.text = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? text.size() : end + 1;
    }
    if (pages.empty()) *problem = path + " holds no page";
    return pages;
}

std::string PlainPdfText(const std::string& text) {
    std::string out;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::string plain;
        for (char c : line) {
            const bool blank = c == ' ' || c == '\t' || c == '\r';
            if (blank && (plain.empty() || plain.back() == ' ')) continue;
            plain += blank ? ' ' : c;
        }
        while (!plain.empty() && plain.back() == ' ') plain.pop_back();
        if (!plain.empty()) out += plain + "\n";
    }
    return out;
}

}  // namespace testsupport
