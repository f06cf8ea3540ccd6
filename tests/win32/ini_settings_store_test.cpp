// The program's settings store over the real private-profile functions: a value reads back as
// it was written, also with blanks or quotes at its ends, and an ordinary value is written bare.
#include "app/ini_settings_store.h"

#include "tests/win32/test_support.h"

#include <gtest/gtest.h>
#include <string>

namespace zaprelay::test {
namespace {

TEST(IniSettingsStoreTest, EveryValueReadsBackAsWritten) {
    ScratchFolder folder;
    const std::string path = folder.Path() + "Zaplink.ini";
    app::TIniSettingsStore store(path);
    const std::string values[] = {
        "RC6 0x800F0410", "  leading", "trailing ", "\ttab\t", "\"quoted\"", "'single'", "\"", "'half", "end'", "",
    };
    for (const std::string& value : values) {
        store.WriteString("Codes", "Key", value);
        EXPECT_EQ(store.ReadString("Codes", "Key", "<none>"), value) << "[" << value << "]";
    }
    store.WriteString("Codes", "Plain", "RC6 0x800F0410");
    EXPECT_NE(ReadFile(path).find("Plain=RC6 0x800F0410\r\n"), std::string::npos) << "an ordinary value changed form";
}

}  // namespace
}  // namespace zaprelay::test
