#include "plugins/kit/code_record.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace zaprelay::dcd {
namespace {

TEST(CodeRecordFill, PutsZeroTerminatedTextAtItsOffsetAndClearsTheRest) {
    TCodeRecord record;
    record.fill(0x5A);
    FillCodeRecord(record, "VIRTUAL OK");
    EXPECT_TRUE(std::all_of(record.begin(), record.begin() + kCodeTextOffset, [](uint8_t b) { return b == 0; }));
    EXPECT_STREQ(reinterpret_cast<const char*>(record.data() + kCodeTextOffset), "VIRTUAL OK");
    EXPECT_TRUE(std::all_of(record.begin() + kCodeTextOffset + 10, record.end(), [](uint8_t b) { return b == 0; }));

    FillCodeRecord(record, std::string(500, 'x'));
    EXPECT_EQ(record[kCodeRecordSize - 2], 'x');
    EXPECT_EQ(record[kCodeRecordSize - 1], 0) << "a long text is cut and still terminated";
}

}  // namespace
}  // namespace zaprelay::dcd
