#include "saveload/saveload.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// A fresh directory per test, removed afterwards.
class SaveLoadFile : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/saveload_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

    std::string path(const std::string& name) const { return dir + "/" + name; }

    static void write(const std::string& file, const std::string& bytes) {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static std::string read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    static bool exists(const std::string& file) {
        struct stat info;
        return ::stat(file.c_str(), &info) == 0;
    }

    std::string dir;
};

std::vector<std::string> pairsOf(const SaveLoad& store) {
    std::vector<std::string> pairs;
    for (int32_t i = 0; i < store.size(); ++i)
        pairs.push_back(store.getPair(i).key + "|" + store.getPair(i).pair);
    return pairs;
}

using Pairs = std::vector<std::string>;

TEST(SaveLoadStore, RepeatedKeysAreKeptAndTheEarliestWins) {
    SaveLoad store;
    store.newSet("a", "1");
    store.newSet("a", "2");
    EXPECT_EQ(store.size(), 2);
    EXPECT_EQ(store.getPair("a"), "1");
    EXPECT_TRUE(store.doesExist("a"));
    EXPECT_EQ(pairsOf(store), (Pairs{"a|1", "a|2"}));
}

TEST(SaveLoadStore, IntegerValuesAreDecimalText) {
    SaveLoad store;
    store.newSet("neg", -12);
    store.newSet("zero", 0);
    store.newSet("min", INT32_MIN);
    EXPECT_EQ(pairsOf(store), (Pairs{"neg|-12", "zero|0", "min|-2147483648"}));
}

TEST(SaveLoadStore, MissingKeyGivesEmptyValueAndResetEmpties) {
    SaveLoad store;
    store.newSet("k", "v");
    EXPECT_EQ(store.getPair("K"), "");
    EXPECT_FALSE(store.doesExist("k "));
    store.reset();
    EXPECT_EQ(store.size(), 0);
    EXPECT_FALSE(store.doesExist("k"));
}

TEST_F(SaveLoadFile, LinesSplitAtTheFirstSeparator) {
    write(path("f"), "x=y=z\n=v\nk=\nplain\n");
    SaveLoad store;
    EXPECT_TRUE(store.load(path("f")));
    EXPECT_EQ(pairsOf(store), (Pairs{"x|y=z", "|v", "k|", "plain|plain"}));
}

TEST_F(SaveLoadFile, CrLfLineEndsReadLikeLf) {
    write(path("f"), "a=1\r\nb=2\r\nc=x\ry\r\n");
    SaveLoad store;
    store.load(path("f"));
    EXPECT_EQ(pairsOf(store), (Pairs{"a|1", "b|2", "c|x\ry"}));
}

TEST_F(SaveLoadFile, EmptyLinesArePairsButTheFinalLineEndIsNot) {
    write(path("f"), "a=1\n\nb=2\n");
    SaveLoad store;
    store.load(path("f"));
    EXPECT_EQ(pairsOf(store), (Pairs{"a|1", "|", "b|2"}));
}

TEST_F(SaveLoadFile, LastLineWithoutLineEndStillLoads) {
    write(path("f"), "a=1\nb=2");
    SaveLoad store;
    store.load(path("f"));
    EXPECT_EQ(pairsOf(store), (Pairs{"a|1", "b|2"}));
}

TEST_F(SaveLoadFile, EmptyFileLoadsNothing) {
    write(path("f"), "");
    SaveLoad store;
    EXPECT_TRUE(store.load(path("f")));
    EXPECT_EQ(store.size(), 0);
}

TEST_F(SaveLoadFile, LoadingAppendsAndAMissingFileAddsNothing) {
    write(path("f"), "b=2\n");
    SaveLoad store;
    store.newSet("a", "1");
    store.load(path("f"));
    EXPECT_FALSE(store.load(path("missing")));
    EXPECT_EQ(pairsOf(store), (Pairs{"a|1", "b|2"}));
}

