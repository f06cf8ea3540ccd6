// The network receiver plug-in, driven as the program drives DCD.dll: copied beside its
// settings file, loaded, opened with a window and started, against a stand-in server on
// loopback that sends button lines, garbage, and goes away and comes back.
#include "plugins/include/dcd_exports.h"
#include "plugins/include/dcd_plugin.h"
#include "plugins/lirc/settings_dialog.h"
#include "tests/win32/fake_lirc_server.h"
#include "tests/win32/input.h"
#include "tests/win32/plugin_host.h"
#include "tests/win32/test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zaprelay::test {
namespace {

std::string Line(const char* button, const char* remote, const char* repeat = "00") {
    return std::string("000000000000f00d ") + repeat + " " + button + " " + remote + "\n";
}

class LircPluginTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string plugin = m_scratch.Path() + "DCD.dll";
        ASSERT_TRUE(CopyFileA((BinaryFolder() + "lirc\\DCD.dll").c_str(), plugin.c_str(), FALSE));
        UseServer("127.0.0.1", m_server.Port());
        ASSERT_TRUE(m_host.Load(plugin));
    }

    std::string SettingsPath() const { return m_scratch.Path() + "LircReceiver.ini"; }

    void UseServer(const std::string& host, uint16_t port) {
        WriteFile(SettingsPath(),
                  "; kept\r\n[LircReceiver]\r\nHost=" + host + "\r\nPort=" + std::to_string(port) + "\r\n");
    }

    void Start() { m_host.OpenAndStart(); }

    // Starts the plug-in and waits until it is connected.
    void StartConnected() {
        Start();
        ASSERT_TRUE(PumpUntil([&] { return m_server.Clients() == 1; })) << "the plug-in did not connect";
    }

    bool WaitForCodes(std::size_t count, DWORD timeoutMs = 10000) { return m_host.WaitForCodes(count, timeoutMs); }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const TReceivedCode& code : m_received) {
            texts.push_back(code.Text);
        }
        return texts;
    }

    ScratchFolder m_scratch;
    TFakeLircServer m_server;
    TPluginHost m_host;
    dcd::TPluginEntries& m_dcd = m_host.Dcd;
    std::vector<TReceivedCode>& m_received = m_host.Received;
};

TEST_F(LircPluginTest, ButtonLinesArriveAsOneCodeEachWithTheirRepeatCount) {
    StartConnected();
    m_server.Send(Line("KEY_VOLUMEUP", "tv") + Line("KEY_VOLUMEUP", "tv", "0a") +
                  "BEGIN\nSIGHUP\nEND\nBEGIN\nLIST\nSUCCESS\nDATA\n1\nKEY_OK\nEND\n" + Line("KEY_OK", "dvd") +
                  Line("KEY_OK_EVUP", "dvd"));
    // A line that arrives in pieces is one line.
    m_server.Send("00000000000000aa 0");
    PumpUntil([] { return false; }, 100);  // read apart from the rest
    m_server.Send("1 KEY_1 tv\r\n");
    ASSERT_TRUE(WaitForCodes(4));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"tv.KEY_VOLUMEUP", "tv.KEY_VOLUMEUP", "dvd.KEY_OK", "tv.KEY_1"}));
    EXPECT_EQ(m_received[0].RepeatCount, 0);
    EXPECT_EQ(m_received[1].RepeatCount, 10) << "the repeat count is hexadecimal";
    EXPECT_EQ(m_received[3].RepeatCount, 1);
    EXPECT_TRUE(m_received[0].FromOtherThread) << "codes come from the plug-in's own thread";
    EXPECT_FALSE(WaitForCodes(5, 300)) << "replies and release events send nothing";
}

