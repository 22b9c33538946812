// The field reader and line writer through which every text file of the program passes.
#pragma once

#include "safefile.h"

#include <charconv>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Reads the fields of one text file held in memory.
//  - blanks (spaces, tabs) before a field are skipped;
//  - a field that starts with a double quote runs to the next double quote; anything between the
//    closing quote and the next comma or line end is dropped;
//  - any other field runs to the next comma or line end; its trailing blanks are dropped;
//  - the comma or line end that ends a field is consumed with it; CR LF, a lone CR and a lone LF
//    each end a line.
class FieldReader
{
public:
    // Reads a text it keeps.
    explicit FieldReader(std::string data);
    // Reads a text that the caller keeps alive for as long as the reader is used.
    static FieldReader over(std::string_view text);
    // Reads a file; nullopt when the path names no regular file or it cannot be read, or, with
    // Links::Refuse, when it is a link.
    static std::optional<FieldReader> open(const std::filesystem::path &path, Links links = Links::Follow);

    FieldReader(FieldReader &&other) noexcept;
    FieldReader &operator=(FieldReader &&other) noexcept;
    FieldReader(const FieldReader &) = delete;
    FieldReader &operator=(const FieldReader &) = delete;
    ~FieldReader();

    bool atEnd() const { return pos_ >= data_.size(); }
    // The next field; empty when the file is already at its end (test atEnd() first).
    std::string_view next();
    // Offset in data() of the field last returned by next().
    std::size_t lastOffset() const { return lastOffset_; }
    std::string_view data() const { return data_; }

private:
    FieldReader() = default;
    void consumeSeparatorAt(std::size_t at);
    // Hands the reader's buffer on to the next file read.
    void recycle();

    std::string owned_;                // the text, when the reader keeps it
    std::unique_ptr<MappedFile> file_; // the file, when the reader maps it
    std::string_view data_;
    std::size_t pos_ = 0;
    std::size_t lastOffset_ = 0;
};

// Builds the lines of a text file: each value followed by CR LF.
class LineWriter
{
public:
    void text(std::string_view value);
    void number(double value);
    void truth(bool value);
    const std::string &contents() const { return out_; }

private:
    std::string out_;
};

// Takes the next line off a text: the line without its line end (LF or CR LF).
inline std::string_view takeLine(std::string_view &rest)
{
    const auto end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    return line;
}

// The program's own settings files: "key=value" lines, each given to take as it stands; a line
// without "=" is passed over.
template <typename Take> void forEachSetting(std::string_view text, Take take)
{
    while (!text.empty()) {
        const std::string_view line = takeLine(text);
        if (const std::size_t equals = line.find('='); equals != std::string_view::npos)
            take(line.substr(0, equals), line.substr(equals + 1));
    }
}

// A setting's number: into becomes the value when it is wholly a number within [low, high], and
// is left as it was otherwise.
template <typename T> void readSettingNumber(std::string_view value, T &into, T low, T high)
{
    T read = into;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), read);
    if (error == std::errc() && end == value.data() + value.size() && read >= low && read <= high)
        into = read;
}

// A text as a field that the field reader gives back whole: in double quotes when it holds a comma.
// A text that holds a double quote cannot be quoted and stays as it is.
std::string quotedIfNeeded(std::string_view text);

// A number in the program's written form: plain decimal with "." ("9.75", "10", "-1").
std::string formatNumber(double value);

// The value of the decimal number at the start of a text, blanks ignored; 0 when there is none.
double numberInText(std::string_view text);
// The same as a whole number, cut towards zero and clamped to the range of int, so that a number
// too large for the program ("Surah 99999999999.") reads as the largest one instead of overflowing.
int intInText(std::string_view text);

} // namespace velmora
