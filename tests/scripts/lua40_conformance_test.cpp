// Every program in tests/lua40/ runs as the start-up script of the real binary;
// stdout and stderr must be exactly those of Lua 4.0.1 (NAME.out, NAME.err). A
// program ending in an error carries "-- runs on" and is stopped after a while.
#include "vondRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

const std::string kCaseDir = std::string(VOND_SOURCE_DIR) + "/tests/lua40/";

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "missing " << path;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> caseNames() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(kCaseDir))
        if (entry.path().extension() == ".lua") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class Lua40Conformance : public ::testing::TestWithParam<std::string> {};

TEST_P(Lua40Conformance, OutputAndErrorsMatchLua401) {
    const std::string source = readText(kCaseDir + GetParam() + ".lua");
    const bool runsOn = source.find("\n-- runs on\n") != std::string::npos;
    GameDir game;
    game.monkey(source);
    GameRun r = game.run(runsOn ? 3 : 20);
    EXPECT_EQ(r.timedOut, runsOn);
    EXPECT_TRUE(runsOn || r.status == 0) << r.status;
    EXPECT_EQ(r.out, readText(kCaseDir + GetParam() + ".out"));
    EXPECT_EQ(r.err, readText(kCaseDir + GetParam() + ".err"));
}

INSTANTIATE_TEST_SUITE_P(Programs, Lua40Conformance, ::testing::ValuesIn(caseNames()),
                         [](const auto& info) { return info.param; });

TEST(Lua40Conformance, ProgramsAreFound) {
    EXPECT_GE(caseNames().size(), 10u);
}

} // namespace
