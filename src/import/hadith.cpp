#include "hadith.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <optional>

namespace velmora::import {
namespace {

using Json = nlohmann::json;

constexpr int kMaxDepth = 200; // deeper nesting is refused rather than exhausting the stack

// Whether arrays and objects in the JSON text nest deeper than the limit (strings aside). Checked
// in one pass before the text is parsed, so that the parser and the values it makes never recurse
// that deep, at no cost per value.
bool nestedDeeperThan(std::string_view text, int limit)
{
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit)
                return true;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return false;
}

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
// line 1, column 3: ", "[json.exception.out_of_range.406] ").
std::string reasonOf(const Json::exception &e)
{
    const std::string what = e.what();
    const auto colon = what.find(": ");
    if (colon != std::string::npos && what.find("parse error") < colon)
        return what.substr(colon + 2);
    const auto bracket = what.find("] ");
    return bracket == std::string::npos ? what : what.substr(bracket + 2);
}

std::optional<Json> parseJson(std::string_view text, std::string &error)
{
    if (nestedDeeperThan(text, kMaxDepth)) {
        error = "values are nested more than " + std::to_string(kMaxDepth) + " deep";
        return std::nullopt;
    }
    try {
        return Json::parse(text);
    } catch (const Json::parse_error &e) {
        error = reasonOf(e) + " (" + positionIn(text, e.byte) + ")";
    } catch (const Json::exception &e) {
        // A number too large for a double, say: every other complaint of the parser, in its words.
        error = reasonOf(e);
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
        // A text of blanks and invisible characters alone is no hadith.
        std::string record = recordText(text->get_ref<const std::string &>(), result.stats);
        if (record.empty()) {
            ++result.stats.skipped;
            continue;
        }
        if (!fields.narrator.empty())
            if (const Json *narrator = memberAt(hadith, fields.narrator); narrator && narrator->is_string())
                if (const std::string who =
                        recordText(narrator->get_ref<const std::string &>(), result.stats);
                    !who.empty())
                    record.insert(0, who + " ");
        out += recordLine(record, result.stats);
        ++result.stats.items;
        if (progress && i % 512 == 0)
            progress(input.size() / 2 + input.size() / 2 * i / hadiths->size(), input.size());
    }
    if (progress)
        progress(input.size(), input.size());
    return result;
}

} // namespace velmora::import
