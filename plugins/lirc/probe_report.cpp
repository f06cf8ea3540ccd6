#include "plugins/lirc/probe_report.h"

namespace zaprelay::lirc {

std::string ProbeReportText(const TProbeReport& report, const std::string& host, uint16_t port) {
    // An address with colons of its own (IPv6) is bracketed, as a person would write it.
    const std::string place =
        (host.find(':') != std::string::npos ? "[" + host + "]" : host) + ":" + std::to_string(port);
    switch (report.Stage) {
        case TProbeReport::TStage::Connecting:
            return "Connecting to " + place + "...";
        case TProbeReport::TStage::Connected:
            if (report.LastCode.empty()) {
                return "Connected to " + place + ". Press a button on the remote to see its code here.";
            }
            return "Connected to " + place + ". Received " + report.LastCode + ".";
        case TProbeReport::TStage::Closed:
            return "Connected to " + place + ", but the server closed the connection.";
        case TProbeReport::TStage::Failed:
            break;
    }
    switch (report.Failure) {
        case TConnectStatus::UnknownHost:
            return "Cannot find the computer \"" + host + "\". Check the name, or enter its address.";
        case TConnectStatus::Refused:
            // The question starts a line of its own: word wrap breaks after a hyphen, and where
            // the place ends decides where "--listen" would fall; from a line's start it fits.
            return "Nothing answers at " + place +
                   ".\nIs lircd running with --listen, or the WinLIRC server switched on, at that port?";
        case TConnectStatus::NoAnswer:
            return "No answer from " + place + " within " + std::to_string(kProbeTimeoutMs / 1000) +
                   " seconds. Check the address and any firewall in between.";
        default:
            return "Could not connect to " + place + " (error " + std::to_string(report.Error) + ").";
    }
}

}  // namespace zaprelay::lirc
