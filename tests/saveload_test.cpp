#include "saveload/saveload.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// A fresh directory per test, removed afterwards.
class SaveLoadFile : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/saveload_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        file = std::string(pattern) + "/save.txt";
    }
    void TearDown() override {
        std::system(("rm -rf '" + file.substr(0, file.rfind('/')) + "'").c_str());
    }

    void write(const std::string& bytes) const { std::ofstream(file, std::ios::binary) << bytes; }
    std::string read() const {
        std::ostringstream bytes;
        bytes << std::ifstream(file, std::ios::binary).rdbuf();
        return bytes.str();
    }
    size_t filesInFolder() const {
        size_t count = 0;
        if (DIR* dir = ::opendir(file.substr(0, file.rfind('/')).c_str())) {
            while (dirent* entry = ::readdir(dir))
                count += entry->d_name[0] != '.';
            ::closedir(dir);
        }
        return count;
    }
    std::string file;
};

// Lines split at their first "=", CR LF reads like LF, empty lines are pairs
// and the last line needs no line end.
TEST_F(SaveLoadFile, ReadsLinesAsPairs) {
    const std::pair<std::string, std::string> cases[] = {
        // bytes, then "key|value;" per pair
        {"x=y=z\n=v\nk=\nplain\n", "x|y=z;|v;k|;plain|plain;"},
        {"a=1\r\nb=2\r\nc=x\ry\r\n", "a|1;b|2;c|x\ry;"},
        {"a=1\n\nb=2\n", "a|1;|;b|2;"},
        {"a=1\nb=2", "a|1;b|2;"},
        {"a=1\r\nb=2\r", "a|1;b|2\r;"}, // a CR ends a line only before its LF
        {"", ""}};
    for (const auto& [bytes, expected] : cases) {
        write(bytes);
        SaveLoad store;
        EXPECT_TRUE(store.load(file));
        std::string pairs;
        for (int32_t i = 0; i < store.size(); ++i)
            pairs += store.getPair(i).key + "|" + store.getPair(i).pair + ";";
        EXPECT_EQ(pairs, expected) << bytes;
    }
    EXPECT_FALSE(SaveLoad().load(file + ".missing"));
}

// A pair that would read back differently is left out; the rest is saved.
TEST_F(SaveLoadFile, PairsThatCannotSurviveTheFormatAreLeftOut) {
    const std::vector<SaveLoadType> unsavable = {
        {"a=b", "v"}, {"a\nb", "v"}, {"k", "line\nother.node=x"}, {"k", "ends in cr\r"}};
    for (const SaveLoadType& bad : unsavable) {
        write("old=1\n");
        SaveLoad store;
        store.newSet("good", "1");
        store.newSet(bad.key, bad.pair);
        store.newSet("after", "2");
        EXPECT_FALSE(store.save(file)) << bad.key << "=" << bad.pair;
        EXPECT_EQ(read(), "good=1\nafter=2\n");
        EXPECT_EQ(filesInFolder(), 1u); // the save, and no temporary file left over
    }
}

} // namespace
