#include "options.h"

#include <getopt.h>

#include <algorithm>
#include <string_view>

namespace velmora::platform {

namespace {

// getopt_long gives the rule's letter for a short option and this plus the rule's index for a
// long one, above every letter.
constexpr int kFirstLongCode = 256;

std::string shortOptionsOf(const std::vector<OptionRule> &rules)
{
    std::string out = ":"; // a missing value comes back as ':', apart from an unknown option
    for (const auto &rule : rules) {
        if (!rule.letter)
            continue;
        out += rule.letter;
        if (rule.value == OptionRule::Value::Required)
            out += ':';
        else if (rule.value == OptionRule::Value::Optional)
            out += "::";
    }
    return out;
}

std::vector<option> longOptionsOf(const std::vector<OptionRule> &rules)
{
    std::vector<option> out;
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const int has = rules[i].value == OptionRule::Value::None       ? no_argument
                        : rules[i].value == OptionRule::Value::Required ? required_argument
                                                                        : optional_argument;
        out.push_back({rules[i].name, has, nullptr, kFirstLongCode + static_cast<int>(i)});
    }
    out.push_back({nullptr, 0, nullptr, 0});
    return out;
}

// The rule getopt_long's code stands for; nullptr for none.
const OptionRule *ruleOf(const std::vector<OptionRule> &rules, int code)
{
    if (code >= kFirstLongCode && code - kFirstLongCode < static_cast<int>(rules.size()))
        return &rules[static_cast<std::size_t>(code - kFirstLongCode)];
    for (const auto &rule : rules)
        if (rule.letter && rule.letter == code)
            return &rule;
    return nullptr;
}

// Why a long option getopt_long refused is not one: a shortened name can stand for several.
std::string unknownLong(const std::vector<OptionRule> &rules, std::string_view written)
{
    const std::string_view name = written.substr(2, written.find('=') - 2);
    const auto stands = std::count_if(rules.begin(), rules.end(), [name](const OptionRule &rule) {
        return std::string_view(rule.name).starts_with(name);
    });
    return (stands > 1 ? "ambiguous option '" : "unknown option '") + std::string(written) + "'";
}

// How the reader wrote the option: --name when it was long, -l when it was short.
std::string spelled(const OptionRule &rule, int code)
{
    return code >= kFirstLongCode ? std::string("--") + rule.name : std::string("-") + rule.letter;
}

} // namespace

OptionRule flagRule(const char *name, char letter, bool &flag)
{
    return {name, letter, OptionRule::Value::None, "", [&flag](const char *) {
                flag = true;
                return std::string();
            }};
}

ReadArguments readOptions(const std::vector<std::string> &args, const std::vector<OptionRule> &rules)
{
    std::vector<std::string> copies{"program"};
    copies.insert(copies.end(), args.begin(), args.end());
    std::vector<char *> argv;
    argv.reserve(copies.size() + 1);
    for (auto &copy : copies)
        argv.push_back(copy.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(copies.size());
    const std::string shortOptions = shortOptionsOf(rules);
    const std::vector<option> longOptions = longOptionsOf(rules);

    ReadArguments out;
    opterr = 0; // the refusals are told by the program, in its words
    optind = 0; // from the start, whatever an earlier reading left
    int code = 0;
    while (out.error.empty() &&
           (code = getopt_long(argc, argv.data(), shortOptions.c_str(), longOptions.data(), nullptr)) != -1) {
        const OptionRule *rule = ruleOf(rules, code == ':' || code == '?' ? optopt : code);
        if (code == ':' && rule)
            out.error = "option '" + spelled(*rule, optopt) + "' requires " + rule->valueName;
        else if (code == '?' && rule)
            out.error = "option '" + spelled(*rule, optopt) + "' takes no value";
        else if (code == '?' && optopt > 0 && optopt < kFirstLongCode)
            out.error = std::string("unknown option '-") + static_cast<char>(optopt) + "'";
        else if (code == '?' || !rule)
            out.error = unknownLong(rules, argv[static_cast<std::size_t>(optind - 1)]);
        else
            out.error = rule->take(optarg);
    }
    if (out.error.empty())
        for (int i = optind; i < argc; ++i)
            out.operands.emplace_back(argv[static_cast<std::size_t>(i)]);
    return out;
}

} // namespace velmora::platform
