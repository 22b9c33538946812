// velmora-search: the program's search engine from a terminal.
//   velmora-search [--data DIR] SOURCE QUERY
// prints every hit, one per line as the result list holds it, then the final count text.

#include "search/engine.h"
#include "platform/paths.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

void usage()
{
    std::cerr << "usage: velmora-search [--data DIR] SOURCE QUERY\n"
                 "SOURCE is a source index 0-8 or a name:";
    for (const auto &s : velmora::searchSources())
        std::cerr << " \"" << s.caption << "\"";
    std::cerr << "\nQUERY is one or more words (every hit holds all of them) or 'a phrase'.\n"
                 "DIR is the folder of the data files (default: the program's folder).\n";
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string folder = velmora::platform::programFolder();
    if (args.size() >= 2 && args[0] == "--data") {
        folder = args[1];
        if (!folder.empty() && folder.back() != '/' && folder.back() != '\\')
            folder.push_back(velmora::platform::separator());
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.size() < 2 || args[0] == "--help" || args[0] == "-h") {
        usage();
        return args.empty() || args[0] == "--help" || args[0] == "-h" ? 0 : 2;
    }
    const int source = velmora::sourceIndexFor(args[0]);
    if (source < 0) {
        std::cerr << "velmora-search: unknown source '" << args[0] << "'\n";
        usage();
        return 2;
    }
    std::string query = args[1];
    for (std::size_t i = 2; i < args.size(); ++i)
        query += ' ' + args[i];

    velmora::SearchWords words;
    const auto outcome = velmora::RunQuery(folder, source, query, words);
    if (!outcome.problem.empty())
        std::cerr << "velmora-search: " << outcome.problem << '\n';
    std::string out;
    for (const auto &entry : outcome.entries)
        out.append(entry).push_back('\n');
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::cout << outcome.countText.value_or("") << '\n';
    return outcome.problem.empty() ? 0 : 1;
}
