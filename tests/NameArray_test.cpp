#include "stateMachine/NameArray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// Every separator cuts, so empty sections appear at the ends and between
// repeated separators.
TEST(NameArray, CutsAtEverySeparatorKeepingEmptySections) {
    // clang-format off
    const std::pair<std::string, std::string> cases[] = { // name, sections joined by "|"
        {"quest.door.lock", "quest|door|lock"}, {"quest", "quest"}, {"", ""}, {"a..b", "a||b"},
        {".a", "|a"}, {"a.", "a|"}, {".", "|"}, {" a-b :c. d\te=f", " a-b :c| d\te=f"},
        {"a.b.c.d.e.f.g.h.i.a-section-longer-than-15", "a|b|c|d|e|f|g|h|i|a-section-longer-than-15"}};
    // clang-format on
    for (const auto& [text, expected] : cases) {
        NameArray name(text);
        ASSERT_EQ(name.lengthOf(), 1 + std::count(expected.begin(), expected.end(), '|')) << text;
        std::string sections = name.getSection(0);
        for (int32_t i = 1; i < name.lengthOf(); ++i)
            sections += "|" + name.getSection(i);
        EXPECT_EQ(sections, expected) << text;
    }
}

} // namespace
