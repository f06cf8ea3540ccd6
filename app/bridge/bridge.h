// What the main window's handlers do with codes, the command list and the settings file,
// apart from the window: dispatch in management mode, learning in options mode, choosing
// the viewer. The window implements TBridgeHost; tests use a fake.
#pragma once

#include "app/bridge/code_table.h"
#include "app/bridge/settings_store.h"
#include "app/bridge/viewer_commands.h"
#include "plugins/include/dcd_plugin.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zaprelay::bridge {

// Font colours of the code display.
inline constexpr uint32_t kShownColour = 0x000000;   // black: a code shown or recognised
inline constexpr uint32_t kStoredColour = 0x0000FF;  // red: a code just stored
inline constexpr char kNoCodeText[] = "None Code";
inline constexpr uint32_t kLearnPauseMs = 200;
inline constexpr int32_t kMaxLearnRepeat = dcd::kMaxPairingRepeat;
inline constexpr uint32_t kShutdownDelayMs = 2000;

// Program-wide state the handlers share.
struct TBridgeState {
    std::string CurrentProg = kMyTheatre;
    bool ManagementMode = false;
    std::string PendingCode;  // first code of a learning pair
    bool ShutdownPending = false;
};

// The main window as the bridge logic needs it.
class TBridgeHost {
public:
    virtual ~TBridgeHost() = default;

    virtual int RowCount() const = 0;
    virtual std::string RowText(int row) const = 0;
    virtual int SelectedRow() const = 0;  // -1 when no row is selected
    virtual void SelectRow(int row) = 0;  // without running the list's click event
    virtual void SetRows(const std::vector<std::string>& rows) = 0;

    virtual std::string Path() const = 0;
    virtual void SetPath(const std::string& path) = 0;

    virtual void ShowCode(const std::string& text, uint32_t colour) = 0;

    virtual bool RunProgram(const std::string& path, const std::string& arguments) = 0;
    virtual void ArmShutdownTimer(uint32_t intervalMs) = 0;
    virtual void Pause(uint32_t ms) = 0;  // blocks the user-interface thread
};

class TBridge {
public:
    TBridge(TBridgeState& state, TSettingsStore& settings, TBridgeHost& host)
        : m_state(state), m_settings(settings), m_host(host), m_codes(settings) {}

    TBridgeState& State() { return m_state; }

    // Start-up reading: the viewer and its path. True when the stored viewer is not exactly
    // "EZ": the window then checks the ProgDvb button, which runs ChooseViewer(true).
    bool ReadStartupSettings();

    // A CodeReceived message; `record` is the plug-in's code record.
    void CodeReceived(const uint8_t* record, int32_t repeatCount);
    void NewCode(const std::string& code, int32_t repeatCount);
    void ListRemClick();
    void DelCodeClick();

    // The user checked a viewer's radio button.
    void ChooseViewer(bool progDvb);
    // Refills the command list and the path box for a viewer.
    void ProgSet(bool progDvb);
    // The user chose an executable in the browse dialog.
    void PathChosen(const std::string& path);

private:
    void Dispatch(const std::string& code, int32_t repeatCount);

    TBridgeState& m_state;
    TSettingsStore& m_settings;
    TBridgeHost& m_host;
    TCodeTable m_codes;
};

// The code text of a record: bytes 64..187, up to the first zero byte.
std::string CodeText(const uint8_t* record);

}  // namespace zaprelay::bridge
