#include "tools/zapskin/zapskin_commands.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace zaprelay::zapskin {
namespace {

namespace fs = std::filesystem;

const std::string kLayout =
    "object Form: TForm\r\n  Caption = 'It'#39's'\r\n  Data = {00000F00}\r\n  Left = 375\r\nend\r\n";

class ZapskinCommands : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() / (std::string("zapskin_") + info->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string PathOf(const std::string& name) const { return (m_dir / name).string(); }

    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(m_dir / name, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const {
        std::ifstream file(m_dir / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_dir)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    int Run(std::vector<std::string> arguments) {
        m_out.str("");
        m_err.str("");
        return RunZapskin(arguments, m_out, m_err);
    }

    fs::path m_dir;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(ZapskinCommands, Text2BinAndBin2TextConvertBothWays) {
    Write("form.txt", kLayout);
    ASSERT_EQ(Run({"text2bin", PathOf("form.txt"), PathOf("form.bin")}), kExitSuccess) << m_err.str();
    EXPECT_EQ(m_err.str(), "");
    std::string binary = Read("form.bin");
    EXPECT_EQ(binary.substr(0, 4), "TPF0");
    EXPECT_NE(binary.find(std::string("Left\x03\x77\x01", 7)), std::string::npos);

    ASSERT_EQ(Run({"bin2text", PathOf("form.bin"), PathOf("back.txt")}), kExitSuccess) << m_err.str();
    EXPECT_EQ(Read("back.txt"), kLayout);
    EXPECT_EQ(Files(), (std::vector<std::string>{"back.txt", "form.bin", "form.txt"}));
}

TEST_F(ZapskinCommands, FailureNamesTheFileAndLeavesNoOutput) {
    Write("junk.bin", "not a stream");
    EXPECT_EQ(Run({"bin2text", PathOf("junk.bin"), PathOf("out.txt")}), kExitFailure);
    EXPECT_EQ(m_err.str(), "zapskin: " + PathOf("junk.bin") + ": Invalid stream format\n");
    EXPECT_EQ(Files(), std::vector<std::string>{"junk.bin"});

    Write("bad.txt", "object Form: TForm\n  Left 1\nend\n");
    EXPECT_EQ(Run({"text2bin", PathOf("bad.txt"), PathOf("out.bin")}), kExitFailure);
    EXPECT_EQ(m_err.str(), "zapskin: " + PathOf("bad.txt") + ": Line 2: '=' expected\n");

    EXPECT_EQ(Run({"text2bin", PathOf("missing.txt"), PathOf("out.bin")}), kExitFailure);
    EXPECT_EQ(m_err.str().rfind("zapskin: " + PathOf("missing.txt") + ": ", 0), 0u) << m_err.str();
    EXPECT_EQ(Files(), (std::vector<std::string>{"bad.txt", "junk.bin"}));
}

TEST_F(ZapskinCommands, ExistingOutputIsKeptOnFailureAndReplacedOnSuccess) {
    Write("out.bin", "previous");
    Write("bad.txt", "object Form: TForm\n  Data = {0}\nend\n");
    EXPECT_EQ(Run({"text2bin", PathOf("bad.txt"), PathOf("out.bin")}), kExitFailure);
    EXPECT_EQ(m_err.str(), "zapskin: " + PathOf("bad.txt") + ": Invalid binary value\n");
    EXPECT_EQ(Read("out.bin"), "previous");

    Write("good.txt", kLayout);
    EXPECT_EQ(Run({"text2bin", PathOf("good.txt"), PathOf("out.bin")}), kExitSuccess);
    EXPECT_EQ(Read("out.bin").substr(0, 4), "TPF0");
    EXPECT_EQ(Files(), (std::vector<std::string>{"bad.txt", "good.txt", "out.bin"}));
}

TEST_F(ZapskinCommands, UnwritableOutputIsReportedAgainstIt) {
    Write("form.txt", kLayout);
    std::string output = PathOf("no-such-folder/form.bin");
    EXPECT_EQ(Run({"text2bin", PathOf("form.txt"), output}), kExitFailure);
    EXPECT_EQ(m_err.str(), "zapskin: " + output + ": Cannot create file \"" + output + "\"\n");
}

TEST_F(ZapskinCommands, BadArgumentsPrintUsageWithStatus2) {
    // Options only after the positional arguments, only the command's own, each once, with its value.
    const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
        {{}, "Usage: zapskin COMMAND"},
        {{"frobnicate", "a", "b"}, "zapskin: unknown command 'frobnicate'"},
        {{"text2bin", "only-one"}, "zapskin: text2bin takes IN OUT"},
        {{"text2bin", "a", "b", "--state", "1"}, "zapskin: text2bin takes IN OUT"},
        {{"render", "s.qskn", "Form", "--active", "9x9", "o.png"}, "zapskin: render has no option 'o.png'"},
        {{"render", "s.qskn", "Form", "9x9", "o.png", "--colour"}, "zapskin: render has no option '--colour'"},
        {{"render", "s.qskn", "Form", "9x9", "o.png", "--state"}, "zapskin: --state takes N"},
        {{"render", "s.qskn", "Form", "9x9", "o.png", "--active", "--active"}, "zapskin: --active is given twice"}};
    for (const auto& [arguments, message] : bad) {
        EXPECT_EQ(Run(arguments), kExitUsage);
        EXPECT_NE(m_err.str().find(message), std::string::npos) << m_err.str();
        EXPECT_NE(m_err.str().find("Usage: zapskin"), std::string::npos);
        EXPECT_EQ(m_out.str(), "");
    }
    EXPECT_EQ(Run({"help"}), kExitSuccess);
    EXPECT_NE(m_out.str().find("      --state N "), std::string::npos);
    for (const TCommand& command : Commands()) {
        EXPECT_NE(m_out.str().find(std::string(command.Name)), std::string::npos) << command.Name;
    }
}

}  // namespace
}  // namespace zaprelay::zapskin
