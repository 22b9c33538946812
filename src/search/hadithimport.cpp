#include "hadithimport.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <optional>

namespace velmora::import {
namespace {

using Json = nlohmann::json;

constexpr int kMaxDepth = 200; // deeper nesting is refused rather than exhausting the memory

struct NestedTooDeep
{
};

// "line L, column C" of the character before a byte count of the text (the parser's position).
std::string positionIn(std::string_view text, std::size_t byte)
{
    const std::string_view read = text.substr(0, std::min(byte, text.size()));
    const auto lineStart = read.rfind('\n');
    const std::size_t line = static_cast<std::size_t>(std::count(read.begin(), read.end(), '\n')) + 1;
    const std::size_t column =
        lineStart == std::string_view::npos ? read.size() : read.size() - lineStart - 1;
    return "line " + std::to_string(line) + ", column " + std::to_string(std::max<std::size_t>(column, 1));
}

// The parser's own words, without its prefix ("[json.exception.parse_error.101] parse error at
// line 1, column 3: ").
std::string reasonOf(const Json::parse_error &e)
{
    const std::string what = e.what();
    const auto colon = what.find(": ");
    return colon == std::string::npos ? what : what.substr(colon + 2);
}

std::optional<Json> parseJson(std::string_view text, std::string &error)
{
    try {
        return Json::parse(text, [](int depth, Json::parse_event_t, Json &) {
            if (depth > kMaxDepth)
                throw NestedTooDeep{};
            return true;
        });
    } catch (const Json::parse_error &e) {
        error = reasonOf(e) + " (" + positionIn(text, e.byte) + ")";
    } catch (const NestedTooDeep &) {
        error = "values are nested more than " + std::to_string(kMaxDepth) + " deep";
    }
    return std::nullopt;
}

// A member reached through names joined by ".": "english.text"; nullptr when there is none.
const Json *memberAt(const Json &value, std::string_view dottedPath)
{
    const Json *at = &value;
    for (;;) {
        const auto dot = dottedPath.find('.');
        const std::string name(dottedPath.substr(0, dot));
        if (!at->is_object())
            return nullptr;
        const auto it = at->find(name);
        if (it == at->end())
            return nullptr;
        at = &*it;
        if (dot == std::string_view::npos)
            return at;
        dottedPath.remove_prefix(dot + 1);
    }
}

const Json *hadithArray(const Json &root)
{
    if (root.is_array())
        return &root;
    const Json *inner = memberAt(root, "hadiths");
    return inner && inner->is_array() ? inner : nullptr;
}

} // namespace

ImportResult importHadiths(std::string_view input, const HadithFields &fields, const Progress &progress)
{
    ImportResult result;
    if (progress)
        progress(0, input.size());
    std::string parseError;
    const std::optional<Json> parsed = parseJson(input, parseError);
    if (!parsed) {
        result.error = "not valid JSON: " + parseError;
        return result;
    }
    const Json *hadiths = hadithArray(*parsed);
    if (!hadiths) {
        result.error = "expected a JSON array of hadiths, or an object with a \"hadiths\" array";
        return result;
    }
    if (hadiths->empty()) {
        result.error = "the array holds no hadith";
        return result;
    }
    std::string &out = result.contents;
    out.reserve(input.size());
    for (std::size_t i = 0; i < hadiths->size(); ++i) {
        const Json &hadith = (*hadiths)[i];
        const std::string where = "hadith " + std::to_string(i + 1);
        if (!hadith.is_object()) {
            result = {};
            result.error = where + " is not an object";
            return result;
        }
        const Json *text = memberAt(hadith, fields.text);
        if (!text || !text->is_string()) {
            result = {};
            result.error = where + " has no text member \"" + fields.text + "\"";
            return result;
        }
        std::string record = text->get<std::string>();
        if (record.find_first_not_of(" \t\r\n") == std::string::npos) {
            ++result.stats.skipped;
            continue;
        }
        if (!fields.narrator.empty())
            if (const Json *narrator = memberAt(hadith, fields.narrator); narrator && narrator->is_string())
                record.insert(0, narrator->get<std::string>() + " ");
        out += dataRecord(record, result.stats);
        ++result.stats.items;
        if (progress && i % 512 == 0)
            progress(input.size() / 2 + input.size() / 2 * i / hadiths->size(), input.size());
    }
    if (progress)
        progress(input.size(), input.size());
    return result;
}

} // namespace velmora::import
