#include "app/main.h"

#include "app/call_deadline.h"
#include "app/system_actions.h"
#include "framework/rtl/ansi_text.h"
#include "framework/rtl/class_registry.h"
#include "framework/win32/application.h"
#include "framework/win32/dib_storage.h"
#include "plugins/include/dcd_plugin.h"
#include "skin/form/window_skin_announcer.h"
#include "skin/form/window_skin_host.h"
#include "skin/store/skin_classes.h"

namespace zaprelay::app {

TFRM* FRM = nullptr;
std::string ProgramFolder;
bool PluginLoaded = false;
TPluginEntries Plugin;
std::unique_ptr<TIniSettingsStore> Settings;
bridge::TBridgeState Bridge;

namespace {

constexpr TColor kLockedListColour = clGray;
constexpr DWORD kPluginReleaseLimitMs = 5000;
constexpr UINT kStuckPluginExitCode = 1;

}  // namespace

TProgramSetup::TProgramSetup() {
    SetAnsiCodePage(GetACP());
    InstallWin32Graphics();
    // The skin reader finds object kinds by their stored class names and skin files by their
    // extensions until the program ends.
    skin::InstallSkinObjectServices();
    skin::InstallWindowSkinAnnouncer();
    skin::RegisterSkinClasses();
    TFRM::RegisterClasses();
}

TProgramSetup::~TProgramSetup() {
    skin::UnregisterSkinClasses();
}

const TClassInfo& TFRM::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TFRM, TForm>("TFRM");
        TClassBuilder<TFRM>(i)
            .Method<void(TObject*)>("FormCreate", &TFRM::FormCreate)
            .Method<void(TObject*)>("FormShow", &TFRM::FormShow)
            .Method<void(TObject*)>("FormDestroy", &TFRM::FormDestroy)
            .Method<void(TObject*)>("b1Click", &TFRM::b1Click)
            .Method<void(TObject*)>("b2Click", &TFRM::b2Click)
            .Method<void(TObject*)>("b3Click", &TFRM::b3Click)
            .Method<void(TObject*)>("b4Click", &TFRM::b4Click)
            .Method<void(TObject*)>("Button1Click", &TFRM::Button1Click)
            .Method<void(TObject*)>("RemoteClick", &TFRM::RemoteClick)
            .Method<void(TObject*)>("ListRemClick", &TFRM::ListRemClick)
            .Method<void(TObject*)>("DelCodeClick", &TFRM::DelCodeClick)
            .Method<void(TObject*)>("Timer1Timer", &TFRM::Timer1Timer)
            .Method<void(TObject*)>("S1Click", &TFRM::S1Click)
            .Method<void(TObject*)>("Close1Click", &TFRM::Close1Click)
            .Method<void(TObject*, bool&)>("VxSkinForm1MinToTray", &TFRM::VxSkinForm1MinToTray);
        return i;
    }();
    return info;
}

const TMessageTable& TFRM::StaticMessageTable() {
    static const TMessageTable table = TMessageTable::For<TFRM, TForm>().On<&TFRM::toDCD>(dcd::kCodeReceived);
    return table;
}

void TFRM::RegisterClasses() {
    for (const TClassInfo* c :
         {&TLabel::StaticClassInfo(), &TEdit::StaticClassInfo(), &TListBox::StaticClassInfo(),
          &TGroupBox::StaticClassInfo(), &TRadioButton::StaticClassInfo(), &TButton::StaticClassInfo(),
          &TTimer::StaticClassInfo(), &TOpenDialog::StaticClassInfo(), &TPopupMenu::StaticClassInfo(),
          &TMenuItem::StaticClassInfo(), &skin::TVxVeneer::StaticClassInfo(), &skin::TVxSkinForm::StaticClassInfo(),
          &skin::TVxSkinGroupBox::StaticClassInfo(), &skin::TVxSkinRadioButton::StaticClassInfo()}) {
        RegisterClass(*c);
    }
}

