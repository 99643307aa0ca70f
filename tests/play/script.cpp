#include "tests/play/script.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>

#include "platform/core/cp1252.h"
#include "platform/ui/win_messages.h"

namespace play {

namespace {

// The arguments a line or an action takes, one letter each:
//   i integer   n integer >= 0   f number >= 0   t text (must fit the code page)
//   p path      k key            a message-box answer   w word
// A letter followed by '+' takes one or more; arguments after '[' are optional, all or none.
struct Syntax {
    const char* pattern;
};

const std::map<std::string, Syntax>& LineSyntax() {
    static const std::map<std::string, Syntax> table = {
        {"open", {"p"}},           {"command", {"n"}},         {"menu", {"t"}},
        {"box", {"a[t"}},          {"file", {"p"}},            {"print", {"p"}},
        {"popup", {"t"}},          {"save-as", {"p"}},         {"set-clipboard", {"p"}},
        {"header-click", {"n"}},   {"engines", {"w+"}},        {"clipboard-text", {"p"}},
        {"clipboard-image", {"p"}}, {"window-png", {"p"}},     {"messages", {"p"}},
        {"opened", {"p"}},         {"expect-file", {"p"}},     {"timeout", {"n"}},
        {"compare", {"pp"}},       {"compare-numbers", {"ppf"}}, {"folder-dialog", {"pp"}},
        {"viewer", {"p"}},         {"pdf-text", {"pp"}},       {"link", {"pp"}},
        {"fifo", {"p"}},           {"kind", {"pp"}},
    };
    return table;
}

const std::map<std::string, Syntax>& ActionSyntax() {
    static const std::map<std::string, Syntax> table = {
        {"click", {"n"}},   {"check", {"n"}},       {"tick", {"nn+"}},  {"untick", {"nn+"}},
        {"select", {"nn"}}, {"choose", {"nt"}},     {"dclick", {"nn"}}, {"type", {"nt"}},
        {"focus", {"n"}},   {"key", {"k"}},         {"rclick", {"n[ii"}}, {"png", {"p"}},
        {"dump", {"np"}},   {"close", {""}},        {"wait-ms", {"n"}},
        {"texts", {"np"}},  {"drag", {"nnnnn"}},   {"lclick", {"nii"}}, {"hover", {"nii"}},
        {"tip", {"p"}},     {"slider", {"ni"}},     {"edit-cell", {"nnnt[k"}},
    };
    return table;
}

void CheckArgument(char kind, const std::string& arg, int line, const std::string& what) {
    long l = 0;
    double d = 0;
    switch (kind) {
    case 'i':
        if (!ParseInt(arg, &l)) throw ParseError(line, what + ": \"" + arg + "\" is not an integer");
        break;
    case 'n':
        if (!ParseInt(arg, &l) || l < 0)
            throw ParseError(line, what + ": \"" + arg + "\" is not a whole number of 0 or more");
        break;
    case 'f':
        if (!ParseNumber(arg, &d) || d < 0) throw ParseError(line, what + ": \"" + arg + "\" is not a number of 0 or more");
        break;
    case 't': {
        std::string out;
        if (!afx::Utf8ToCp1252(arg, &out))
            throw ParseError(line, what + ": \"" + arg + "\" holds a character the program cannot show");
        break;
    }
    case 'p':
    case 'w':
        if (arg.empty()) throw ParseError(line, what + ": empty argument");
        break;
    case 'k':
        if (KeyCode(arg) == 0) throw ParseError(line, what + ": unknown key \"" + arg + "\"");
        break;
    case 'a':
        if (arg != "ok" && arg != "yes" && arg != "no" && arg != "cancel")
            throw ParseError(line, what + ": the answer must be ok, yes, no or cancel, not \"" + arg + "\"");
        break;
    default:
        break;
    }
}

// Checks a list of arguments against a pattern.
void CheckArguments(const char* pattern, const std::vector<std::string>& args, int line, const std::string& what) {
    std::vector<char> required, optional;
    bool repeatLast = false, inOptional = false;
    for (const char* p = pattern; *p; ++p) {
        if (*p == '[') inOptional = true;
        else if (*p == '+') repeatLast = true;
        else (inOptional ? optional : required).push_back(*p);
    }
    size_t n = args.size();
    bool countOk = n == required.size() || (!optional.empty() && n == required.size() + optional.size()) ||
                   (repeatLast && n > required.size());
    if (!countOk) {
        std::string expect = std::to_string(required.size());
        if (!optional.empty()) expect += " or " + std::to_string(required.size() + optional.size());
        if (repeatLast) expect += " or more";
        throw ParseError(line, what + " takes " + expect + " argument(s), not " + std::to_string(n));
    }
    for (size_t i = 0; i < n; ++i) {
        char kind;
        if (i < required.size()) kind = required[i];
        else if (!optional.empty()) kind = optional[i - required.size()];
        else kind = required.back();
        CheckArgument(kind, args[i], line, what);
    }
}

// `with ID ACTION ARGS...`: ACTION, any dialog action but another `with`, on the open
// modeless dialog of template ID.
void CheckWith(const std::vector<std::string>& args, int number) {
    long id = 0;
    if (args.size() < 2) throw ParseError(number, "with needs a template id and an action");
    if (!ParseInt(args[0], &id) || id <= 0) throw ParseError(number, "with: \"" + args[0] + "\" is not a template id");
    const std::string& name = args[1];
    if (name == "with" || name == "viewer") throw ParseError(number, "with: the action cannot be " + name);
    auto it = ActionSyntax().find(name);
    if (it == ActionSyntax().end()) throw ParseError(number, "unknown dialog action \"" + name + "\"");
    CheckArguments(it->second.pattern, std::vector<std::string>(args.begin() + 2, args.end()), number, name);
}

// `viewer ACTION ARGS...` on the text viewer on the screen: `key VK`, `click "caption"`
// or `state PATH`.
void CheckViewer(const std::vector<std::string>& args, int number) {
    static const std::map<std::string, const char*> actions = {{"key", "k"}, {"click", "t"}, {"state", "p"}};
    if (args.empty()) throw ParseError(number, "viewer needs an action: key, click or state");
    auto it = actions.find(args[0]);
    if (it == actions.end()) throw ParseError(number, "viewer: unknown action \"" + args[0] + "\" (key, click or state)");
    CheckArguments(it->second, std::vector<std::string>(args.begin() + 1, args.end()), number, "viewer " + args[0]);
}

Line ParseDialogLine(const std::string& rest, int number) {
    std::vector<std::string> tokens = Tokenize(rest, number, true);
    Line line;
    line.number = number;
    line.verb = "dialog";
    if (tokens.empty()) throw ParseError(number, "dialog needs a template id, a ':' and actions");
    std::string id = tokens[0];
    size_t next = 1;
    if (!id.empty() && id.back() == ':') id.pop_back();
    else if (next < tokens.size() && tokens[next] == ":") ++next;
    else throw ParseError(number, "dialog: a ':' must follow the template id");
    long value = 0;
    if (!ParseInt(id, &value) || value <= 0) throw ParseError(number, "dialog: \"" + id + "\" is not a template id");
    line.dialogId = static_cast<unsigned>(value);
    Action current;
    auto finish = [&] {
        if (current.name.empty()) return;
        if (current.name == "with" || current.name == "viewer") {
            if (current.name == "with") CheckWith(current.args, number);
            else CheckViewer(current.args, number);
            line.actions.push_back(std::move(current));
            current = Action();
            return;
        }
        auto it = ActionSyntax().find(current.name);
        if (it == ActionSyntax().end()) throw ParseError(number, "unknown dialog action \"" + current.name + "\"");
        CheckArguments(it->second.pattern, current.args, number, current.name);
        line.actions.push_back(std::move(current));
        current = Action();
    };
    for (; next < tokens.size(); ++next) {
        if (tokens[next] == ";") finish();
        else if (current.name.empty()) current.name = tokens[next];
        else current.args.push_back(tokens[next]);
    }
    finish();
    if (line.actions.empty()) throw ParseError(number, "dialog " + id + " has no actions");
    return line;
}

}  // namespace

bool ParseInt(const std::string& token, long* value) {
    if (token.empty()) return false;
    const char* end = token.data() + token.size();
    auto r = std::from_chars(token.data(), end, *value);
    return r.ec == std::errc() && r.ptr == end;
}

bool ParseNumber(const std::string& token, double* value) {
    if (token.empty()) return false;
    const char* end = token.data() + token.size();
    auto r = std::from_chars(token.data(), end, *value);
    return r.ec == std::errc() && r.ptr == end && std::isfinite(*value);
}

unsigned KeyCode(const std::string& token) {
    static const std::map<std::string, unsigned> names = {
        {"RETURN", VK_RETURN}, {"ENTER", VK_RETURN}, {"ESCAPE", VK_ESCAPE}, {"SPACE", VK_SPACE},
        {"TAB", VK_TAB},       {"DELETE", VK_DELETE}, {"BACK", VK_BACK},    {"UP", VK_UP},
        {"DOWN", VK_DOWN},     {"LEFT", VK_LEFT},     {"RIGHT", VK_RIGHT},  {"HOME", VK_HOME},
        {"END", VK_END},       {"PRIOR", VK_PRIOR},   {"NEXT", VK_NEXT},    {"INSERT", VK_INSERT},
        {"F1", VK_F1},         {"F10", VK_F10},
    };
    long n = 0;
    if (ParseInt(token, &n)) return n > 0 && n < 256 ? static_cast<unsigned>(n) : 0;
    auto it = names.find(token);
    return it == names.end() ? 0 : it->second;
}

std::vector<std::string> Tokenize(const std::string& text, int lineNumber, bool splitSemicolons) {
    std::vector<std::string> tokens;
    size_t i = 0;
    const size_t n = text.size();
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (i < n) {
        if (blank(text[i])) {
            ++i;
            continue;
        }
        if (splitSemicolons && text[i] == ';') {
            tokens.emplace_back(";");
            ++i;
            continue;
        }
        std::string token;
        bool any = false;
        while (i < n && !blank(text[i]) && !(splitSemicolons && text[i] == ';')) {
            if (text[i] == '"') {
                size_t close = text.find('"', i + 1);
                if (close == std::string::npos) throw ParseError(lineNumber, "a double quote is not closed");
                token += text.substr(i + 1, close - i - 1);
                i = close + 1;
            } else {
                token += text[i++];
            }
            any = true;
        }
        if (any) tokens.push_back(token);
    }
    return tokens;
}

Script ParseScript(const std::string& text, const std::string& path) {
    Script script;
    script.path = path;
    size_t slash = path.rfind('/');
    script.folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    std::istringstream in(text);
    std::string raw;
    int number = 0;
    bool timeoutGiven = false;
    while (std::getline(in, raw)) {
        ++number;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        size_t first = raw.find_first_not_of(" \t");
        if (first == std::string::npos || raw[first] == '#') continue;
        size_t verbEnd = raw.find_first_of(" \t", first);
        std::string verb = raw.substr(first, verbEnd == std::string::npos ? std::string::npos : verbEnd - first);
        std::string rest = verbEnd == std::string::npos ? std::string() : raw.substr(verbEnd);
        if (verb == "dialog") {
            script.lines.push_back(ParseDialogLine(rest, number));
            continue;
        }
        auto it = LineSyntax().find(verb);
        if (it == LineSyntax().end()) throw ParseError(number, "unknown line \"" + verb + "\"");
        Line line;
        line.number = number;
        line.verb = verb;
        line.args = Tokenize(rest, number, false);
        CheckArguments(it->second.pattern, line.args, number, verb);
        if (verb == "timeout") {
            if (timeoutGiven) throw ParseError(number, "a second timeout line");
            long seconds = 0;
            ParseInt(line.args[0], &seconds);
            if (seconds <= 0) throw ParseError(number, "timeout must be at least 1 second");
            script.timeoutSeconds = static_cast<int>(std::min(seconds, 86400L));
            timeoutGiven = true;
            continue;
        }
        if (verb == "engines") {
            if (script.enginesGiven) throw ParseError(number, "a second engines line");
            script.engines = line.args;
            script.enginesGiven = true;
            continue;
        }
        script.lines.push_back(std::move(line));
    }
    return script;
}

namespace {

struct Token {
    std::string text;
    int line;
};

std::vector<Token> WhiteSpaceTokens(const std::string& s) {
    std::vector<Token> out;
    int line = 1;
    size_t i = 0;
    while (i < s.size()) {
        char c = s[i];
        if (c == '\n') ++line;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        size_t start = i;
        while (i < s.size() && s[i] != ' ' && s[i] != '\t' && s[i] != '\r' && s[i] != '\n') ++i;
        out.push_back({s.substr(start, i - start), line});
    }
    return out;
}

}  // namespace

std::string CompareNumbers(const std::string& output, const std::string& expected, double tolerance) {
    std::vector<Token> a = WhiteSpaceTokens(output), b = WhiteSpaceTokens(expected);
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i].text == b[i].text) continue;
        double x = 0, y = 0;
        // The slack absorbs the binary error of decimal texts, so a tolerance of 0.000001
        // accepts 1.000001 against 1.000000.
        if (ParseNumber(a[i].text, &x) && ParseNumber(b[i].text, &y) &&
            std::fabs(x - y) <= tolerance * (1 + 1e-9) + 1e-15 * std::max(std::fabs(x), std::fabs(y)))
            continue;
        return "token " + std::to_string(i + 1) + " (output line " + std::to_string(a[i].line) + ", expected line " +
               std::to_string(b[i].line) + "): \"" + a[i].text + "\" where \"" + b[i].text + "\" was expected";
    }
    if (a.size() != b.size())
        return "the output has " + std::to_string(a.size()) + " tokens, the expected text " + std::to_string(b.size());
    return std::string();
}

std::string CompareBytes(const std::string& output, const std::string& expected) {
    size_t n = std::min(output.size(), expected.size());
    size_t i = 0;
    while (i < n && output[i] == expected[i]) ++i;
    if (i == n && output.size() == expected.size()) return std::string();
    int line = 1;
    for (size_t k = 0; k < i; ++k)
        if (output[k] == '\n') ++line;
    if (i == n)
        return "the output has " + std::to_string(output.size()) + " bytes, the expected file " +
               std::to_string(expected.size()) + " (they agree up to there)";
    return "they differ at byte " + std::to_string(i) + " (line " + std::to_string(line) + ")";
}

}  // namespace play
