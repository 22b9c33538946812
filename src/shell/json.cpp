#include "json.h"

#include "utf8.h"

#include <charconv>
#include <cmath>

namespace velmora::json {

const Value *Value::member(std::string_view name) const
{
    if (const Object *members = object())
        for (const Member &m : *members)
            if (m.name == name)
                return &m.value;
    return nullptr;
}

const Value *Value::path(std::string_view dottedPath) const
{
    const Value *at = this;
    while (at) {
        const auto dot = dottedPath.find('.');
        at = at->member(dottedPath.substr(0, dot));
        if (dot == std::string_view::npos)
            break;
        dottedPath.remove_prefix(dot + 1);
    }
    return at;
}

namespace {

constexpr int kMaxDepth = 200; // deeper nesting is refused rather than exhausting the stack

class Parser
{
public:
    explicit Parser(std::string_view text) : text_(text) {}

    ParseResult run()
    {
        ParseResult result;
        if (text_.substr(0, 3) == "\xEF\xBB\xBF")
            pos_ = 3;
        Value value;
        if (parseValue(value, 0)) {
            skipBlanks();
            if (pos_ == text_.size())
                result.value = std::move(value);
            else
                fail("unexpected text after the end of the JSON value");
        }
        if (!result.value)
            result.error =
                error_ + " (line " + std::to_string(line()) + ", column " + std::to_string(column()) + ")";
        return result;
    }

private:
    bool fail(std::string message)
    {
        if (error_.empty())
            error_ = std::move(message);
        return false;
    }

    std::size_t line() const
    {
        std::size_t n = 1;
        for (std::size_t i = 0; i < pos_ && i < text_.size(); ++i)
            n += text_[i] == '\n';
        return n;
    }
    std::size_t column() const
    {
        const auto lineStart = text_.rfind('\n', pos_ == 0 ? 0 : pos_ - 1);
        return lineStart == std::string_view::npos || pos_ == 0 ? pos_ + 1 : pos_ - lineStart;
    }

