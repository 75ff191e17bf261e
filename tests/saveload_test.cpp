#include "saveload/saveload.h"

#include "vondRun.h"

namespace {

// A fresh directory per test for save.txt.
class SaveLoadFile : public ::testing::Test {
  protected:
    GameDir dir;
    const std::string file = dir.file("save.txt");
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
        dir.write("save.txt", bytes);
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
        dir.write("save.txt", "old=1\n");
        SaveLoad store;
        store.newSet("good", "1");
        store.newSet(bad.key, bad.pair);
        store.newSet("after", "2");
        EXPECT_FALSE(store.save(file)) << bad.key << "=" << bad.pair;
        EXPECT_EQ(dir.read("save.txt"), "good=1\nafter=2\n");
        // The save, and no temporary file left over.
        EXPECT_EQ(dir.entries(), (std::set<std::string>{"save.txt", "scripts"}));
    }
}

} // namespace
