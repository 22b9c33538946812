// Environment variables set or unset for one test, and put back as they were when it ends.
#pragma once

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace velmora::test {

class Environment
{
public:
    Environment() = default;
    Environment(const Environment &) = delete;
    Environment &operator=(const Environment &) = delete;
    ~Environment()
    {
        for (const auto &[name, value] : saved_)
            put(name, value);
    }

    void set(const std::string &name, const std::optional<std::string> &value)
    {
        if (!saved_.contains(name)) {
            const char *old = std::getenv(name.c_str());
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        put(name, value);
    }

private:
    static void put(const std::string &name, const std::optional<std::string> &value)
    {
#ifdef _WIN32
        // An empty value removes the variable.
        _putenv_s(name.c_str(), value.value_or("").c_str());
#else
        value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
#endif
    }

    std::map<std::string, std::optional<std::string>> saved_;
};

} // namespace velmora::test
