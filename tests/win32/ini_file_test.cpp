// The initialisation file against the real private-profile functions: defaults, what reaches
// the disk, the value length limit, and refused writes that must leave the file untouched.
#include "framework/win32/ini_file.h"

#include "tests/win32/test_support.h"

#include <cstdint>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace zaprelay::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using win32::EIniFileException;
using win32::TIniFile;

class IniFileTest : public ::testing::Test {
protected:
    void TearDown() override {
        // The scratch folder cannot delete read-only files.
        for (const std::string& path : m_readOnly) {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        }
    }

    std::string PathOf(const std::string& name) const { return m_folder.Path() + name; }

    void MakeReadOnly(const std::string& path) {
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
        m_readOnly.push_back(path);
    }

    static bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    // The write must raise the exact message naming the full path.
    static void ExpectRefused(const std::string& path, const std::function<void()>& write) {
        try {
            write();
            ADD_FAILURE() << "write to " << path << " was not refused";
        } catch (const EIniFileException& error) {
            EXPECT_EQ(error.Message(), "Unable to write to " + path);
        }
    }

    ScratchFolder m_folder;
    std::vector<std::string> m_readOnly;
};

TEST_F(IniFileTest, MissingFileSectionOrKeyReadsTheDefaultAsGiven) {
    const std::string path = PathOf("settings.ini");
    TIniFile ini(path);
    EXPECT_EQ(ini.FileName(), path);
    // The system would strip the trailing blanks and cut the long one.
    const std::string padded = "fallback  ";
    const std::string longDefault(3000, 'd');
    EXPECT_EQ(ini.ReadString("Main", "Key", padded), padded);
    EXPECT_EQ(ini.ReadString("Main", "Key", longDefault), longDefault);
    EXPECT_EQ(ini.ReadInteger("Main", "Key", -7), -7);
    EXPECT_TRUE(ini.ReadBool("Main", "Key", true));
    EXPECT_FALSE(ini.ValueExists("Main", "Key"));
    EXPECT_FALSE(ini.SectionExists("Main"));
    EXPECT_TRUE(ini.ReadSection("Main").empty());
    EXPECT_FALSE(Exists(path)) << "reading must not create the file";

    WriteFile(path, "[Main]\r\nOther=1\r\n");
    EXPECT_EQ(ini.ReadString("Main", "Key", "k"), "k");
    EXPECT_EQ(ini.ReadString("Elsewhere", "Other", "s"), "s");
    EXPECT_EQ(ini.ReadString("main", "other", "x"), "1") << "lookups ignore case";
}

TEST_F(IniFileTest, WriteReachesTheDiskAtOnceCreatingFileAndSection) {
    const std::string path = PathOf("settings.ini");
    TIniFile ini(path);
    ini.WriteString("Main", "Viewer", "C:\\Program Files\\Viewer\\viewer.exe");
    EXPECT_EQ(ReadFile(path), "[Main]\r\nViewer=C:\\Program Files\\Viewer\\viewer.exe\r\n");

    ini.WriteString("Codes", "Power", "0x0C");
    ini.WriteString("Main", "Viewer", "other.exe");
    const std::string text = ReadFile(path);
    EXPECT_THAT(text, HasSubstr("[Main]\r\nViewer=other.exe\r\n"));
    EXPECT_THAT(text, HasSubstr("[Codes]\r\nPower=0x0C\r\n"));
    EXPECT_THAT(text, Not(HasSubstr("viewer.exe")));
    EXPECT_EQ(ini.ReadString("Codes", "Power", ""), "0x0C");
}

TEST_F(IniFileTest, EmptyValueKeepsTheKeyWithNothingAfterTheEqualsSign) {
    const std::string path = PathOf("settings.ini");
    TIniFile ini(path);
    ini.WriteString("Main", "Before", "1");
    ini.WriteString("Main", "Blank", "");
    EXPECT_THAT(ReadFile(path), HasSubstr("\nBlank=\r\n"));
    EXPECT_TRUE(ini.ValueExists("Main", "Blank"));
    EXPECT_EQ(ini.ReadString("Main", "Blank", "default"), "") << "a stored empty value is not a missing one";
    EXPECT_EQ(ini.ReadInteger("Main", "Blank", 4), 4);
}

