#include "plugins/scripted/code_script.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zaprelay::scripted {
namespace {

std::string FieldText(const CodeRecord& record) {
    return std::string(reinterpret_cast<const char*>(record.data() + kCodeTextOffset), kCodeTextSize);
}

TEST(CodeScript, ReadsCodesRepeatsDelaysAndOptions) {
    CodeScript script = ParseCodeScript(
        "# a comment\r\n"
        "\r\n"
        "FullScreen 0 100\r\n"
        "  \"Vol Up\"\t3 0\n"
        "\"\" 0 5\n"
        "Held -1 0\n"
        "Long 2147483647 600000 fill");

    EXPECT_TRUE(script.Errors.empty()) << script.Errors.front();
    ASSERT_EQ(script.Codes.size(), 5u);
    EXPECT_EQ(script.Codes[0].Text, "FullScreen");
    EXPECT_EQ(script.Codes[0].RepeatCount, 0);
    EXPECT_EQ(script.Codes[0].DelayMs, 100u);
    EXPECT_EQ(script.Codes[1].Text, "Vol Up");
    EXPECT_EQ(script.Codes[1].RepeatCount, 3);
    EXPECT_EQ(script.Codes[2].Text, "");
    EXPECT_EQ(script.Codes[3].RepeatCount, -1);
    EXPECT_EQ(script.Codes[4].RepeatCount, 2147483647);
    EXPECT_EQ(script.Codes[4].DelayMs, 600000u);
    EXPECT_TRUE(script.Codes[4].FillField);
    EXPECT_FALSE(script.Codes[0].FillField);
}

TEST(CodeScript, SkipsBadLinesAndNamesEach) {
    const std::string longCode(kCodeTextSize, 'x');
    CodeScript script = ParseCodeScript(
        "\"open 0 0\n"        // 1: no closing quote
        "A x 0\n"             // 2: repeat not a number
        "A 2147483648 0\n"    // 3: repeat overflows
        "A 0 -1\n"            // 4: negative delay
        "A 0 600001\n"        // 5: delay too long
        "A 0 0 loud\n"        // 6: unknown option
        "A 0 0 fill extra\n"  // 7: trailing text
        "\"\" 0 0 fill\n"     // 8: empty fill
        + longCode +
        " 0 0\n"  // 9: too long without fill
        "A 0\n"   // 10: delay missing
        "Good 1 2\n");

    ASSERT_EQ(script.Codes.size(), 1u);
    EXPECT_EQ(script.Codes[0].Text, "Good");
    ASSERT_EQ(script.Errors.size(), 10u);
    for (std::size_t i = 0; i < script.Errors.size(); ++i) {
        EXPECT_EQ(script.Errors[i].rfind("line " + std::to_string(i + 1) + ": ", 0), 0u) << script.Errors[i];
    }
}

TEST(CodeScript, GateLinesHoldTheCodeAfterThemAndCodesNamedWaitStillRead) {
    CodeScript script = ParseCodeScript(
        "wait first\n"
        "  wait second.step-2_b\n"
        "A 0 0\n"
        "wait 0 0\n"      // three words: the code "wait"
        "\"wait\" 1 0\n"  // a quoted word is never a gate
        "wait last\n");

    EXPECT_TRUE(script.Errors.empty()) << script.Errors.front();
    ASSERT_EQ(script.Codes.size(), 3u);
    EXPECT_EQ(script.Codes[0].Text, "A");
    EXPECT_EQ(script.Codes[0].Gates, (std::vector<std::string>{"first", "second.step-2_b"}));
    EXPECT_EQ(script.Codes[1].Text, "wait");
    EXPECT_TRUE(script.Codes[1].Gates.empty());
    EXPECT_EQ(script.Codes[2].Text, "wait");
    EXPECT_EQ(script.Codes[2].RepeatCount, 1);
    EXPECT_EQ(script.TrailingGates, (std::vector<std::string>{"last"}));
}

TEST(CodeScript, BadGateLinesAreSkippedWithoutHoldingTheNextCode) {
    CodeScript script = ParseCodeScript(
        "wait\n"       // 1: no name
        "wait a\\b\n"  // 2: a separator would leave the event's scope
        "wait " +
        std::string(kMaxGateNameLength + 1, 'g') +
        "\n"  // 3: too long
        "wait " +
        std::string(kMaxGateNameLength, 'g') +
        "\n"
        "B 0 0\n");

    ASSERT_EQ(script.Errors.size(), 3u);
    for (std::size_t i = 0; i < script.Errors.size(); ++i) {
        EXPECT_EQ(script.Errors[i].rfind("line " + std::to_string(i + 1) + ": ", 0), 0u) << script.Errors[i];
    }
    ASSERT_EQ(script.Codes.size(), 1u);
    EXPECT_EQ(script.Codes[0].Gates, (std::vector<std::string>{std::string(kMaxGateNameLength, 'g')}));
    EXPECT_TRUE(script.TrailingGates.empty());
}

TEST(CodeScript, FaultLinesSetTheFaultsAndCodesNamedFaultStillRead) {
    CodeScript script = ParseCodeScript(
        "fault threads 0\n"           // 1: too few
        "fault threads 65\n"          // 2: too many
        "fault blocks-in-stop now\n"  // 3: trailing text
        "fault 0 0\n"
        "fault sends-after-stop\n"
        "fault threads 4\n");

    ASSERT_EQ(script.Errors.size(), 3u);
    EXPECT_EQ(script.Errors[2].rfind("line 3: ", 0), 0u) << script.Errors[2];
    EXPECT_TRUE(script.Faults.SendsAfterStop);
    EXPECT_FALSE(script.Faults.BlocksInStop);
    EXPECT_EQ(script.Faults.Threads, 4u);
    ASSERT_EQ(script.Codes.size(), 1u);
    EXPECT_EQ(script.Codes[0].Text, "fault");
}

TEST(CodeScript, CrashAndHangAreStepsHeldByTheirGates) {
    CodeScript script = ParseCodeScript("wait a\ncrash\n  hang \ncrash 0 0\nhang now\n");

    ASSERT_EQ(script.Codes.size(), 3u);
    EXPECT_EQ(script.Codes[0].Action, ScriptAction::Crash);
    EXPECT_EQ(script.Codes[0].Gates, std::vector<std::string>{"a"});
    EXPECT_EQ(script.Codes[1].Action, ScriptAction::Hang);
    EXPECT_EQ(script.Codes[2].Action, ScriptAction::Send) << "a code named crash";
    EXPECT_EQ(script.Codes[2].Text, "crash");
    EXPECT_EQ(script.Errors.size(), 1u) << "hang now";
}

TEST(CodeScript, GateEventsAreScopedByProcess) {
    EXPECT_EQ(GateEventName(1234, "go"), "zaprelay-dcd-1234-go");
    EXPECT_NE(GateEventName(1234, "go"), GateEventName(1235, "go"));
}

TEST(CodeRecord, HoldsZeroTerminatedTextFromByte64) {
    ScriptedCode code;
    code.Text = "Vol Up";
    CodeRecord record = MakeCodeRecord(code);

    EXPECT_EQ(FieldText(record).c_str(), std::string("Vol Up"));
    for (std::size_t i = 0; i < kCodeTextOffset; ++i) {
        ASSERT_NE(record[i], 0) << "filler byte " << i;  // a reader starting at byte 0 must not see text
    }
}

TEST(CodeRecord, LongestPlainCodeStillEndsInZero) {
    ScriptedCode code;
    code.Text = std::string(kCodeTextSize - 1, 'z');
    CodeRecord record = MakeCodeRecord(code);
    EXPECT_EQ(FieldText(record).c_str(), code.Text);
    EXPECT_EQ(record.back(), 0);
}

TEST(CodeRecord, FillRepeatsTextOverAllBytesWithoutZero) {
    ScriptedCode code;
    code.Text = "ABC";
    code.FillField = true;
    std::string field = FieldText(MakeCodeRecord(code));

    ASSERT_EQ(field.size(), 124u);
    EXPECT_EQ(field.find('\0'), std::string::npos);
    EXPECT_EQ(field.substr(0, 6), "ABCABC");
    EXPECT_EQ(field.substr(120), "ABCA");  // 124 = 41 * 3 + 1
}

}  // namespace
}  // namespace zaprelay::scripted