    void skipBlanks()
    {
        while (pos_ < text_.size() &&
               (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r'))
            ++pos_;
    }

    bool literal(std::string_view word)
    {
        if (text_.substr(pos_, word.size()) != word)
            return fail("unknown word");
        pos_ += word.size();
        return true;
    }

    bool parseValue(Value &out, int depth)
    {
        if (depth > kMaxDepth)
            return fail("values nested too deeply");
        skipBlanks();
        if (pos_ >= text_.size())
            return fail("the text ends where a value should follow");
        switch (text_[pos_]) {
        case '{':
            return parseObject(out, depth);
        case '[':
            return parseArray(out, depth);
        case '"': {
            std::string s;
            if (!parseString(s))
                return false;
            out.data = std::move(s);
            return true;
        }
        case 't':
            out.data = true;
            return literal("true");
        case 'f':
            out.data = false;
            return literal("false");
        case 'n':
            out.data = nullptr;
            return literal("null");
        default:
            return parseNumber(out);
        }
    }

    bool parseObject(Value &out, int depth)
    {
        ++pos_;
        Object members;
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == '}') {
            ++pos_;
            out.data = std::move(members);
            return true;
        }
        for (;;) {
            skipBlanks();
            if (pos_ >= text_.size() || text_[pos_] != '"')
                return fail("a member name in double quotes was expected");
            std::string key;
            if (!parseString(key))
                return false;
            skipBlanks();
            if (pos_ >= text_.size() || text_[pos_] != ':')
                return fail("\":\" was expected after a member name");
            ++pos_;
            Value value;
            if (!parseValue(value, depth + 1))
                return false;
            members.push_back({std::move(key), std::move(value)});
            skipBlanks();
            if (pos_ < text_.size() && text_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (pos_ < text_.size() && text_[pos_] == '}') {
                ++pos_;
                out.data = std::move(members);
                return true;
            }
            return fail("\",\" or \"}\" was expected in an object");
        }
    }

    bool parseArray(Value &out, int depth)
    {
        ++pos_;
        Array items;
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == ']') {
            ++pos_;
            out.data = std::move(items);
            return true;
        }
        for (;;) {
            Value value;
            if (!parseValue(value, depth + 1))
                return false;
            items.push_back(std::move(value));
            skipBlanks();
            if (pos_ < text_.size() && text_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (pos_ < text_.size() && text_[pos_] == ']') {
                ++pos_;
                out.data = std::move(items);
                return true;
            }
            return fail("\",\" or \"]\" was expected in an array");
        }
    }

    bool hex4(unsigned &value)
    {
        if (pos_ + 4 > text_.size())
            return fail("a \\u escape needs four hex digits");
        const auto [end, ec] = std::from_chars(text_.data() + pos_, text_.data() + pos_ + 4, value, 16);
        if (ec != std::errc() || end != text_.data() + pos_ + 4)
            return fail("a \\u escape needs four hex digits");
        pos_ += 4;
        return true;
    }

    bool parseEscape(std::string &out)
    {
        if (pos_ >= text_.size())
            return fail("the text ends inside a string");
        const char c = text_[pos_++];
        switch (c) {
        case '"':
        case '\\':
        case '/':
            out.push_back(c);
            return true;
        case 'b':
            out.push_back('\b');
            return true;
        case 'f':
            out.push_back('\f');
            return true;
        case 'n':
            out.push_back('\n');
            return true;
        case 'r':
            out.push_back('\r');
            return true;
        case 't':
            out.push_back('\t');
            return true;
        case 'u': {
            unsigned high = 0;
            if (!hex4(high))
                return false;
            char32_t cp = high;
            if (high >= 0xD800 && high <= 0xDBFF) {
                unsigned low = 0;
                if (text_.substr(pos_, 2) != "\\u" || (pos_ += 2, !hex4(low)) || low < 0xDC00 || low > 0xDFFF)
                    return fail("a \\u escape of a surrogate pair is incomplete");
                cp = 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
            } else if (high >= 0xDC00 && high <= 0xDFFF) {
                return fail("a \\u escape of a surrogate pair is incomplete");
            }
            ansi::appendUtf8(out, cp);
            return true;
        }
        default:
            return fail("unknown escape in a string");
        }
    }

    bool parseString(std::string &out)
    {
        ++pos_; // the opening quote
        for (;;) {
            const auto stop = text_.find_first_of("\"\\", pos_);
            if (stop == std::string_view::npos) {
                pos_ = text_.size();
                return fail("the text ends inside a string");
            }
            for (std::size_t i = pos_; i < stop; ++i)
                if (static_cast<unsigned char>(text_[i]) < 0x20) {
                    pos_ = i;
                    return fail("a control character stands unescaped in a string");
                }
            out.append(text_.substr(pos_, stop - pos_));
            pos_ = stop + 1;
            if (text_[stop] == '"')
                return true;
            if (!parseEscape(out))
                return false;
        }
    }

    bool parseNumber(Value &out)
    {
        const std::size_t start = pos_;
        if (pos_ < text_.size() && text_[pos_] == '-')
            ++pos_;
        const auto digitsFrom = pos_;
        while (pos_ < text_.size() &&
               ((text_[pos_] >= '0' && text_[pos_] <= '9') || text_[pos_] == '.' || text_[pos_] == 'e' ||
                text_[pos_] == 'E' || text_[pos_] == '+' || text_[pos_] == '-'))
            ++pos_;
        double value = 0;
        const auto [end, ec] = std::from_chars(text_.data() + start, text_.data() + pos_, value);
        if (pos_ == digitsFrom || ec != std::errc() || end != text_.data() + pos_ || !std::isfinite(value)) {
            pos_ = start;
            return fail("a value was expected");
        }
        out.data = value;
        return true;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::string error_;
};

} // namespace

ParseResult parse(std::string_view text)
{
    return Parser(text).run();
}

} // namespace velmora::json
