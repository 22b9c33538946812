// A JSON reader for the texts the data import takes in: values as a tree, strings in UTF-8.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace velmora::json {

struct Value;
struct Member;
using Array = std::vector<Value>;
using Object = std::vector<Member>; // members in the order written

struct Value
{
    std::variant<std::nullptr_t, bool, double, std::string, Array, Object> data;

    bool isString() const { return std::holds_alternative<std::string>(data); }
    bool isNumber() const { return std::holds_alternative<double>(data); }
    const std::string *string() const { return std::get_if<std::string>(&data); }
    const Array *array() const { return std::get_if<Array>(&data); }
    const Object *object() const { return std::get_if<Object>(&data); }
    // The member of an object by name (the first of that name); nullptr when there is none.
    const Value *member(std::string_view name) const;
    // A member reached through names joined by ".": "english.text".
    const Value *path(std::string_view dottedPath) const;
};

struct Member
{
    std::string name;
    Value value;
};

struct ParseResult
{
    std::optional<Value> value; // unset when the text is no JSON
    std::string error;          // what is wrong, and at which line and column
};

ParseResult parse(std::string_view text);

} // namespace velmora::json
