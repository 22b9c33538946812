#include "translate.h"

namespace velmora {

int selectionCode(const std::array<bool, 4> &ticked)
{
    constexpr std::array<int, 4> weights = {2, 4, 8, 16};
    int code = 0;
    for (std::size_t i = 0; i < ticked.size(); ++i)
        if (ticked[i])
            code += weights[i];
    return code;
}

std::vector<std::string> filesForCode(int code)
{
    std::vector<std::string> files;
    if (code & 8)
        files.emplace_back("TRNSLIT.TXT");
    if (code & 2)
        files.emplace_back("PIKTHL.txt");
    if (code & 4)
        files.emplace_back("YSFALI.txt");
    if (code & 16)
        files.emplace_back(files.empty() ? "SHAKIR.TXT" : "SHAKIR.txt");
    return files;
}

} // namespace velmora
