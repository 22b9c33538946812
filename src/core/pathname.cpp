#include "pathname.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace velmora {

#ifdef _WIN32
fs::path pathFromUtf8(std::string_view utf8)
{
    try {
        return fs::path(std::u8string_view(reinterpret_cast<const char8_t *>(utf8.data()), utf8.size()));
    } catch (const std::exception &) {
        std::wstring wide(utf8.size(), L'\0');
        std::transform(utf8.begin(), utf8.end(), wide.begin(),
                       [](char c) { return static_cast<wchar_t>(static_cast<unsigned char>(c)); });
        return fs::path(std::move(wide));
    }
}

std::string utf8Of(const fs::path &path)
{
    try {
        const std::u8string spelt = path.u8string();
        return std::string(spelt.begin(), spelt.end());
    } catch (const std::exception &) {
        std::wstring wide = path.native();
        std::replace_if(
            wide.begin(), wide.end(), [](wchar_t c) { return c >= 0xD800 && c <= 0xDFFF; }, L'?');
        const std::u8string spelt = fs::path(std::move(wide)).u8string();
        return std::string(spelt.begin(), spelt.end());
    }
}
#else
fs::path pathFromUtf8(std::string_view utf8)
{
    return fs::path(utf8.begin(), utf8.end());
}

std::string utf8Of(const fs::path &path)
{
    return path.native();
}
#endif

std::string utf8NameOf(const fs::path &path)
{
    return utf8Of(path.filename());
}

} // namespace velmora