TEST_F(LircPluginTest, GarbageAndOverlongLinesAreDroppedWholeAndTheNextButtonArrives) {
    StartConnected();
    std::string garbage("\x00\x01\xff\xfe binary\n", 12);
    garbage += std::string(5000, 'x') + "\n";                             // a line beyond any limit
    garbage += "0000000000000001 00 " + std::string(130, 'B') + " tv\n";  // a code too long for the record
    garbage += "0000000000000001 zz KEY_1 tv\n0000000000000001 00 KEY_1\n\n\r\n   \n";  // malformed
    garbage += "00000000000000001 00 KEY_1 tv\n";                                       // 17 hex digits
    m_server.Send(garbage);
    m_server.Send(std::string(70000, '\x7f'));  // no line end at all, for a while
    // A code exactly as long as the record's field arrives whole.
    const std::string longest(dcd::kCodeTextSize - 2, 'L');
    m_server.Send("\n" + Line(longest.c_str(), "r") + Line("KEY_2", "tv"));
    ASSERT_TRUE(WaitForCodes(2));
    EXPECT_FALSE(WaitForCodes(3, 300));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"r." + longest, "tv.KEY_2"}));
    EXPECT_EQ(m_server.Clients(), 1) << "garbage does not end the connection";
}

TEST_F(LircPluginTest, ReconnectsWhenTheServerComesBackAndLosesNothingSentAfterward) {
    StartConnected();
    m_server.Send(Line("KEY_1", "tv"));
    ASSERT_TRUE(WaitForCodes(1));

    m_server.GoAway();
    // Refused a few times while away; the delays between tries stay short at first.
    PumpUntil([] { return false; }, 1500);
    ASSERT_TRUE(m_server.Listen());
    ASSERT_TRUE(PumpUntil([&] { return m_server.Clients() == 1; }, 15000)) << "the plug-in did not come back";
    m_server.Send(Line("KEY_2", "tv") + Line("KEY_3", "tv"));
    ASSERT_TRUE(WaitForCodes(3));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"tv.KEY_1", "tv.KEY_2", "tv.KEY_3"}));
}

TEST_F(LircPluginTest, StartReturnsAtOnceWithoutAServerAndConnectsWhenOneAppears) {
    m_server.GoAway();
    Start();
    EXPECT_EQ(m_server.Clients(), 0);
    ASSERT_TRUE(m_server.Listen());
    ASSERT_TRUE(PumpUntil([&] { return m_server.Clients() == 1; }, 15000));
    m_server.Send(Line("KEY_POWER", "tv"));
    ASSERT_TRUE(WaitForCodes(1));
    EXPECT_EQ(m_received[0].Text, "tv.KEY_POWER");
}

TEST_F(LircPluginTest, AfterStopTheConnectionIsClosedAndNothingArrives) {
    StartConnected();
    m_dcd.Stop();
    m_server.Send(Line("KEY_1", "tv"));
    EXPECT_FALSE(WaitForCodes(1, 300));
    EXPECT_TRUE(PumpUntil([&] { return m_server.Clients() == 0; })) << "Stop hangs up";
    m_dcd.Close();

    // Started again, it connects anew and works.
    StartConnected();
    m_server.Send(Line("KEY_2", "tv"));
    ASSERT_TRUE(WaitForCodes(1));
    EXPECT_EQ(m_received[0].Text, "tv.KEY_2");
}

TEST_F(LircPluginTest, StopFromInsideTheCodeHandlerReturnsAndTheRecordStaysReadable) {
    StartConnected();
    m_host.StopInsideHandler = true;
    m_server.Send(Line("KEY_MENU", "tv") + Line("KEY_1", "tv"));
    ASSERT_TRUE(PumpUntil([&] { return !m_host.TextAfterStop.empty(); }));
    EXPECT_EQ(m_host.TextAfterStop, "tv.KEY_MENU");
    EXPECT_FALSE(WaitForCodes(2, 300)) << "nothing after the Stop";
}

TEST_F(LircPluginTest, StopWhileThePluginWaitsOnASendToThisThreadReturns) {
    StartConnected();
    m_server.Send(Line("KEY_1", "tv") + Line("KEY_2", "tv"));
    // No pumping now: the first code stays blocked in SendMessage to this thread.
    const DWORD start = GetTickCount();
    while ((HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) == 0 && GetTickCount() - start < 10000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_SENDMESSAGE);
    }
    ASSERT_NE(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE, 0);
    m_dcd.Stop();
    const std::size_t afterStop = m_received.size();
    EXPECT_LE(afterStop, 1u) << "the send under way may finish, no other";
    EXPECT_FALSE(WaitForCodes(afterStop + 1, 300));
}

