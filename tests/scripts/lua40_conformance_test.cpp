// Lua 4.0 conformance: every program in tests/lua40/ runs as the start-up
// script of the real binary, and its standard output and standard error must
// be exactly those of Lua 4.0.1 (NAME.out, NAME.err beside NAME.lua). A
// program that ends in an error does not reach its exit(0); it carries the
// line "-- runs on" and the game is stopped after a short time.
#include "vondRun.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

const std::string kCaseDir = std::string(VOND_SOURCE_DIR) + "/tests/lua40/";

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> caseNames() {
    std::vector<std::string> names;
    if (DIR* d = opendir(kCaseDir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string name = e->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".lua") == 0)
                names.push_back(name.substr(0, name.size() - 4));
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class Lua40Conformance : public ::testing::TestWithParam<std::string> {};

TEST_P(Lua40Conformance, OutputAndErrorsMatchLua401) {
    const std::string name = GetParam();
    const std::string source = readText(kCaseDir + name + ".lua");
    const bool runsOn = source.find("\n-- runs on\n") != std::string::npos;
    ASSERT_TRUE(std::ifstream(kCaseDir + name + ".out").good()) << "no " << name << ".out";
    ASSERT_TRUE(std::ifstream(kCaseDir + name + ".err").good()) << "no " << name << ".err";
    GameDir game;
    game.monkey(source);
    GameRun r = game.run(runsOn ? 3 : 20);
    EXPECT_EQ(r.timedOut, runsOn);
    if (!runsOn) EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, readText(kCaseDir + name + ".out"));
    EXPECT_EQ(r.err, readText(kCaseDir + name + ".err"));
}

INSTANTIATE_TEST_SUITE_P(Programs, Lua40Conformance, ::testing::ValuesIn(caseNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param;
                         });

TEST(Lua40Conformance, ProgramsAreFound) { EXPECT_GE(caseNames().size(), 10u); }

} // namespace
