#include "app/bridge/bridge.h"

#include "plugins/include/dcd_plugin.h"

#include <algorithm>

namespace zaprelay::bridge {
namespace {

const char kMain[] = "Main";

std::string PathKey(const std::string& prog) {
    return "Path" + prog;
}

}  // namespace

std::string CodeText(const uint8_t* record) {
    const char* text = reinterpret_cast<const char*>(record + dcd::kCodeTextOffset);
    return std::string(text, std::find(text, text + dcd::kCodeTextSize, '\0'));
}

bool TBridge::ReadStartupSettings() {
    m_state.CurrentProg = m_settings.ReadString(kMain, "Prog", kMyTheatre);
    m_host.SetPath(m_settings.ReadString(kMain, PathKey(m_state.CurrentProg), ""));
    return m_state.CurrentProg != kMyTheatre;
}

void TBridge::CodeReceived(const uint8_t* record, int32_t repeatCount) {
    // A plug-in that passes no record has nothing to say.
    if (record == nullptr || repeatCount < 0) {
        return;
    }
    std::string code = CodeText(record);
    if (code.empty()) {
        return;
    }
    if (!m_state.ManagementMode) {
        NewCode(code, repeatCount);
        return;
    }
    Dispatch(code, repeatCount);
}

void TBridge::Dispatch(const std::string& code, int32_t repeatCount) {
    int row = m_codes.FindFirst(m_state.CurrentProg, m_host.RowCount(), code);
    if (row < 0 || (repeatCount != 0 && row > kLastRepeatingRow)) {
        return;
    }
    TViewerCommand command = ViewerCommand(m_state.CurrentProg, row, m_host.RowText(row));
    if (command.Shutdown) {
        m_state.ShutdownPending = true;
    }
    m_host.RunProgram(m_host.Path(), command.Arguments);
    if (command.Shutdown) {
        m_host.ArmShutdownTimer(kShutdownDelayMs);
    }
}

void TBridge::NewCode(const std::string& code, int32_t repeatCount) {
    int current = m_host.SelectedRow();
    if (repeatCount > kMaxLearnRepeat || current < 0) {
        return;
    }
    if (m_state.PendingCode.empty()) {
        m_state.PendingCode = code;
        return;
    }
    if (m_state.PendingCode != code) {
        m_state.PendingCode.clear();
        return;
    }
    int found = m_codes.FindLast(m_state.CurrentProg, m_host.RowCount(), code);
    if (found >= 0 && found != current) {
        m_host.SelectRow(found);
        m_host.ShowCode(code, kShownColour);
    } else {
        m_settings.WriteString(m_state.CurrentProg, std::to_string(current), code);
        m_host.ShowCode(code, kStoredColour);
    }
    m_host.Pause(kLearnPauseMs);
    m_state.PendingCode.clear();
}

void TBridge::ListRemClick() {
    std::string code = m_codes.Code(m_state.CurrentProg, m_host.SelectedRow());
    m_host.ShowCode(code.empty() ? kNoCodeText : code, kShownColour);
}

void TBridge::DelCodeClick() {
    // With no row selected there is no pairing to remove; only the display is cleared.
    int row = m_host.SelectedRow();
    if (row >= 0) {
        m_settings.WriteString(m_state.CurrentProg, std::to_string(row), "");
    }
    m_host.ShowCode("", kShownColour);
}

void TBridge::ChooseViewer(bool progDvb) {
    const char* prog = progDvb ? kProgDvb : kMyTheatre;
    m_settings.WriteString(kMain, "Prog", prog);
    m_state.CurrentProg = prog;
    ProgSet(progDvb);
}

void TBridge::ProgSet(bool progDvb) {
    const std::string section = progDvb ? "commandPR" : "commandEZ";
    const int count = progDvb ? kProgDvbRows : kMyTheatreRows;
    std::vector<std::string> rows;
    rows.reserve(count);
    for (int row = 0; row < count; ++row) {
        rows.push_back(m_settings.ReadString(section, std::to_string(row), ""));
    }
    m_host.SetRows(rows);
    m_host.SetPath(m_settings.ReadString(kMain, PathKey(progDvb ? kProgDvb : kMyTheatre), ""));
}

void TBridge::PathChosen(const std::string& path) {
    m_host.SetPath(path);
    m_settings.WriteString(kMain, PathKey(m_state.CurrentProg), path);
}

}  // namespace zaprelay::bridge
