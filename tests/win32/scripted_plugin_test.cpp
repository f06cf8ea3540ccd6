// The scripted receiver plug-in, driven as the program drives DCD.dll: loaded by name,
// opened with a window, started, stopped and closed through its undecorated exports.
#include "plugins/include/dcd_exports.h"
#include "plugins/scripted/code_script.h"
#include "tests/win32/test_support.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zaprelay::test {
namespace {

using scripted::kCodeTextOffset;
using scripted::kCodeTextSize;

constexpr UINT kCodeReceived = WM_USER + 1;

struct Received {
    std::string Field;  // all 124 bytes from offset 64
    LPARAM RepeatCount;
    bool FromOtherThread;
};

class ScriptedPluginTest;
ScriptedPluginTest* g_fixture = nullptr;

class ScriptedPluginTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_fixture = this;
        SetEnvironmentVariableA("ZAPRELAY_DCD_SCRIPT", (m_scratch.Path() + "codes.txt").c_str());
        SetEnvironmentVariableA("ZAPRELAY_DCD_LOG", (m_scratch.Path() + "calls.log").c_str());

        m_library = LoadLibraryA((BinaryFolder() + "scripted\\DCD.dll").c_str());
        ASSERT_NE(m_library, nullptr);
        ASSERT_TRUE(m_dcd.Resolve(m_library));

        WNDCLASSW wc{};
        wc.lpfnWndProc = &ScriptedPluginTest::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ZaprelayReceiverTest";
        RegisterClassW(&wc);
        m_window =
            CreateWindowW(wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(m_window, nullptr);
    }

    void TearDown() override {
        DestroyWindow(m_window);
        FreeLibrary(m_library);
        SetEnvironmentVariableA("ZAPRELAY_DCD_SCRIPT", nullptr);
        SetEnvironmentVariableA("ZAPRELAY_DCD_LOG", nullptr);
        g_fixture = nullptr;
    }

    void Script(const std::string& text) { WriteFile(m_scratch.Path() + "codes.txt", text); }

    // Calls, in order; the plug-in's own notes ("# ...") left out.
    std::vector<std::string> Calls() const {
        std::vector<std::string> calls;
        std::string log = ReadFile(m_scratch.Path() + "calls.log");
        for (std::size_t start = 0; start < log.size();) {
            std::size_t end = log.find('\n', start);
            std::string line = log.substr(start, end - start);
            if (!line.empty() && line[0] != '#') {
                calls.push_back(line);
            }
            start = end == std::string::npos ? log.size() : end + 1;
        }
        return calls;
    }

    std::string Log() const { return ReadFile(m_scratch.Path() + "calls.log"); }

    std::string OpenCall() const {
        char text[64];
        std::snprintf(text, sizeof text, "Open(0, 0x%08X, 0)",
                      static_cast<unsigned>(reinterpret_cast<uintptr_t>(m_window)));
        return text;
    }

    void OpenAndStart() {
        m_dcd.Open(0, static_cast<int32_t>(reinterpret_cast<uintptr_t>(m_window)), 0);
        m_dcd.Start();
    }

    static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == kCodeReceived && g_fixture != nullptr) {
            g_fixture->OnCode(reinterpret_cast<const char*>(wParam), lParam);
            return 0;
        }
        return DefWindowProcW(window, msg, wParam, lParam);
    }

    void OnCode(const char* record, LPARAM repeatCount) {
        m_received.push_back({std::string(record + kCodeTextOffset, kCodeTextSize), repeatCount, InSendMessage() != 0});
        if (m_stopInsideHandler) {
            m_dcd.Stop();
            m_dcd.Close();
            // The record must still be readable after the plug-in was stopped from here.
            m_textAfterStop = std::string(record + kCodeTextOffset).c_str();
        }
    }

    ScratchFolder m_scratch;
    HMODULE m_library = nullptr;
    dcd::TPluginEntries m_dcd;
    HWND m_window = nullptr;
    std::vector<Received> m_received;
    bool m_stopInsideHandler = false;
    std::string m_textAfterStop;
};

TEST_F(ScriptedPluginTest, PlaysScriptToTheWindowAndLogsCallsInOrder) {
    Script("FullScreen 0 10\n\"Vol Up\" 3 10\n");
    OpenAndStart();
    ASSERT_TRUE(PumpUntil([&] { return m_received.size() == 2; }));
    m_dcd.Setup();
    m_dcd.Stop();
    m_dcd.Close();

    EXPECT_STREQ(m_received[0].Field.c_str(), "FullScreen");
    EXPECT_EQ(m_received[0].RepeatCount, 0);
    EXPECT_STREQ(m_received[1].Field.c_str(), "Vol Up");
    EXPECT_EQ(m_received[1].RepeatCount, 3);
    EXPECT_TRUE(m_received[0].FromOtherThread) << "codes are sent from the plug-in's own thread";
    EXPECT_EQ(Calls(), (std::vector<std::string>{OpenCall(), "Start()", "Setup()", "Stop()", "Close()"}));
}

TEST_F(ScriptedPluginTest, FillCodeUsesAllOfTheField) {
    Script("ABCD 1 0 fill\n");
    OpenAndStart();
    ASSERT_TRUE(PumpUntil([&] { return m_received.size() == 1; }));
    m_dcd.Stop();
    m_dcd.Close();
    EXPECT_EQ(m_received[0].Field.find('\0'), std::string::npos);
    EXPECT_EQ(m_received[0].Field.substr(0, 8), "ABCDABCD");
}

TEST_F(ScriptedPluginTest, StopEndsPlayingBeforeLaterCodes) {
    Script("First 0 0\nNever 0 600000\n");
    OpenAndStart();
    ASSERT_TRUE(PumpUntil([&] { return m_received.size() == 1; }));
    DWORD before = GetTickCount();
    m_dcd.Stop();
    m_dcd.Close();
    EXPECT_LT(GetTickCount() - before, 5000u) << "Stop waited for the script's next delay";
    PumpUntil([] { return false; }, 50);
    EXPECT_EQ(m_received.size(), 1u);
}

TEST_F(ScriptedPluginTest, StopFromInsideTheCodeHandlerReturns) {
    // The shutdown command stops and closes the plug-in while handling the code.
    Script("Power 0 0\nNever 0 0\n");
    m_stopInsideHandler = true;
    OpenAndStart();
    ASSERT_TRUE(PumpUntil([&] { return m_received.size() == 1 && !m_textAfterStop.empty(); }));
    EXPECT_EQ(m_textAfterStop, "Power");
    PumpUntil([] { return false; }, 50);
    EXPECT_EQ(m_received.size(), 1u);
    EXPECT_EQ(Calls(), (std::vector<std::string>{OpenCall(), "Start()", "Stop()", "Close()"}));
}

TEST_F(ScriptedPluginTest, BadScriptLinesAndMissingScriptAreNotedNotPlayed) {
    Script("Good 0 0\nBad x 0\n");
    OpenAndStart();
    ASSERT_TRUE(PumpUntil([&] { return m_received.size() == 1; }));
    m_dcd.Stop();
    m_dcd.Close();
    EXPECT_NE(Log().find("line 2: repeat count"), std::string::npos) << Log();

    DeleteFileA((m_scratch.Path() + "codes.txt").c_str());
    OpenAndStart();
    m_dcd.Stop();
    m_dcd.Close();
    EXPECT_NE(Log().find("# script: cannot read"), std::string::npos) << Log();
    EXPECT_EQ(m_received.size(), 1u);
}

}  // namespace
}  // namespace zaprelay::test