TEST_F(LircPluginTest, StopWhileConnectingToAServerThatNeverAnswersReturns) {
    // An address that drops everything (or is unreachable at once where there is no route).
    UseServer("10.255.255.1", 8765);
    Start();
    PumpUntil([] { return false; }, 200);
    m_dcd.Stop();
    m_dcd.Close();
    EXPECT_TRUE(m_received.empty());
}

// The settings dialog, once it is up (on this thread, inside Setup's modal loop).
void WhenSettingsDialogIsUp(std::function<void(HWND)> act) {
    WhenWindowIsUp(L"#32770", lirc::kSettingsDialogTitle, std::move(act));
}

// Inside the dialog's modal loop: act once done() holds; when it never does, the test fails
// and the dialog closes, so Setup returns.
void WhenInDialog(HWND dialog, std::function<bool()> done, std::function<void()> act) {
    WhenTrue(std::move(done), std::move(act), [dialog] {
        ADD_FAILURE() << "the settings dialog never showed what the test waited for";
        EndDialog(dialog, IDCANCEL);
    });
}

std::string ItemText(HWND dialog, int id) {
    char text[512] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// The height of text laid out as a static box lays out its own (its font, its width, word
// wrap), and the height of one line.
struct TTextLayout {
    int Height;
    int LineHeight;
};
TTextLayout LayOut(HWND box, const std::string& text) {
    RECT r{};
    GetClientRect(box, &r);
    r.bottom = 0;
    HDC dc = GetDC(box);
    HGDIOBJ font = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(box, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    SelectObject(dc, font);
    ReleaseDC(box, dc);
    return {static_cast<int>(r.bottom - r.top), static_cast<int>(metrics.tmHeight)};
}

void Click(HWND dialog, int id) {
    POINT p = CenterOf(GetDlgItem(dialog, id));
    ClickAt(p.x, p.y);
}

TEST_F(LircPluginTest, TestConnectionShowsTheServerAndTheButtonsItHearsAndOkSavesAndReconnects) {
    TFakeLircServer other;
    StartConnected();
    const std::string port = std::to_string(other.Port());
    std::vector<std::string> shown;
    WhenSettingsDialogIsUp([&](HWND dialog) {
        shown.push_back(ItemText(dialog, lirc::kHostEditId) + ":" + ItemText(dialog, lirc::kPortEditId));
        SetDlgItemTextA(dialog, lirc::kPortEditId, port.c_str());
        Click(dialog, lirc::kTestButtonId);
        WhenInDialog(
            dialog, [&other] { return other.Clients() == 1; },
            [&, dialog] {
                WhenInDialog(
                    dialog,
                    [&, dialog] { return ItemText(dialog, lirc::kResultTextId).find("Press") != std::string::npos; },
                    [&, dialog] {
                        shown.push_back(ItemText(dialog, lirc::kResultTextId));
                        other.Send(Line("KEY_OK", "dvd"));
                        WhenInDialog(
                            dialog,
                            [dialog] {
                                return ItemText(dialog, lirc::kResultTextId).find("Received") != std::string::npos;
                            },
                            [&, dialog] {
                                shown.push_back(ItemText(dialog, lirc::kResultTextId));
                                Click(dialog, IDOK);
                            });
                    });
            });
    });
    m_dcd.Setup();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], "127.0.0.1:" + std::to_string(m_server.Port())) << "the dialog shows the settings in use";
    EXPECT_EQ(shown[1], "Connected to 127.0.0.1:" + port + ". Press a button on the remote to see its code here.");
    EXPECT_EQ(shown[2], "Connected to 127.0.0.1:" + port + ". Received dvd.KEY_OK.");
    EXPECT_TRUE(m_received.empty()) << "what the test hears is not a button for the program";

    EXPECT_EQ(ReadFile(SettingsPath()), "; kept\r\n[LircReceiver]\r\nHost=127.0.0.1\r\nPort=" + port + "\r\n");
    ASSERT_TRUE(PumpUntil([&] { return m_server.Clients() == 0 && other.Clients() == 1; }))
        << "the running receiver moves to the saved server";
    other.Send(Line("KEY_1", "tv"));
    ASSERT_TRUE(WaitForCodes(1));
    EXPECT_EQ(m_received[0].Text, "tv.KEY_1");
}

