#include "plugins/lirc/lirc_settings.h"

#include "plugins/kit/ini_text.h"
#include "plugins/lirc/probe_report.h"
#include "plugins/lirc/reconnect_backoff.h"

#include <gtest/gtest.h>
#include <string>

namespace zaprelay::lirc {
namespace {

TEST(LircSettings, MissingOrUnusableValuesKeepTheirDefaults) {
    EXPECT_EQ(ParseLircSettings(""), TLircSettings());
    EXPECT_EQ(ParseLircSettings("").Host, "127.0.0.1");
    EXPECT_EQ(ParseLircSettings("").Port, 8765);

    TLircSettings read =
        ParseLircSettings("[lircreceiver]\r\n host =  tv-box.local \r\nPORT=2000\r\nReleaseSuffix=_UP\r\n");
    EXPECT_EQ(read.Host, "tv-box.local");
    EXPECT_EQ(read.Port, 2000);
    EXPECT_EQ(read.ReleaseSuffix, "_UP");

    for (const char* port : {"0", "65536", "-1", "80x", "", "99999999999999999999"}) {
        EXPECT_EQ(ParseLircSettings(std::string("[LircReceiver]\nPort=") + port + "\n").Port, 8765) << port;
    }
    for (const char* host : {"", "   ", "tv box", "tab\there", "caf\xC3\xA9"}) {
        EXPECT_EQ(ParseLircSettings(std::string("[LircReceiver]\nHost=") + host + "\n").Host, "127.0.0.1") << host;
    }
    EXPECT_EQ(ParseLircHost(std::string(kMaxHostLength, 'a')), std::string(kMaxHostLength, 'a'));
    EXPECT_EQ(ParseLircHost(std::string(kMaxHostLength + 1, 'a')), std::nullopt);
    EXPECT_EQ(ParseLircHost("::1"), "::1");
    EXPECT_EQ(ParseLircPort(" 65535 "), 65535);
    EXPECT_EQ(ParseLircPort("1"), 1);
}

TEST(LircSettings, SavingWritesTheServerAndKeepsEverythingElse) {
    const std::string file =
        "; my receiver\r\n[LircReceiver]\r\nReleaseSuffix=_UP\r\nHost=old\r\n\r\n[Other]\r\nPort=1\r\n";
    TLircSettings settings;
    settings.Host = "192.168.1.20";
    settings.Port = 9000;
    std::string saved = WriteLircServer(file, settings);
    EXPECT_EQ(saved,
              "; my receiver\r\n[LircReceiver]\r\nReleaseSuffix=_UP\r\nHost=192.168.1.20\r\nPort=9000\r\n\r\n"
              "[Other]\r\nPort=1\r\n");
    TLircSettings back = ParseLircSettings(saved);
    EXPECT_EQ(back.Host, "192.168.1.20");
    EXPECT_EQ(back.Port, 9000);
    EXPECT_EQ(back.ReleaseSuffix, "_UP") << "the suffix is not the dialog's to change";
    EXPECT_EQ(ParseLircSettings(WriteLircServer("", settings)).Host, "192.168.1.20") << "a new file";
}

TEST(ReconnectBackoff, DoublesUpToTheLongestDelayAndStartsOverAfterReset) {
    TReconnectBackoff backoff;
    std::vector<uint32_t> delays;
    for (int i = 0; i < 9; ++i) {
        delays.push_back(backoff.NextDelayMs());
    }
    EXPECT_EQ(delays, (std::vector<uint32_t>{500, 1000, 2000, 4000, 8000, 16000, 30000, 30000, 30000}));
    backoff.Reset();
    EXPECT_EQ(backoff.NextDelayMs(), 500u);
}

TEST(ProbeReport, SaysWhatHappenedAndWhere) {
    TProbeReport report;
    EXPECT_EQ(ProbeReportText(report, "pc", 8765), "Connecting to pc:8765...");
    report.Stage = TProbeReport::TStage::Connected;
    EXPECT_EQ(ProbeReportText(report, "pc", 8765),
              "Connected to pc:8765. Press a button on the remote to see its code here.");
    report.LastCode = "tv.KEY_OK";
    EXPECT_EQ(ProbeReportText(report, "::1", 8765), "Connected to [::1]:8765. Received tv.KEY_OK.");
    report.Stage = TProbeReport::TStage::Closed;
    EXPECT_NE(ProbeReportText(report, "pc", 1).find("closed the connection"), std::string::npos);

    report.Stage = TProbeReport::TStage::Failed;
    report.Failure = TConnectStatus::UnknownHost;
    EXPECT_NE(ProbeReportText(report, "nosuch", 1).find("\"nosuch\""), std::string::npos);
    report.Failure = TConnectStatus::Refused;
    EXPECT_NE(ProbeReportText(report, "pc", 1).find("Nothing answers at pc:1"), std::string::npos);
    report.Failure = TConnectStatus::NoAnswer;
    EXPECT_NE(ProbeReportText(report, "pc", 1).find("within 5 seconds"), std::string::npos);
    report.Failure = TConnectStatus::Failed;
    report.Error = 10050;
    EXPECT_NE(ProbeReportText(report, "pc", 1).find("(error 10050)"), std::string::npos);
}

}  // namespace
}  // namespace zaprelay::lirc
