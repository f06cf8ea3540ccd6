#include "app/bridge/code_table.h"

#include "tests/unit/app/fake_settings_store.h"

#include <gtest/gtest.h>
#include <string>

namespace zaprelay::bridge {
namespace {

using fakes::TFakeSettingsStore;

class CodeTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        // "A" in rows 1 and 3, "B" in row 2, "a" (lower case) in row 4, row 5 left empty.
        const char* codes[] = {"Z", "A", "B", "A", "a"};
        for (int row = 0; row < 5; ++row) {
            store.Values[{"EZ", std::to_string(row)}] = codes[row];
        }
    }

    TFakeSettingsStore store;
    TCodeTable table{store};
};

TEST_F(CodeTableTest, FindsFirstAndLastExactMatch) {
    struct Case {
        const char* Code;
        int First;
        int Last;
    };
    const Case cases[] = {{"A", 1, 3}, {"B", 2, 2}, {"a", 4, 4}, {"A ", -1, -1}, {"b", -1, -1}, {"", 5, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Code);
        EXPECT_EQ(table.FindFirst("EZ", 6, c.Code), c.First);
        EXPECT_EQ(table.FindLast("EZ", 6, c.Code), c.Last);
    }
}

TEST_F(CodeTableTest, LooksOnlyAtTheRowsAsked) {
    EXPECT_EQ(table.FindLast("EZ", 3, "A"), 1);
    EXPECT_EQ(table.FindFirst("EZ", 1, "A"), -1);
    EXPECT_EQ(table.FindFirst("EZ", 0, "Z"), -1);
    EXPECT_EQ(table.FindFirst("EZ", 5, "A"), 1);  // grows after a shorter look
    EXPECT_EQ(table.Code("EZ", -1), "");
}

TEST_F(CodeTableTest, UnchangedVersionReadsEachRowOnce) {
    table.FindFirst("EZ", 5, "B");
    EXPECT_EQ(store.Reads, 5);
    table.FindLast("EZ", 5, "A");
    table.FindFirst("EZ", 3, "A");
    EXPECT_EQ(table.Code("EZ", 4), "a");
    EXPECT_EQ(store.Reads, 5);

    table.FindFirst("EZ", 7, "A");
    EXPECT_EQ(store.Reads, 7);  // only the two new rows
}

TEST_F(CodeTableTest, SeesCodeWrittenByHandAtNextLookup) {
    EXPECT_EQ(table.FindFirst("EZ", 5, "New"), -1);
    store.EditByHand("EZ", "0", "New");
    EXPECT_EQ(table.FindFirst("EZ", 5, "New"), 0);
    EXPECT_EQ(table.FindFirst("EZ", 5, "Z"), -1);
}

TEST_F(CodeTableTest, SeesCodeWrittenThroughStore) {
    EXPECT_EQ(table.Code("EZ", 2), "B");
    store.WriteString("EZ", "2", "");
    EXPECT_EQ(table.Code("EZ", 2), "");
    EXPECT_EQ(table.FindFirst("EZ", 5, "B"), -1);
}

TEST_F(CodeTableTest, SectionsAreSeparate) {
    store.Values[{"PR", "0"}] = "A";
    EXPECT_EQ(table.FindFirst("EZ", 5, "A"), 1);
    EXPECT_EQ(table.FindFirst("PR", 5, "A"), 0);
    EXPECT_EQ(table.FindFirst("PR", 5, "B"), -1);
    EXPECT_EQ(table.FindFirst("EZ", 5, "B"), 2);
    EXPECT_EQ(store.Reads, 15);  // each change of section reads afresh
}

}  // namespace
}  // namespace zaprelay::bridge