TEST_F(LircPluginTest, EditingTheServerTakesAwayTheResultAboutTheOldOne) {
    std::vector<std::string> shown;
    WhenSettingsDialogIsUp([&](HWND dialog) {
        Click(dialog, lirc::kTestButtonId);
        WhenInDialog(
            dialog, [dialog] { return ItemText(dialog, lirc::kResultTextId).find("Press") != std::string::npos; },
            [&, dialog] {
                SetDlgItemTextA(dialog, lirc::kPortEditId, "9");
                // The server still hears the remote; the dialog no longer listens.
                m_server.Send(Line("KEY_OK", "dvd"));
                WhenInDialog(
                    dialog, [&] { return m_server.Clients() == 0; },
                    [&, dialog] {
                        shown.push_back(ItemText(dialog, lirc::kResultTextId));
                        Click(dialog, IDCANCEL);
                    });
            });
    });
    m_dcd.Setup();
    EXPECT_EQ(shown, std::vector<std::string>{""});
}

TEST_F(LircPluginTest, TestConnectionSaysWhyItFailedAndUnusableValuesAreNotSaved) {
    const std::string before = ReadFile(SettingsPath());
    m_server.GoAway();
    std::vector<std::string> shown;
    TTextLayout whole{}, throughOption{};
    RECT box{};
    WhenSettingsDialogIsUp([&](HWND dialog) {
        Click(dialog, lirc::kTestButtonId);
        WhenInDialog(
            dialog,
            [dialog] { return ItemText(dialog, lirc::kResultTextId).find("Nothing answers") != std::string::npos; },
            [&, dialog] {
                shown.push_back(ItemText(dialog, lirc::kResultTextId));
                // Word wrap breaks after a hyphen: the option must stand on one line with the
                // start of its own line, whatever the address before it.
                HWND result = GetDlgItem(dialog, lirc::kResultTextId);
                const std::string& refused = shown.back();
                const std::string kOption = "--listen";
                const std::size_t option = refused.find(kOption);
                const std::size_t lineStart = refused.rfind('\n', option);
                const std::size_t from = lineStart == std::string::npos ? 0 : lineStart + 1;
                throughOption = LayOut(result, refused.substr(from, option + kOption.size() - from));
                whole = LayOut(result, refused);
                GetClientRect(result, &box);
                SetDlgItemTextA(dialog, lirc::kPortEditId, "70000");
                Click(dialog, IDOK);
                WhenInDialog(
                    dialog, [] { return true; },
                    [&, dialog] {
                        shown.push_back(ItemText(dialog, lirc::kResultTextId));
                        SetDlgItemTextA(dialog, lirc::kPortEditId, "8765");
                        SetDlgItemTextA(dialog, lirc::kHostEditId, "  ");
                        Click(dialog, IDOK);
                        WhenInDialog(
                            dialog, [] { return true; },
                            [&, dialog] {
                                shown.push_back(ItemText(dialog, lirc::kResultTextId));
                                Click(dialog, IDCANCEL);
                            });
                    });
            });
    });
    m_dcd.Setup();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].rfind("Nothing answers at 127.0.0.1:" + std::to_string(m_server.Port()) + ".", 0), 0u)
        << shown[0];
    ASSERT_NE(shown[0].find("--listen"), std::string::npos);
    EXPECT_EQ(throughOption.Height, throughOption.LineHeight) << "\"--listen\" is broken across lines";
    EXPECT_LE(whole.Height, box.bottom) << "the box cuts the message off";
    EXPECT_EQ(shown[1], "The port is a number from 1 to 65535 (LIRC and WinLIRC use 8765).");
    EXPECT_EQ(shown[2], "Enter the name or the address of the computer that runs the server.");
    EXPECT_EQ(ReadFile(SettingsPath()), before);
}

}  // namespace
}  // namespace zaprelay::test