TEST_F(IniFileTest, OnlyTheFirst2047CharactersOfAValueAreSeen) {
    TIniFile ini(PathOf("settings.ini"));
    std::string fits(2047, 'a');
    fits.back() = 'z';
    ini.WriteString("Main", "Fits", fits);
    EXPECT_EQ(ini.ReadString("Main", "Fits", ""), fits);

    std::string longer(3000, 'b');
    ini.WriteString("Main", "Longer", longer);
    EXPECT_EQ(ini.ReadString("Main", "Longer", ""), longer.substr(0, 2047));
}

TEST_F(IniFileTest, ReadOnlyFileRefusesEveryWriteAndKeepsItsBytes) {
    const std::string path = PathOf("settings.ini");
    TIniFile ini(path);
    ini.WriteString("Main", "Key", "old");
    MakeReadOnly(path);
    const std::string before = ReadFile(path);

    ExpectRefused(path, [&] { ini.WriteString("Main", "Key", "new"); });
    ExpectRefused(path, [&] { ini.WriteString("Other", "Key", "new"); });
    ExpectRefused(path, [&] { ini.WriteInteger("Main", "Number", 1); });
    ExpectRefused(path, [&] { ini.DeleteKey("Main", "Key"); });
    ExpectRefused(path, [&] { ini.EraseSection("Main"); });
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(ini.ReadString("Main", "Key", ""), "old");
}

TEST_F(IniFileTest, FileLockedByAnotherHandleRefusesTheWrite) {
    const std::string path = PathOf("settings.ini");
    TIniFile ini(path);
    ini.WriteString("Main", "Key", "old");
    const std::string before = ReadFile(path);
    HANDLE exclusive = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    ExpectRefused(path, [&] { ini.WriteString("Main", "Key", "new"); });
    CloseHandle(exclusive);
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(ini.ReadString("Main", "Key", ""), "old");
}

// The system rewrites a whole file to change a line: a write that cannot finish (here its copy
// cannot be made, as on a full disk) must leave the old file whole, and a finished one leaves
// no copy behind.
TEST_F(IniFileTest, AWriteThatCannotFinishLeavesTheOldFileWhole) {
    const std::string path = PathOf("settings.ini");
    TIniFile ini(path);
    ini.WriteString("Main", "Key", "old");
    ini.WriteString("Codes", "1", "POWER");
    EXPECT_FALSE(Exists(path + ".new"));
    const std::string before = ReadFile(path);
    ASSERT_TRUE(CreateDirectoryA((path + ".new").c_str(), nullptr));
    ExpectRefused(path, [&] { ini.WriteString("Main", "Key", "new"); });
    EXPECT_EQ(ReadFile(path), before);
    RemoveDirectoryA((path + ".new").c_str());
    WriteFile(path + ".new", "[Main]\r\nKey=half");  // a copy a crash left
    ini.WriteString("Main", "Key", "new");
    EXPECT_EQ(ini.ReadString("Codes", "1", ""), "POWER");
    EXPECT_EQ(ini.ReadString("Main", "Key", ""), "new");
    EXPECT_FALSE(Exists(path + ".new"));
}

// Another program reading the file for a moment (the profile functions share reading and
// writing, not replacing) delays a write, it does not refuse it.
TEST_F(IniFileTest, AReaderHoldingTheFileForAMomentDelaysTheWrite) {
    const std::string path = PathOf("settings.ini");
    TIniFile ini(path);
    ini.WriteString("Main", "Key", "old");
    HANDLE reader =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    std::thread closer([reader] {
        Sleep(150);
        CloseHandle(reader);
    });
    ini.WriteString("Main", "Key", "new");
    closer.join();
    EXPECT_EQ(ini.ReadString("Main", "Key", ""), "new");
}

TEST_F(IniFileTest, MissingFolderRefusesTheWriteAndCreatesNothing) {
    const std::string folder = PathOf("missing");
    const std::string path = folder + "\\settings.ini";
    TIniFile ini(path);
    ExpectRefused(path, [&] { ini.WriteString("Main", "Key", "value"); });
    EXPECT_FALSE(Exists(folder));
    EXPECT_EQ(ini.ReadString("Main", "Key", "default"), "default");
}

