// The stand-in viewer records the command line exactly as a started viewer sees it.
#include "tests/win32/test_support.h"

#include <gtest/gtest.h>
#include <regex>
#include <string>
#include <vector>

namespace zaprelay::test {
namespace {

std::string RunViewer(const std::string& commandLine, const std::string& logPath) {
    SetEnvironmentVariableA("ZAPRELAY_VIEWER_LOG", logPath.c_str());
    std::string exe = BinaryFolder() + "fakeviewer.exe";
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    BOOL started = CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                                  nullptr, &startup, &process);
    SetEnvironmentVariableA("ZAPRELAY_VIEWER_LOG", nullptr);
    if (!started) {
        return "CreateProcess failed";
    }
    WaitForSingleObject(process.hProcess, 30000);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode == 0 ? exe : "exit code " + std::to_string(exitCode);
}

TEST(FakeViewer, AppendsPathAndExactCommandLinePerRun) {
    ScratchFolder scratch;
    std::string log = scratch.Path() + "viewer.log";
    std::string exe = RunViewer(" /remote FullScreen", log);
    ASSERT_EQ(RunViewer(" /Mute", log), exe);

    // Each entry also tells when its process was made, later runs later.
    const std::string text = ReadFile(log);
    const std::regex entry("exe=(.*)\ncmd=(.*)\nmade=([0-9]+)\n");
    std::vector<std::smatch> entries(std::sregex_iterator(text.begin(), text.end(), entry), std::sregex_iterator());
    ASSERT_EQ(entries.size(), 2u) << text;
    EXPECT_EQ(entries[0][1], exe);
    EXPECT_EQ(entries[0][2], " /remote FullScreen");
    EXPECT_EQ(entries[1][2], " /Mute");
    EXPECT_LT(std::stoull(entries[0][3]), std::stoull(entries[1][3]));
}

}  // namespace
}  // namespace zaprelay::test
