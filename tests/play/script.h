// The play script: a plain-text list of user actions, read and checked as a whole before
// anything runs, so a mistyped script is refused with its line number.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace play {

// One action inside a `dialog` line, such as `click 1` or `type 1000 "Peso"`.
struct Action {
    std::string name;
    std::vector<std::string> args;  // as written (UTF-8); texts are checked to fit the code page
};

struct Line {
    int number = 0;                  // 1-based line number in the script
    std::string verb;                // "open", "dialog", "box", ...
    std::vector<std::string> args;   // as written (UTF-8)
    unsigned dialogId = 0;           // `dialog` lines: the template id
    std::vector<Action> actions;     // `dialog` lines: the actions, in order
};

struct Script {
    std::string path;                // the script file
    std::string folder;              // its folder: relative paths start there
    std::string copy;                // a copy of that folder in the run's own folder, when made
    std::vector<Line> lines;         // every line that does something, in order
    int timeoutSeconds = 120;        // from a `timeout` line
    std::vector<std::string> engines;  // from an `engines` line
    bool enginesGiven = false;
};

class ParseError : public std::runtime_error {
public:
    ParseError(int line, const std::string& what) : std::runtime_error(what), m_line(line) {}
    int Line() const { return m_line; }

private:
    int m_line;
};

// Cuts one line into tokens: blanks separate, a token in double quotes may hold blanks
// (it runs to the next double quote; no escapes). With splitSemicolons, an unquoted ';'
// is a token of its own. Throws ParseError for an unclosed quote.
std::vector<std::string> Tokenize(const std::string& text, int lineNumber, bool splitSemicolons);

// Reads a whole script; throws ParseError naming the first bad line.
Script ParseScript(const std::string& text, const std::string& path);

// The virtual-key code of a key token (a number, or a name such as RETURN); 0 when unknown.
unsigned KeyCode(const std::string& token);

// Whether a token is a whole integer / a whole number, and its value.
bool ParseInt(const std::string& token, long* value);
bool ParseNumber(const std::string& token, double* value);

// Compares two texts token by token (tokens split at white space): equal tokens match,
// and two numbers match when they differ by at most tolerance. Returns an empty string
// when they match, otherwise where they first differ.
std::string CompareNumbers(const std::string& output, const std::string& expected, double tolerance);
// Compares bytes; an empty string when equal, otherwise where they first differ.
std::string CompareBytes(const std::string& output, const std::string& expected);

}  // namespace play