TFRM::TFRM(TComponent* owner) : TForm(owner) {
    FRM = this;
    InitializeForm([this] {
        Bind(Label2, "Label2");
        Bind(grList, "grList");
        Bind(ListRem, "ListRem");
        Bind(grDCD1, "grDCD1");
        Bind(Label16, "Label16");
        Bind(Label1, "Label1");
        Bind(dcdCode, "dcdCode");
        Bind(DelCode, "DelCode");
        Bind(Remote, "Remote");
        Bind(toFile, "toFile");
        Bind(Button1, "Button1");
        Bind(VxSkinGroupBox1, "VxSkinGroupBox1");
        Bind(b2, "b2");
        Bind(b1, "b1");
        Bind(sb1, "sb1");
        Bind(b3, "b3");
        Bind(b4, "b4");
        Bind(OD1, "OD1");
        Bind(Timer1, "Timer1");
        Bind(VxVeneer1, "VxVeneer1");
        Bind(VxSkinForm1, "VxSkinForm1");
        Bind(PopupMenu1, "PopupMenu1");
        Bind(S1, "S1");
        Bind(N1, "N1");
        Bind(Close1, "Close1");
    });
}

TFRM::~TFRM() {
    if (FRM == this) {
        FRM = nullptr;
    }
}

void TFRM::SearchDCD() {
    PluginLoaded = false;
    HMODULE library = LoadLibraryA((ProgramFolder + kPluginFileName).c_str());
    if (library == nullptr) {
        return;
    }
    TPluginEntries entries;
    // A library without all five exports cannot be driven; it counts as not found.
    if (!entries.Resolve(library)) {
        FreeLibrary(library);
        return;
    }
    Plugin = entries;
    PluginLoaded = true;  // the library stays loaded until the process ends
}

void TFRM::dStart() {
    if (PluginLoaded) {
        Plugin.Open(0, static_cast<int32_t>(reinterpret_cast<uintptr_t>(Handle())), 0);
        Plugin.Start();
    }
}

void TFRM::FormCreate(TObject*) {
    Settings = std::make_unique<TIniSettingsStore>(ProgramFolder + kSettingsFileName);
    m_bridge = std::make_unique<bridge::TBridge>(Bridge, *Settings, static_cast<bridge::TBridgeHost&>(*this));
    try {
        if (m_bridge->ReadStartupSettings()) {
            b3->SetChecked(true);
        }
    } catch (...) {
        // A refused write must not leave the window unlocked with codes being learned.
        toHide();
        throw;
    }
    toHide();
}

void TFRM::FormShow(TObject*) {
    SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS);
}

void TFRM::FormDestroy(TObject*) {
    ReleasePlugin();
}

void TFRM::ReleasePlugin() {
    // Once, whether the power-off countdown ran out first or the program ended during it.
    if (!PluginLoaded || m_pluginState != TPluginState::Running) {
        return;
    }
    m_pluginState = TPluginState::Stopping;
    // A plug-in that never returns must not keep the program alive out of sight (nor the
    // computer on): every setting is saved by now, so the process ends without it, its tray
    // icon taken off first since it cannot remove it itself.
    const skin::TTrayIcon* icon = VxSkinForm1 != nullptr ? &VxSkinForm1->TrayIcon() : nullptr;
    const bool powerOff = Bridge.ShutdownPending;
    TCallDeadline deadline(kPluginReleaseLimitMs, [icon, powerOff] {
        if (icon != nullptr) {
            icon->Withdraw();
        }
        if (powerOff) {
            ShutdownComputer();
        }
        TerminateProcess(GetCurrentProcess(), kStuckPluginExitCode);
    });
    Plugin.Stop();
    m_pluginState = TPluginState::Stopped;
    Plugin.Close();
}

void TFRM::SetSettingsControlsEnabled(bool enabled) {
    for (TControl* control :
         {static_cast<TControl*>(Remote), static_cast<TControl*>(toFile), static_cast<TControl*>(DelCode),
          static_cast<TControl*>(dcdCode), static_cast<TControl*>(Button1)}) {
        control->SetEnabled(enabled);
    }
}

void TFRM::toHide() {
    sb1->SetEnabled(false);
    grDCD1->SetEnabled(false);
    grList->SetEnabled(false);
    ListRem->Font()->SetColor(kLockedListColour);
    SetSettingsControlsEnabled(false);
    Bridge.ManagementMode = true;
}

void TFRM::toShow() {
    sb1->SetEnabled(true);
    grDCD1->SetEnabled(true);
    grList->SetEnabled(true);
    ListRem->Font()->SetColor(clBlack);
    SetSettingsControlsEnabled(true);
    Bridge.ManagementMode = false;
}