TEST_F(IniFileTest, EntriesThatWouldBreakTheLineStructureAreRefused) {
    const std::string path = PathOf("settings.ini");
    TIniFile ini(path);
    ini.WriteString("Main", "Key", "value");
    const std::string before = ReadFile(path);

    ExpectRefused(path, [&] { ini.WriteString("Main", "Key", "a\r\nInjected=1"); });
    ExpectRefused(path, [&] { ini.WriteString("Main", "Key", std::string("a\0b", 3)); });
    ExpectRefused(path, [&] { ini.WriteString("Main", "A=B", "1"); });
    ExpectRefused(path, [&] { ini.WriteString("Main", " [Other]", "1"); });
    ExpectRefused(path, [&] { ini.WriteString("Main", "", "1"); });
    ExpectRefused(path, [&] { ini.WriteString("Ma]in", "Key", "1"); });
    ExpectRefused(path, [&] { ini.WriteString("", "Key", "1"); });
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_THAT(ini.ReadSection("Main"), ElementsAre("Key"));
}

TEST_F(IniFileTest, IntegersAndBoolsReadOnlyWholeThirtyTwoBitNumbers) {
    const std::string path = PathOf("settings.ini");
    TIniFile ini(path);
    ini.WriteInteger("N", "Min", std::numeric_limits<int32_t>::min());
    ini.WriteInteger("N", "Max", std::numeric_limits<int32_t>::max());
    ini.WriteBool("N", "No", false);
    EXPECT_EQ(ini.ReadInteger("N", "Min", 0), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(ini.ReadInteger("N", "Max", 0), std::numeric_limits<int32_t>::max());
    EXPECT_FALSE(ini.ReadBool("N", "No", true));

    WriteFile(path,
              "[N]\r\nHex=0x1F\r\nDollar=$ff\r\nBig=2147483648\r\nTail=12abc\r\n"
              "Sign=-\r\nHexBig=0x80000000\r\nNegHex=-0x80000000\r\nWord=yes\r\nTwo=2\r\n");
    EXPECT_EQ(ini.ReadInteger("N", "Hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("N", "Dollar", 0), 255);
    EXPECT_EQ(ini.ReadInteger("N", "NegHex", 0), std::numeric_limits<int32_t>::min());
    for (const char* bad : {"Big", "Tail", "Sign", "HexBig", "Word"}) {
        EXPECT_EQ(ini.ReadInteger("N", bad, 5), 5) << bad;
    }
    EXPECT_TRUE(ini.ReadBool("N", "Two", false));
    EXPECT_FALSE(ini.ReadBool("N", "Word", false));
}

TEST_F(IniFileTest, SectionsAndKeysAreListedAndRemoved) {
    const std::string path = PathOf("settings.ini");
    WriteFile(path, "[Empty]\r\n[Main]\r\nB=2\r\nA=1\r\nC=\r\n[Other]\r\nX=9\r\n");
    TIniFile ini(path);
    EXPECT_TRUE(ini.SectionExists("Empty"));
    EXPECT_TRUE(ini.SectionExists("MAIN"));
    EXPECT_FALSE(ini.SectionExists("Mai"));
    EXPECT_THAT(ini.ReadSection("Main"), ElementsAre("B", "A", "C"));

    ini.DeleteKey("Main", "A");
    ini.DeleteKey("Main", "Absent");
    EXPECT_THAT(ini.ReadSection("Main"), ElementsAre("B", "C"));
    ini.EraseSection("Main");
    ini.EraseSection("Absent");
    EXPECT_FALSE(ini.SectionExists("Main"));
    EXPECT_EQ(ini.ReadString("Other", "X", ""), "9");

    // Removing from a file that is not there is no error and creates nothing.
    const std::string none = PathOf("none.ini");
    TIniFile missing(none);
    missing.DeleteKey("Main", "A");
    missing.EraseSection("Main");
    EXPECT_FALSE(Exists(none));
}

TEST_F(IniFileTest, LongKeyListsAreReadWhole) {
    const std::string path = PathOf("settings.ini");
    std::string text = "[Codes]\r\n";
    std::vector<std::string> keys;
    for (int i = 0; i < 600; ++i) {
        keys.push_back("RemoteControlButton" + std::to_string(i));
        text += keys.back() + "=" + std::to_string(i) + "\r\n";
    }
    WriteFile(path, text);
    EXPECT_EQ(TIniFile(path).ReadSection("Codes"), keys);
}

}  // namespace
}  // namespace zaprelay::test
