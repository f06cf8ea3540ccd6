// The bridge's main window and the program-wide state its handlers share.
#pragma once

#include "app/bridge/bridge.h"
#include "app/ini_settings_store.h"
#include "framework/win32/buttons.h"
#include "framework/win32/dialogs.h"
#include "framework/win32/edit.h"
#include "framework/win32/forms.h"
#include "framework/win32/group_box.h"
#include "framework/win32/label.h"
#include "framework/win32/list_box.h"
#include "framework/win32/menus.h"
#include "framework/win32/timer.h"
#include "plugins/include/dcd_exports.h"
#include "skin/controls/vx_skin_controls.h"
#include "skin/form/vx_skin_form.h"
#include "skin/store/vx_veneer.h"

#include <memory>
#include <string>

namespace zaprelay::app {

using namespace zaprelay::win32;

class TFRM;

// What the program sets up before it makes its window, undone as it ends: the ANSI code page,
// the graphics, the skin library's services and registries, and the layout's classes.
class TProgramSetup {
public:
    TProgramSetup();
    ~TProgramSetup();
    TProgramSetup(const TProgramSetup&) = delete;
    TProgramSetup& operator=(const TProgramSetup&) = delete;
};

using dcd::TPluginEntries;

// Program-wide state; it lives as long as the process.
extern TFRM* FRM;
extern std::string ProgramFolder;  // with a trailing separator
extern bool PluginLoaded;
extern TPluginEntries Plugin;
extern std::unique_ptr<TIniSettingsStore> Settings;  // opened when the main window is created
extern bridge::TBridgeState Bridge;                  // CurrentProg, ManagementMode, PendingCode, ShutdownPending

inline constexpr char kSettingsFileName[] = "Zaplink.ini";
inline constexpr char kPluginFileName[] = "DCD.dll";

class TFRM : public TForm, private bridge::TBridgeHost {
public:
    explicit TFRM(TComponent* owner);
    ~TFRM() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable();
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    // Registers the classes the layout names; call once before making the window.
    static void RegisterClasses();

    // Loads the plug-in from ProgramFolder; sets PluginLoaded. Runs before the window exists.
    static void SearchDCD();
    // Opens the plug-in with this window and starts it.
    void dStart();

    TLabel* Label2 = nullptr;
    TGroupBox* grList = nullptr;
    TListBox* ListRem = nullptr;
    TGroupBox* grDCD1 = nullptr;
    TLabel* Label16 = nullptr;
    TLabel* Label1 = nullptr;
    TEdit* dcdCode = nullptr;
    TButton* DelCode = nullptr;
    TButton* Remote = nullptr;
    TEdit* toFile = nullptr;
    TButton* Button1 = nullptr;
    skin::TVxSkinGroupBox* VxSkinGroupBox1 = nullptr;
    skin::TVxSkinRadioButton* b2 = nullptr;
    skin::TVxSkinRadioButton* b1 = nullptr;
    skin::TVxSkinGroupBox* sb1 = nullptr;
    skin::TVxSkinRadioButton* b3 = nullptr;
    skin::TVxSkinRadioButton* b4 = nullptr;
    TOpenDialog* OD1 = nullptr;
    TTimer* Timer1 = nullptr;
    skin::TVxVeneer* VxVeneer1 = nullptr;
    skin::TVxSkinForm* VxSkinForm1 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TMenuItem* S1 = nullptr;
    TMenuItem* N1 = nullptr;
    TMenuItem* Close1 = nullptr;

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void FormDestroy(TObject* sender);
    void toHide();
    void toShow();
    void b1Click(TObject* sender);
    void b2Click(TObject* sender);
    void b3Click(TObject* sender);
    void b4Click(TObject* sender);
    void Button1Click(TObject* sender);
    void RemoteClick(TObject* sender);
    void ListRemClick(TObject* sender);
    void DelCodeClick(TObject* sender);
    void Timer1Timer(TObject* sender);
    // The tray menu's "Show" and "Close", and the frame on its way to the tray.
    void S1Click(TObject* sender);
    void Close1Click(TObject* sender);
    void VxSkinForm1MinToTray(TObject* sender, bool& callDefault);
    void toDCD(TMessage& message);

private:
    void ChooseViewer(bool progDvb);
    void SetSettingsControlsEnabled(bool enabled);
    // Stops and closes the plug-in, once; ends the process when it does not return in time.
    void ReleasePlugin();

    // TBridgeHost
    int RowCount() const override;
    std::string RowText(int row) const override;
    int SelectedRow() const override;
    void SelectRow(int row) override;
    void SetRows(const std::vector<std::string>& rows) override;
    std::string Path() const override;
    void SetPath(const std::string& path) override;
    void ShowCode(const std::string& text, uint32_t colour) override;
    bool RunProgram(const std::string& path, const std::string& arguments) override;
    void ArmShutdownTimer(uint32_t intervalMs) override;
    void Pause(uint32_t ms) override;

    // Codes that come once Stop has returned are not acted on: the program is ending.
    enum class TPluginState { Running, Stopping, Stopped };

    std::unique_ptr<bridge::TBridge> m_bridge;
    bool m_restoringViewer = false;
    TPluginState m_pluginState = TPluginState::Running;
};

}  // namespace zaprelay::app
