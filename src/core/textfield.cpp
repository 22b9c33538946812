#include "textfield.h"

#include "safefile.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>

namespace velmora {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}
bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

} // namespace

std::optional<FieldReader> FieldReader::open(const std::filesystem::path &path)
{
    auto data = readRegularFile(path);
    if (!data)
        return std::nullopt;
    return FieldReader(std::move(*data));
}

void FieldReader::consumeSeparatorAt(std::size_t at)
{
    if (at >= data_.size()) {
        pos_ = data_.size();
        return;
    }
    pos_ = at + 1;
    if (data_[at] == '\r' && pos_ < data_.size() && data_[pos_] == '\n')
        ++pos_;
}

std::string_view FieldReader::next()
{
    const std::size_t size = data_.size();
    while (pos_ < size && isBlank(data_[pos_]))
        ++pos_;
    if (pos_ >= size) {
        lastOffset_ = size;
        return {};
    }
    const char *base = data_.data();
    if (data_[pos_] == '"') {
        const std::size_t start = pos_ + 1;
        const void *q = start < size ? std::memchr(base + start, '"', size - start) : nullptr;
        const std::size_t close = q ? static_cast<std::size_t>(static_cast<const char *>(q) - base) : size;
        std::size_t sep = close + 1;
        while (sep < size && data_[sep] != ',' && !isLineEnd(data_[sep]))
            ++sep;
        consumeSeparatorAt(sep);
        lastOffset_ = start;
        return {base + start, close - start};
    }
    const std::size_t start = pos_;
    std::size_t end = start;
    while (end < size && data_[end] != ',' && !isLineEnd(data_[end]))
        ++end;
    consumeSeparatorAt(end);
    std::size_t trimmed = end;
    while (trimmed > start && isBlank(data_[trimmed - 1]))
        --trimmed;
    lastOffset_ = start;
    return {base + start, trimmed - start};
}

void LineWriter::text(std::string_view value)
{
    out_.append(value);
    out_.append("\r\n");
}

void LineWriter::number(double value)
{
    out_.push_back(' ');
    out_.append(formatNumber(value));
    out_.append(" \r\n");
}

void LineWriter::truth(bool value)
{
    text(value ? "True" : "False");
}

std::string quotedIfNeeded(std::string_view text)
{
    if (text.find(',') == std::string_view::npos || text.find('"') != std::string_view::npos)
        return std::string(text);
    std::string out;
    out.reserve(text.size() + 2);
    out.push_back('"');
    out.append(text);
    out.push_back('"');
    return out;
}

std::string formatNumber(double value)
{
    if (!std::isfinite(value))
        return "0";
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    std::string s(buf, res.ptr);
    // to_chars may choose exponent notation for very large or small values; write plain decimals.
    if (s.find('e') != std::string::npos) {
        const auto fixed = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
        s.assign(buf, fixed.ptr);
    }
    return s;
}

double numberInText(std::string_view text)
{
    // Blanks are ignored anywhere inside the number, as the program reads every number.
    std::string digits;
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && isBlank(text[i]))
            ++i;
    };
    skipBlanks();
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        if (text[i] == '-')
            digits.push_back('-');
        ++i;
    }
    bool seenDot = false;
    bool seenDigit = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (isBlank(c))
            continue;
        if (c >= '0' && c <= '9') {
            digits.push_back(c);
            seenDigit = true;
        } else if (c == '.' && !seenDot) {
            digits.push_back(c);
            seenDot = true;
        } else {
            break;
        }
    }
    if (!seenDigit)
        return 0.0;
    double value = 0.0;
    const char *first = digits.data();
    const char *last = digits.data() + digits.size();
    if (*first == '-')
        ++first;
    if (std::from_chars(first, last, value).ec == std::errc::result_out_of_range)
        value = HUGE_VAL; // hundreds of digits: larger than any number the program uses
    return digits.front() == '-' ? -value : value;
}

int intInText(std::string_view text)
{
    const double value = std::trunc(numberInText(text));
    if (value >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

bool isWholeNumberText(std::string_view text)
{
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    if (b == e)
        return false;
    double value = 0.0;
    const auto res = std::from_chars(text.data() + b, text.data() + e, value);
    return res.ec == std::errc() && res.ptr == text.data() + e;
}

} // namespace velmora
