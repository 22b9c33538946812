#include "hadithimport.h"

#include "shell/json.h"

namespace velmora::import {
namespace {

const json::Array *hadithArray(const json::Value &root)
{
    if (const json::Array *list = root.array())
        return list;
    if (const json::Value *inner = root.member("hadiths"))
        return inner->array();
    return nullptr;
}

} // namespace

ImportResult importHadiths(std::string_view input, const HadithFields &fields, const Progress &progress)
{
    ImportResult result;
    if (progress)
        progress(0, input.size());
    const json::ParseResult parsed = json::parse(input);
    if (!parsed.value) {
        result.error = "not valid JSON: " + parsed.error;
        return result;
    }
    const json::Array *hadiths = hadithArray(*parsed.value);
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
        const json::Value &hadith = (*hadiths)[i];
        const std::string where = "hadith " + std::to_string(i + 1);
        if (!hadith.object()) {
            result = {};
            result.error = where + " is not an object";
            return result;
        }
        const json::Value *text = hadith.path(fields.text);
        if (!text || !text->isString()) {
            result = {};
            result.error = where + " has no text member \"" + fields.text + "\"";
            return result;
        }
        std::string record = *text->string();
        if (record.find_first_not_of(" \t\r\n") == std::string::npos) {
            ++result.stats.skipped;
            continue;
        }
        if (!fields.narrator.empty())
            if (const json::Value *narrator = hadith.path(fields.narrator); narrator && narrator->string())
                record.insert(0, *narrator->string() + " ");
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
