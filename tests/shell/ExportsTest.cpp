// The library's dynamic symbol table holds its two entries and nothing else.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

#include "tests/shell/PluginPath.h"

using namespace ka813::test;

namespace {

std::set<std::string> definedDynamicSymbols(const std::string& path)
{
    std::set<std::string> names;
    std::string command = "nm -D --defined-only '" + path + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return names;
    char line[1024];
    while (fgets(line, sizeof line, pipe)) {
        // "<address> <type> <name>"
        std::istringstream fields(line);
        std::string address, type, name;
        if (fields >> address >> type >> name)
            names.insert(name);
        else
            names.insert("unparsed: " + std::string(line));
    }
    EXPECT_EQ(pclose(pipe), 0);
    return names;
}

TEST(Exports, OnlyTheTwoEntryPoints)
{
    // The C runtime forces no symbol of its own into the table: the version
    // script keeps the start-up and tear-down hooks local.
    const std::set<std::string> expected = {"VSTPluginMain", "main"};
    EXPECT_EQ(definedDynamicSymbols(pluginPath()), expected);
}

}  // namespace
