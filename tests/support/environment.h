// Environment variables set or unset for one test, and put back as they were when it ends.
#pragma once

#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#ifdef _WIN32
#include <windows.h>
#endif

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

    // Values in UTF-8.
    void set(const std::string &name, const std::optional<std::string> &value)
    {
        if (!saved_.contains(name))
            saved_[name] = get(name);
        put(name, value);
    }

private:
#ifdef _WIN32
    // The wide environment, which the program reads, holds what no code page does.
    static std::wstring wide(const std::string &utf8)
    {
        std::wstring out(utf8.size(), L'\0');
        out.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(),
                                                                static_cast<int>(utf8.size()), out.data(),
                                                                static_cast<int>(out.size()))));
        return out;
    }

    static std::optional<std::string> get(const std::string &name)
    {
        const wchar_t *old = _wgetenv(wide(name).c_str());
        if (!old)
            return std::nullopt;
        const int n = WideCharToMultiByte(CP_UTF8, 0, old, -1, nullptr, 0, nullptr, nullptr);
        std::string out(static_cast<std::size_t>(n > 0 ? n : 1), '\0');
        WideCharToMultiByte(CP_UTF8, 0, old, -1, out.data(), n, nullptr, nullptr);
        out.pop_back(); // the terminating NUL
        return out;
    }
#else
    static std::optional<std::string> get(const std::string &name)
    {
        const char *old = std::getenv(name.c_str());
        return old ? std::optional<std::string>(old) : std::nullopt;
    }
#endif

    static void put(const std::string &name, const std::optional<std::string> &value)
    {
#ifdef _WIN32
        // An empty value removes the variable.
        _wputenv_s(wide(name).c_str(), wide(value.value_or("")).c_str());
#else
        value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
#endif
    }

    std::map<std::string, std::optional<std::string>> saved_;
};

} // namespace velmora::test
