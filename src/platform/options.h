// Command lines read as the GNU tools read theirs, with the C library's getopt_long: short options
// together (-cn), a value joined or apart (-m1, -m 1, --max-count=1, --max-count 1), options among
// the operands, "--" ending them, and long names shortened while they stay unambiguous.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace velmora::platform {

struct OptionRule
{
    enum class Value
    {
        None,
        Required,
        Optional
    };
    const char *name; // the long name, without "--"
    char letter = 0;  // the short name, 0 when there is none
    Value value = Value::None;
    const char *valueName = "a value"; // what a missing value is told as: "a folder", "a number"
    // Takes the option and its value (nullptr when it has none); a message refuses it.
    std::function<std::string(const char *value)> take;
};

// A rule for an option that only sets a flag.
OptionRule flagRule(const char *name, char letter, bool &flag);

struct ReadArguments
{
    std::vector<std::string> operands;
    std::string error; // why the command line is refused; "" when it is not
};

// Reads the arguments (the program's name left out), each option through its rule, in their order;
// stops at the first refusal.
ReadArguments readOptions(const std::vector<std::string> &args, const std::vector<OptionRule> &rules);

} // namespace velmora::platform
