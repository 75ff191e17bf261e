#include "stateMachine/NameArray.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> sectionsOf(const NameArray& name) {
    std::vector<std::string> sections;
    for (int32_t i = 0; i < name.lengthOf(); ++i)
        sections.push_back(name.getSection(i));
    return sections;
}

using Sections = std::vector<std::string>;

TEST(NameArrayCutting, DottedNameGivesItsSectionsInOrder) {
    EXPECT_EQ(sectionsOf(NameArray("quest.door.lock")), (Sections{"quest", "door", "lock"}));
    EXPECT_EQ(sectionsOf(NameArray(std::string("quest.door"))), (Sections{"quest", "door"}));
}

TEST(NameArrayCutting, NameWithoutSeparatorIsItsOnlySection) {
    EXPECT_EQ(sectionsOf(NameArray("quest")), (Sections{"quest"}));
}

TEST(NameArrayCutting, EmptyNameIsOneEmptySection) {
    NameArray name("");
    EXPECT_EQ(name.lengthOf(), 1);
    EXPECT_EQ(name.getSection(0), "");
}

TEST(NameArrayCutting, SeparatorsAtEdgesAndInRowsGiveEmptySections) {
    EXPECT_EQ(sectionsOf(NameArray("a..b")), (Sections{"a", "", "b"}));
    EXPECT_EQ(sectionsOf(NameArray(".a")), (Sections{"", "a"}));
    EXPECT_EQ(sectionsOf(NameArray("a.")), (Sections{"a", ""}));
    EXPECT_EQ(sectionsOf(NameArray(".")), (Sections{"", ""}));
}

TEST(NameArrayCutting, OtherCharactersStayInsideTheirSections) {
    EXPECT_EQ(sectionsOf(NameArray(" a-b :c. d\te=f")), (Sections{" a-b :c", " d\te=f"}));
}

TEST(NameArrayCutting, JoiningSectionsGivesTheNameBack) {
    for (const std::string original : {"x", "..", "a.b.c", ".lead", "trail.", "", "a..b.c."}) {
        NameArray name(original);
        std::string joined = name.getSection(0);
        for (int32_t i = 1; i < name.lengthOf(); ++i)
            joined += "." + name.getSection(i);
        EXPECT_EQ(joined, original);
    }
}

} // namespace