void TFRM::b1Click(TObject*) {
    toShow();
}

void TFRM::b2Click(TObject*) {
    toHide();
}

void TFRM::b3Click(TObject*) {
    ChooseViewer(true);
}

void TFRM::b4Click(TObject*) {
    ChooseViewer(false);
}

void TFRM::ChooseViewer(bool progDvb) {
    if (m_restoringViewer || !m_bridge) {
        return;
    }
    try {
        m_bridge->ChooseViewer(progDvb);
    } catch (...) {
        // The choice did not take: the buttons show the viewer still in use.
        m_restoringViewer = true;
        (Bridge.CurrentProg == bridge::kMyTheatre ? b4 : b3)->SetChecked(true);
        m_restoringViewer = false;
        throw;
    }
}

void TFRM::Button1Click(TObject*) {
    OD1->SetFileName(toFile->Text());
    if (!OD1->Execute()) {
        return;
    }
    m_bridge->PathChosen(AnsiFromWide(OD1->FileName()));
}

void TFRM::RemoteClick(TObject*) {
    if (PluginLoaded) {
        Plugin.Setup();
    }
}

void TFRM::ListRemClick(TObject*) {
    m_bridge->ListRemClick();
}

void TFRM::DelCodeClick(TObject*) {
    m_bridge->DelCodeClick();
}

void TFRM::Timer1Timer(TObject*) {
    Timer1->SetEnabled(false);
    if (!Bridge.ShutdownPending) {
        return;
    }
    ReleasePlugin();
    ShutdownComputer();
    // Freed once this event has returned (the timer is the window's own); its destroy handler
    // finds the plug-in released already. Should the system refuse to power off, the program
    // ends here all the same.
    Release();
    Application()->Terminate();
}

void TFRM::S1Click(TObject*) {
    VxSkinForm1->Restore();
}

void TFRM::Close1Click(TObject*) {
    Close();
}

void TFRM::VxSkinForm1MinToTray(TObject*, bool&) {
    // A hidden window always listens for codes: options mode ends on the way to the tray.
    b2->SetChecked(true);
    // The focus comes back to the active control when the window is shown again; a radio
    // button that gets the focus checks itself, so it must not be the options button.
    if (b2->CanFocus()) {
        SetActiveControl(b2);
    }
}

void TFRM::toDCD(TMessage& message) {
    if (m_bridge && m_pluginState != TPluginState::Stopped) {
        m_bridge->CodeReceived(reinterpret_cast<const uint8_t*>(message.WParam), static_cast<int32_t>(message.LParam));
    }
}

int TFRM::RowCount() const {
    return ListRem->Items()->Count();
}

std::string TFRM::RowText(int row) const {
    return AnsiFromWide(ListRem->Items()->Get(row));
}

int TFRM::SelectedRow() const {
    return ListRem->ItemIndex();
}

void TFRM::SelectRow(int row) {
    ListRem->SetItemIndex(row);
}

void TFRM::SetRows(const std::vector<std::string>& rows) {
    TStrings* items = ListRem->Items();
    items->BeginUpdate();
    items->Clear();
    for (const std::string& row : rows) {
        items->Add(WideFromAnsi(row));
    }
    items->EndUpdate();
}

std::string TFRM::Path() const {
    return AnsiFromWide(toFile->Text());
}

void TFRM::SetPath(const std::string& path) {
    toFile->SetText(WideFromAnsi(path));
}

void TFRM::ShowCode(const std::string& text, uint32_t colour) {
    dcdCode->Font()->SetColor(static_cast<TColor>(colour));
    dcdCode->SetText(WideFromAnsi(text));
}

bool TFRM::RunProgram(const std::string& path, const std::string& arguments) {
    return app::RunProgram(path, arguments);
}

void TFRM::ArmShutdownTimer(uint32_t intervalMs) {
    // A second shutdown command neither restarts nor extends the countdown.
    if (Timer1->Enabled()) {
        return;
    }
    Timer1->SetInterval(static_cast<int32_t>(intervalMs));
    Timer1->SetEnabled(true);
}

void TFRM::Pause(uint32_t ms) {
    Sleep(ms);
}

}  // namespace zaprelay::app
