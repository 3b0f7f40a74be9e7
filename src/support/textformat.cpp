// Formatting of translatable messages with one text argument.
#include "support/textformat.h"

#include <cstring>

#include "support/pathutil.h"

namespace {
// Appends one character (one or two bytes) when it fits whole.
class BoundedText {
public:
    BoundedText(char* out, size_t size) : out_(out), size_(size) {
        if (size_) out_[0] = 0;
    }
    bool Append(const char* bytes, size_t n) {
        if (full_ || used_ + n + 1 > size_) {
            full_ = true;
            return false;
        }
        memcpy(out_ + used_, bytes, n);
        used_ += n;
        out_[used_] = 0;
        return true;
    }
private:
    char* out_;
    size_t size_;
    size_t used_ = 0;
    bool full_ = false;
};

size_t CharLength(const LeadByteTable& table, const char* p) {
    return (size_t)((table.multiByte ? NextChar(table, p) : p + 1) - p);
}

bool AppendText(const LeadByteTable& table, BoundedText& out, const char* text) {
    for (const char* p = text; *p;) {
        size_t n = CharLength(table, p);
        if (!out.Append(p, n)) return false;
        p += n;
    }
    return true;
}
}  // namespace

void FormatWithText(const LeadByteTable& table, char* out, size_t size, const char* format,
                    const char* text) {
    BoundedText result(out, size);
    bool placed = false;
    for (const char* p = format; *p;) {
        if (p[0] == '%' && p[1] == '%') {
            if (!result.Append("%", 1)) return;
            p += 2;
        } else if (p[0] == '%' && p[1] == 's' && !placed) {
            if (!AppendText(table, result, text)) return;
            placed = true;
            p += 2;
        } else {
            size_t n = CharLength(table, p);
            if (!result.Append(p, n)) return;
            p += n;
        }
    }
}
