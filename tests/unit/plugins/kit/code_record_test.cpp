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

    // A code as long as the field fills it whole: the program reads to the end of the record,
    // so the code arrives as it is instead of one byte short.
    const std::string full(kCodeTextSize, 'x');
    FillCodeRecord(record, full);
    EXPECT_EQ(std::string(record.begin() + kCodeTextOffset, record.end()), full);
    FillCodeRecord(record, "short");
    EXPECT_EQ(record[kCodeTextOffset + 5], 0) << "a shorter code after it is terminated";
    EXPECT_EQ(record[kCodeRecordSize - 1], 0) << "and nothing of the longer one is left";
}

}  // namespace
}  // namespace zaprelay::dcd
