// The section [Rename] of wininit.ini, written so that each scheduled file keeps a line.
#include "uninstall/wininit.h"

#include <cstring>

namespace {
const char SectionName[] = "Rename";
const char DeleteKey[] = "NUL";

struct Line {
    size_t begin;
    size_t end;   // before the line end
    size_t next;  // start of the following line
};

Line LineAt(const std::string& text, size_t pos) {
    size_t nl = text.find('\n', pos);
    Line line{pos, nl == std::string::npos ? text.size() : nl, nl == std::string::npos ? text.size() : nl + 1};
    if (line.end > line.begin && text[line.end - 1] == '\r') --line.end;
    return line;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The text between begin and end without blanks on either side.
std::string Trimmed(const std::string& text, size_t begin, size_t end) {
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

bool EqualsNoCase(const std::string& a, const char* b) {
    if (a.size() != strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = (char)(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = (char)(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

// A section header "[name]"; sets the name.
bool IsHeader(const std::string& text, const Line& line, std::string* name) {
    std::string s = Trimmed(text, line.begin, line.end);
    if (s.empty() || s[0] != '[') return false;
    size_t close = s.find(']');
    if (close == std::string::npos) return false;
    *name = Trimmed(s, 1, close);
    return true;
}

// "NUL=value", blanks around either side allowed.
bool IsDeleteLine(const std::string& text, const Line& line, const char* value) {
    std::string s = text.substr(line.begin, line.end - line.begin);
    size_t eq = s.find('=');
    if (eq == std::string::npos) return false;
    return EqualsNoCase(Trimmed(s, 0, eq), DeleteKey) && Trimmed(s, eq + 1, s.size()) == value;
}

std::string DeleteLine(const char* value) { return std::string(DeleteKey) + "=" + value + "\r\n"; }

// Inserts a whole line at pos; the line before it gets its line end when it has none.
void InsertLine(std::string& text, size_t pos, const std::string& line) {
    std::string insert = line;
    if (pos > 0 && text[pos - 1] != '\n') insert = "\r\n" + insert;
    text.insert(pos, insert);
}
}  // namespace

bool AddRenameLine(std::string& text, const char* value) {
    std::string name;
    size_t pos = 0;
    // Find the first [Rename] header, as the system's profile reader does.
    for (; pos < text.size(); pos = LineAt(text, pos).next) {
        if (IsHeader(text, LineAt(text, pos), &name) && EqualsNoCase(name, SectionName)) break;
    }
    if (pos >= text.size()) {
        InsertLine(text, text.size(), "[" + std::string(SectionName) + "]\r\n" + DeleteLine(value));
        return true;
    }
    // The new line goes behind the section's last line that is not blank, so that blank
    // lines before the next section stay where they are.
    size_t insertAt = LineAt(text, pos).next;
    for (size_t p = insertAt; p < text.size();) {
        Line line = LineAt(text, p);
        if (IsHeader(text, line, &name)) break;
        if (IsDeleteLine(text, line, value)) return false;
        if (!Trimmed(text, line.begin, line.end).empty()) insertAt = line.next;
        p = line.next;
    }
    InsertLine(text, insertAt, DeleteLine(value));
    return true;
}
