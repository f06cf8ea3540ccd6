// What "Test connection" found, and the sentence the settings dialog shows for it. Portable,
// so every wording is checked natively.
#pragma once

#include <cstdint>
#include <string>

namespace zaprelay::lirc {

enum class TConnectStatus { Connected, UnknownHost, Refused, NoAnswer, Failed, Stopped };

struct TProbeReport {
    enum class TStage { Connecting, Connected, Failed, Closed };
    TStage Stage = TStage::Connecting;
    TConnectStatus Failure = TConnectStatus::Failed;  // when Failed
    int Error = 0;                                    // the system's error number, when Failed
    std::string LastCode;                             // the last button heard, when Connected
};

// How long the test waits for an answer; the texts name it.
inline constexpr uint32_t kProbeTimeoutMs = 5000;

std::string ProbeReportText(const TProbeReport& report, const std::string& host, uint16_t port);

}  // namespace zaprelay::lirc
