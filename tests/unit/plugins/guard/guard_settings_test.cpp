#include "plugins/guard/guard_settings.h"

#include <gtest/gtest.h>

namespace zaprelay::guard {
namespace {

TEST(GuardSettings, TheReceiverIsReadAndWrittenKeepingTheRest) {
    EXPECT_EQ(ReceiverOf(""), "");
    EXPECT_EQ(ReceiverOf("[Other]\r\nReceiver=x.dll\r\n"), "");
    EXPECT_EQ(ReceiverOf("[guard]\r\n receiver = \"lirc\\DCD.dll\" \r\n"), "lirc\\DCD.dll");

    const std::string file = "; which receiver\r\n[Guard]\r\nReceiver=old.dll\r\nHang=5\r\n";
    EXPECT_EQ(WithReceiver(file, "keys\\DCD.dll"),
              "; which receiver\r\n[Guard]\r\nReceiver=keys\\DCD.dll\r\nHang=5\r\n");
    EXPECT_EQ(ReceiverOf(WithReceiver("", "C:\\r\\DCD.dll")), "C:\\r\\DCD.dll");
}

TEST(GuardSettings, ARelativeReceiverIsJoinedToTheGuardsFolder) {
    const std::string folder = "C:\\Zaprelay\\guard\\";
    EXPECT_EQ(ReceiverPath("", folder), "");
    EXPECT_EQ(ReceiverPath("DCD.dll", folder), "C:\\Zaprelay\\guard\\DCD.dll");
    EXPECT_EQ(ReceiverPath("../lirc/DCD.dll", folder), "C:\\Zaprelay\\guard\\..\\lirc\\DCD.dll");
    EXPECT_EQ(ReceiverPath("DCD.dll", "C:/Zaprelay/guard"), "C:\\Zaprelay\\guard\\DCD.dll");
    EXPECT_EQ(ReceiverPath("d:/r/DCD.dll", folder), "d:\\r\\DCD.dll");
    EXPECT_EQ(ReceiverPath("\\\\box\\share\\DCD.dll", folder), "\\\\box\\share\\DCD.dll");
    EXPECT_EQ(ReceiverPath("//box/share/DCD.dll", folder), "\\\\box\\share\\DCD.dll");
}

}  // namespace
}  // namespace zaprelay::guard
