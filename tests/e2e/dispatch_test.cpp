// Management mode: each received code starts the viewer with the command of the row it was
// learned for, exactly as the viewer sees its command line.
#include "tests/e2e/remote_windows.h"
#include "tests/e2e/zaprelay_fixture.h"

#include <gmock/gmock.h>

namespace zaprelay::e2e {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using Commands = std::vector<std::string>;

const std::vector<std::string> kMyTheatreNames = {"VolUp",
                                                  "VolDown",
                                                  "0",
                                                  "1",
                                                  "2",
                                                  "3",
                                                  "4",
                                                  "5",
                                                  "6",
                                                  "7",
                                                  "8",
                                                  "9",
                                                  "Power",
                                                  "ChannelOrFileList",
                                                  "EPG",
                                                  "FullScreen",
                                                  "LastSeen",
                                                  "NextNumChannel",
                                                  "PrevNumChannel",
                                                  "NextChannelOrUp",
                                                  "PrevChannelOrDown",
                                                  "VolDownOrLeft",
                                                  "VolUpOrRight",
                                                  "PlayOrSelect",
                                                  "Restart",
                                                  "Record",
                                                  "Mute",
                                                  "SwitchToLiveView",
                                                  "SwitchToPlay",
                                                  "Cancel",
                                                  "Tab",
                                                  "\"Start MyTheatre \"",
                                                  "ShutDown Windows"};

// The field of a "fill" code: the text repeated over all 124 bytes, without a terminator.
std::string Filled(const std::string& text) {
    std::string field;
    while (field.size() < 124) {
        field += text[field.size() % text.size()];
    }
    return field;
}

class DispatchTest : public ZaprelayTest {
protected:
    void ChooseViewer(HWND button, const char* stored) {
        Click(button);
        ASSERT_TRUE(WaitFor([&] { return Setting("Main", "Prog") == stored; }))
            << "Prog stayed " << Setting("Main", "Prog");
    }
};

TEST_F(DispatchTest, MyTheatreRowsSendRemoteCommandsAndRepeatsOnlyMoveTheVolume) {
    std::vector<std::string> names = kMyTheatreNames;
    names[5] = "";
    WriteSettings(IniSection("Main", {"Prog=EZ", "PathEZ=" + ViewerPath(), "PathPR=C:\\nowhere\\ProgDvb.exe"}) +
                  CommandSection("commandEZ", names) +
                  IniSection("EZ", {"0=VOLUP", "1=VOLDOWN", "2=TWICE", "5=NONAME", "7=TWICE", "10=" + Filled("ABCD"),
                                    "15=FULL", "20=HELD", "31=START"}));
    WriteScript(
        "wait full\nFULL 0 0\n"
        "wait start\nSTART 0 0\n"
        "wait twice\nTWICE 0 0\n"
        "wait volup-held\nVOLUP 1 0\n"
        "wait voldown-held\nVOLDOWN 7 0\n"
        "wait twice-held\nTWICE 1 0\n"
        "wait held\nHELD 1 0\n"
        "wait negative\nVOLUP -1 0\n"
        "wait empty\n\"\" 0 0\n"
        "wait fill\nABCD 0 0 fill\n"
        "wait unknown\nNOSUCH 0 0\n"
        "wait options\nFULL 0 0\n"
        "wait noname\nNONAME 0 0\n");
    ASSERT_NO_FATAL_FAILURE(Start());

    EXPECT_THAT(Step("full"), ElementsAre(" /remote FullScreen"));
    // An empty command line; under Wine the viewer sees its own quoted path instead.
    EXPECT_THAT(Step("start"), ElementsAre(::testing::AnyOf("", QuotedViewerPath())));
    EXPECT_THAT(Step("twice"), ElementsAre(" /remote 0")) << "a code learned twice acts for its first row";
    EXPECT_THAT(Step("volup-held"), ElementsAre(" /remote VolUp"));
    EXPECT_THAT(Step("voldown-held"), ElementsAre(" /remote VolDown"));
    EXPECT_THAT(Step("twice-held"), IsEmpty());
    EXPECT_THAT(Step("held"), IsEmpty());
    EXPECT_THAT(Step("negative"), IsEmpty());
    EXPECT_THAT(Step("empty"), IsEmpty()) << "the empty code matched a row without a code";
    EXPECT_THAT(Step("fill"), ElementsAre(" /remote 8"));
    EXPECT_THAT(Step("unknown"), IsEmpty());

    // Options mode never starts the viewer.
    Click(m_ui.Options);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(m_ui.ViewerGroup); }));
    EXPECT_THAT(Step("options"), IsEmpty());

    // The rows read from the settings file: row 5 has no name.
    ChooseViewer(m_ui.ProgDvb, "PR");
    ChooseViewer(m_ui.MyTheatre, "EZ");
    ASSERT_EQ(ListRows(m_ui.List).at(5), L"");
    Click(m_ui.Management);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowEnabled(m_ui.ViewerGroup); }));
    EXPECT_THAT(Step("noname"), ElementsAre(" /remote "));

    for (const std::string& exe : ViewerExes()) {
        EXPECT_EQ(exe, ViewerPath());
    }
    EXPECT_TRUE(Running());
    EXPECT_THAT(Calls(), ElementsAre(OpenCall(), "Start()"));
}

TEST_F(DispatchTest, ProgDvbRowsSendTheirNamesAndItsLastRowsAreOrdinary) {
    const std::vector<std::string> names = NumberedNames("Cmd", 48);
    WriteSettings(IniSection("Main", {"Prog=PR", "PathEZ=C:\\nowhere\\MyTheatre.exe", "PathPR=" + ViewerPath()}) +
                  CommandSection("commandPR", names) +
                  IniSection("PR", {"0=P0", "2=P2", "3=P3", "31=P31", "32=P32", "47=P47"}) +
                  IniSection("EZ", {"3=P3"}));
    WriteScript(
        "wait p3\nP3 0 0\n"
        "wait p31\nP31 0 0\n"
        "wait p32\nP32 0 0\n"
        "wait p47\nP47 0 0\n"
        "wait p0-held\nP0 2 0\n"
        "wait p2-held\nP2 1 0\n");
    ASSERT_NO_FATAL_FAILURE(Start());

    EXPECT_THAT(Step("p3"), ElementsAre(" /Cmd3"));
    EXPECT_THAT(Step("p31"), ElementsAre(" /Cmd31"));
    EXPECT_THAT(Step("p32"), ElementsAre(" /Cmd32"));
    EXPECT_THAT(Step("p47"), ElementsAre(" /Cmd47"));
    EXPECT_THAT(Step("p0-held"), ElementsAre(" /Cmd0"));
    EXPECT_THAT(Step("p2-held"), IsEmpty());

    // Row 32 of ProgDvb does not switch the computer off.
    EXPECT_TRUE(Running());
    EXPECT_THAT(Calls(), ElementsAre(OpenCall(), "Start()"));
}

}  // namespace
}  // namespace zaprelay::e2e
