#include "textfield.h"

#include "safefile.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

// The first comma or line end at or after from, or size: sixteen bytes at a time where the
// processor allows, since every byte of every data file passes through here.
std::size_t fieldEnd(const char *base, std::size_t from, std::size_t size)
{
    std::size_t i = from;
#ifdef __SSE2__
    const __m128i comma = _mm_set1_epi8(',');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 16 <= size; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(base + i));
        const __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(bytes, comma),
                                          _mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)));
        if (const int mask = _mm_movemask_epi8(hits))
            return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    while (i < size && base[i] != ',' && !isLineEnd(base[i]))
        ++i;
    return i;
}

} // namespace

FieldReader::FieldReader(std::string data) : owned_(std::move(data)), data_(owned_) {}

FieldReader FieldReader::over(std::string_view text)
{
    FieldReader reader;
    reader.data_ = text;
    return reader;
}

namespace {

// Buffers of files read before, kept for the next reads: the display reads one to four files for
// every choice of verses, and memory the process already has costs less than fresh pages.
constexpr std::size_t kSpareBuffers = 4;
constexpr std::uintmax_t kMapFrom = 8u << 20;
std::vector<std::string> &spareBuffers()
{
    thread_local std::vector<std::string> spare;
    return spare;
}

} // namespace

std::optional<FieldReader> FieldReader::open(const std::filesystem::path &path, Links links)
{
    FieldReader reader;
    // A large file is mapped, and its pages come in as the reader goes: no copy of it is made.
    std::error_code ec;
    if (links == Links::Follow && std::filesystem::file_size(path, ec) > kMapFrom && !ec) {
        if (auto file = MappedFile::open(path, MappedFile::Use::Part)) {
            reader.file_ = std::make_unique<MappedFile>(std::move(*file));
            reader.data_ = reader.file_->text();
            return reader;
        }
    }
    auto &spare = spareBuffers();
    if (!spare.empty()) {
        reader.owned_ = std::move(spare.back());
        spare.pop_back();
    }
    if (!readRegularFileInto(path, reader.owned_, std::string::npos, links)) {
        reader.recycle();
        return std::nullopt;
    }
    reader.data_ = reader.owned_;
    return reader;
}

void FieldReader::recycle()
{
    auto &spare = spareBuffers();
    if (owned_.capacity() > 0 && spare.size() < kSpareBuffers)
        spare.push_back(std::move(owned_));
    owned_.clear();
    data_ = {};
}

FieldReader::FieldReader(FieldReader &&other) noexcept
{
    *this = std::move(other);
}

FieldReader &FieldReader::operator=(FieldReader &&other) noexcept
{
    if (this != &other) {
        recycle();
        const bool ownsText = other.data_.data() == other.owned_.data() && !other.owned_.empty();
        owned_ = std::move(other.owned_);
        file_ = std::move(other.file_);
        data_ = ownsText ? std::string_view(owned_) : other.data_;
        pos_ = other.pos_;
        lastOffset_ = other.lastOffset_;
        other.data_ = {};
        other.pos_ = other.lastOffset_ = 0;
    }
    return *this;
}

FieldReader::~FieldReader()
{
    recycle();
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
        consumeSeparatorAt(fieldEnd(base, std::min(close + 1, size), size));
        lastOffset_ = start;
        return {base + start, close - start};
    }
    const std::size_t start = pos_;
    const std::size_t end = fieldEnd(base, start, size);
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
    // Room for every double in plain decimals: 309 digits before the point of the largest, 324
    // places after it for the smallest, and the sign.
    char buf[700];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    if (res.ec != std::errc())
        return "0";
    std::string s(buf, res.ptr);
    // to_chars may choose exponent notation for very large or small values; write plain decimals.
    if (s.find('e') != std::string::npos) {
        const auto fixed = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
        s.assign(buf, fixed.ec == std::errc() ? fixed.ptr : buf);
    }
    return s.empty() ? "0" : s;
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

} // namespace velmora