TEST_F(SaveLoadFile, SaveWritesOneLinePerPairAndLoadsBackTheSame) {
    SaveLoad store;
    store.newSet("house.door", "open");
    store.newSet("house.door.0.isOneShot", 1);
    store.newSet("", "");
    store.newSet("v", "a=b\rc ");
    EXPECT_TRUE(store.save(path("save.txt")));
    EXPECT_EQ(read(path("save.txt")), "house.door=open\nhouse.door.0.isOneShot=1\n=\nv=a=b\rc \n");
    EXPECT_FALSE(exists(path("save.txt.tmp")));
    SaveLoad back;
    back.load(path("save.txt"));
    EXPECT_EQ(pairsOf(back), pairsOf(store));
}

TEST_F(SaveLoadFile, PairsThatCannotSurviveTheFormatRefuseTheSave) {
    const std::vector<SaveLoadType> unsavable = {
        {"a=b", "v"}, {"a\nb", "v"}, {"k", "line\nother.node=x"}, {"k", "ends in cr\r"}};
    for (const SaveLoadType& bad : unsavable) {
        write(path("save.txt"), "old=1\n");
        SaveLoad store;
        store.newSet("good", "1");
        store.newSet(bad.key, bad.pair);
        EXPECT_FALSE(store.save(path("save.txt"))) << bad.key << "=" << bad.pair;
        EXPECT_EQ(read(path("save.txt")), "old=1\n");
        EXPECT_FALSE(exists(path("save.txt.tmp")));
    }
}

TEST_F(SaveLoadFile, FailedWriteLeavesThePreviousSave) {
    write(path("save.txt"), "old=1\n");
    SaveLoad store;
    store.newSet("new", "2");

    // The temporary file cannot be created.
    ASSERT_EQ(::mkdir(path("save.txt.tmp").c_str(), 0700), 0);
    EXPECT_FALSE(store.save(path("save.txt")));
    EXPECT_EQ(read(path("save.txt")), "old=1\n");
    ASSERT_EQ(::rmdir(path("save.txt.tmp").c_str()), 0);

    // The disk is full: every write fails.
    ASSERT_EQ(::symlink("/dev/full", path("save.txt.tmp").c_str()), 0);
    EXPECT_FALSE(store.save(path("save.txt")));
    EXPECT_EQ(read(path("save.txt")), "old=1\n");
    EXPECT_FALSE(exists(path("save.txt.tmp")));

    // The directory does not exist.
    EXPECT_FALSE(store.save(path("nowhere/save.txt")));
}

// The saving process is killed as soon as a partly written file shows on disk.
TEST_F(SaveLoadFile, ProcessKilledWhileSavingLeavesOldOrNewFileWhole) {
    const std::string oldBytes = "old=1\n";
    SaveLoad store;
    for (int32_t i = 0; i < 200000; ++i)
        store.newSet("network.node" + std::to_string(i), i);
    ASSERT_TRUE(store.save(path("new.txt")));
    const off_t newSize = static_cast<off_t>(read(path("new.txt")).size());
    const auto sizeOf = [](const std::string& file) -> off_t {
        struct stat info;
        return ::stat(file.c_str(), &info) == 0 ? info.st_size : -1;
    };

    int killedMidWrite = 0;
    for (int attempt = 0; attempt < 10 && killedMidWrite < 3; ++attempt) {
        write(path("save.txt"), oldBytes);
        ::unlink(path("save.txt.tmp").c_str());
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) _exit(store.save(path("save.txt")) ? 0 : 1);
        int status = 0;
        while (::waitpid(child, &status, WNOHANG) == 0) {
            const off_t tmp = sizeOf(path("save.txt.tmp"));
            const off_t target = sizeOf(path("save.txt"));
            const bool partTmp = tmp > 0 && tmp < newSize;
            const bool partTarget =
                target != static_cast<off_t>(oldBytes.size()) && target != newSize;
            if (partTmp || partTarget) {
                ::kill(child, SIGKILL);
                ::waitpid(child, &status, 0);
                ++killedMidWrite;
                break;
            }
        }
        const std::string after = read(path("save.txt"));
        EXPECT_TRUE(after == oldBytes || after.size() == static_cast<size_t>(newSize))
            << "attempt " << attempt << ": " << after.size() << " bytes";
    }
    EXPECT_GT(killedMidWrite, 0) << "no save was caught while writing";
}

} // namespace
