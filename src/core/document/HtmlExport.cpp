// The HTML listing: one pass over the bytes with a pending word, the mode of the literal or
// comment being written, and a byte column for tab expansion.
#include "core/document/HtmlExport.h"

#include "core/base/Dbcs.h"
#include "core/editor/Colorizer.h"

#include <cstdio>

namespace mireka {

namespace {

enum Mode { kNormal = 0, kChar = 2, kString = 4, kBlock = 8, kLine = 16 };

constexpr std::size_t kWordLimit = 255;

bool IsDelimiter(unsigned char c) noexcept {
    switch (c) {
    case '\t':
    case '\n':
    case ' ':
    case '!':
    case '%':
    case '&':
    case '(':
    case ')':
    case '+':
    case ',':
    case '-':
    case ':':
    case ';':
    case '<':
    case '=':
    case '>':
    case '[':
    case ']':
    case '{':
    case '}':
    case '|':
        return true;
    default:
        return false;
    }
}

class Writer {
public:
    Writer(std::string& out, const EditorColours& colours, int tabWidth)
        : out_(out), tabWidth_(tabWidth < 1 ? 1 : tabWidth), keyword_(HtmlColour(colours.keyword)),
          string_(HtmlColour(colours.string)), comment_(HtmlColour(colours.comment)) {
        word_.reserve(kWordLimit + 1);
    }

    void Body(std::string_view text, Encoding enc) {
        if (enc == Encoding::Utf8) return Utf8Body(text);
        enum class Type { Single, Lead, Trail };
        Type previous = Type::Single;
        for (const char ch : text) {
            const auto c = static_cast<unsigned char>(ch);
            Type type = Type::Single;
            if (previous == Type::Lead)
                type = dbcs::IsTrailByte(c) ? Type::Trail : Type::Single;
            else if (dbcs::IsLeadByte(c))
                type = Type::Lead;
            previous = type;
            if (type != Type::Single) {
                Flush();
                out_ += ch;
            } else {
                Byte(c);
            }
            ++column_;
        }
        if (mode_ == kNormal)
            FlushTested();
        else
            Flush(); // the open font tag stays open
    }

private:
    void Utf8Body(std::string_view text) {
        std::size_t next = 0; // the next character's start: only there do cells advance
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            Byte(c);
            if (c < 0x80) {
                ++column_;
                next = i + 1;
            } else if (i >= next) {
                column_ += chars::CharCells(Encoding::Utf8, text, i);
                next = i + chars::CharLength(Encoding::Utf8, text, i);
            }
        }
        if (mode_ == kNormal)
            FlushTested();
        else
            Flush();
    }

    void Write(std::string_view s) { out_ += s; }
    void Open(const std::string& colour) {
        out_ += "<font color=\"";
        out_ += colour;
        out_ += "\">";
    }
    void Close() { out_ += "</font>"; }
    void Flush() {
        out_ += word_;
        word_.clear();
    }
    // A keyword is written in its colour.
    void FlushTested() {
        if (IsKeyword(word_)) {
            Open(keyword_);
            Flush();
            Close();
        } else {
            Flush();
        }
    }
    [[nodiscard]] bool WordIs(char c) const noexcept { return word_.size() == 1 && word_[0] == c; }

    void Quote(Mode literal, std::string_view written) {
        if (mode_ == kNormal) {
            Flush();
            Open(string_);
            Write(written);
            mode_ = literal;
        } else if (mode_ == literal) {
            if (WordIs('\\')) { // an escaped quote
                Flush();
                Write(written);
            } else {
                Flush();
                Write(written);
                Close();
                mode_ = kNormal;
            }
        } else {
            Flush();
            Write(written);
        }
    }

    void Byte(unsigned char c) {
        if (c == '\r') return;
        if (c == '\n') column_ = -1;
        if (IsDelimiter(c)) return Delimiter(c);
        switch (c) {
        case '"':
            return Quote(kString, "&quot;");
        case '\'':
            return Quote(kChar, "'");
        case '/':
            if (mode_ == kNormal && WordIs('/')) {
                Open(comment_);
                word_ += '/';
                Flush();
                mode_ = kLine;
            } else if (mode_ == kBlock && WordIs('*')) {
                Flush();
                out_ += '/';
                Close();
                mode_ = kNormal;
            } else {
                Flush();
                word_ = '/';
            }
            return;
        case '*':
            if (mode_ == kNormal && WordIs('/')) {
                Open(comment_);
                Flush();
                out_ += '*';
                mode_ = kBlock;
            } else if (mode_ == kNormal && IsKeyword(word_)) {
                FlushTested();
                word_ = '*';
            } else {
                Flush();
                word_ = '*';
            }
            return;
        case '\\':
            if (WordIs('\\')) {
                Flush();
                out_ += '\\';
            } else {
                Flush();
                word_ = '\\';
            }
            return;
        default:
            if (word_.size() >= kWordLimit) Flush();
            word_ += static_cast<char>(c);
        }
    }

    void Delimiter(unsigned char c) {
        if (!word_.empty() && (word_[0] == '*' || word_[0] == '/')) {
            out_ += word_[0];
            word_.erase(0, 1);
        }
        if (mode_ == kNormal)
            FlushTested();
        else
            Flush();
        switch (c) {
        case '\t': {
            const int n = tabWidth_ - static_cast<int>(column_ % tabWidth_);
            out_.append(static_cast<std::size_t>(n), ' ');
            column_ = -1;
            break;
        }
        case '&':
            Write("&amp;");
            break;
        case '>':
            Write("&gt;");
            break;
        case '<':
            Write("&lt;");
            break;
        case '\n':
            if (mode_ == kLine) {
                Write("</font>\r\n");
                mode_ = kNormal;
            } else {
                Write("\r\n");
            }
            break;
        default:
            out_ += static_cast<char>(c);
        }
    }

    std::string& out_;
    int tabWidth_;
    std::string keyword_, string_, comment_;
    std::string word_;
    Mode mode_ = kNormal;
    long long column_ = 0;
};

void AppendEscaped(std::string& out, std::string_view text, Encoding enc) {
    for (std::size_t i = 0; i < text.size(); i += chars::CharLength(enc, text, i)) {
        const std::size_t n = chars::CharLength(enc, text, i);
        switch (n == 1 ? text[i] : 0) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out.append(text, i, n);
        }
    }
}

} // namespace

std::string HtmlColour(Colour colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<unsigned>(colour & 0xFF),
                  static_cast<unsigned>((colour >> 8) & 0xFF),
                  static_cast<unsigned>((colour >> 16) & 0xFF));
    return text;
}

std::string MakeHtmlListing(std::string_view text, const EditorColours& colours, int tabWidth,
                            std::string_view title, Encoding enc) {
    std::string out;
    out.reserve(text.size() + text.size() / 2 + 512);
    out += "<html>\r\n<head>\r\n";
    out += enc == Encoding::Utf8
               ? "<meta http-equiv=\"Content-Type\" content=\"text/html;charset=UTF-8\">\r\n"
               : "<meta http-equiv=\"Content-Type\" content=\"text/html;charset=Shift_JIS\">\r\n";
    out += "<meta name=\"GENERATOR\" content=\"Mireka\">\r\n";
    out += "<title>";
    AppendEscaped(out, title, enc);
    out += "</title>\r\n";
    out += "</head>\r\n<body bgcolor=\"" + HtmlColour(colours.background) + "\" text=\"" +
           HtmlColour(colours.text) + "\">\r\n<pre>";
    Writer(out, colours, tabWidth).Body(text, enc);
    out += "</pre>\r\n</body>\r\n</html>";
    return out;
}

} // namespace mireka
