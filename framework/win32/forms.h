// Forms: top-level windows built from a layout resource, with the close protocol, modal
// showing, keyboard focus among their controls and dialog keys.
#pragma once

#include "framework/win32/custom_control.h"
#include "framework/win32/icon.h"

#include <functional>
#include <string_view>
#include <vector>

namespace zaprelay::win32 {

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = uint32_t;  // bit n = TBorderIcon n
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter,
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
extern const TEnumInfo kFormBorderStyleNames;
extern const TEnumInfo kBorderIconNames;
extern const TEnumInfo kFormStyleNames;
extern const TEnumInfo kPositionNames;
extern const TEnumInfo kWindowStateNames;

using TModalResult = int32_t;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = IDOK;
inline constexpr TModalResult mrCancel = IDCANCEL;
inline constexpr TModalResult mrAbort = IDABORT;
inline constexpr TModalResult mrRetry = IDRETRY;
inline constexpr TModalResult mrIgnore = IDIGNORE;
inline constexpr TModalResult mrYes = IDYES;
inline constexpr TModalResult mrNo = IDNO;
inline constexpr TModalResult mrAll = mrNo + 1;

using TCloseEvent = TEvent<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = TEvent<void(TObject* sender, bool& canClose)>;
// The key message (WM_KEYDOWN or WM_SYSKEYDOWN) and whether it was used.
using TShortCutEvent = TEvent<void(TMessage& message, bool& handled)>;

class TCustomForm : public TCustomControl {
public:
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable();
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    // ---- window
    TFormBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TFormBorderStyle value);
    TBorderIcons BorderIcons() const { return m_borderIcons; }
    void SetBorderIcons(TBorderIcons value);
    TFormStyle FormStyle() const { return m_formStyle; }
    void SetFormStyle(TFormStyle value);
    TPosition Position() const { return m_position; }
    void SetPosition(TPosition value) { m_position = value; }
    TWindowState WindowState() const;
    void SetWindowState(TWindowState value);
    TIcon* Icon() { return &m_icon; }
    bool KeyPreview() const { return m_keyPreview; }
    void SetKeyPreview(bool value) { m_keyPreview = value; }
    bool AutoScroll() const { return m_autoScroll; }
    void SetAutoScroll(bool value);
    // Kept as read so layouts round-trip; the form does not scale.
    int32_t PixelsPerInch() const { return m_pixelsPerInch; }
    void SetPixelsPerInch(int32_t value) { m_pixelsPerInch = value; }
    int32_t TextHeight() const { return m_textHeight; }
    void SetTextHeight(int32_t value) { m_textHeight = value; }
    bool OldCreateOrder() const { return m_oldCreateOrder; }
    void SetOldCreateOrder(bool value) { m_oldCreateOrder = value; }

    void SetClientSize(int32_t width, int32_t height) override;
    TRect ClientRect() const override;
    TPoint ClientOrigin() const override;

    // ---- showing and closing
    void Show();
    void Hide();
    // Asks OnCloseQuery, then OnClose decides: hide, free, minimize or nothing. Closing the
    // application's main form ends the application. A modal form ends its modal loop with
    // mrCancel instead.
    void Close();
    virtual bool CloseQuery();
    // OnCloseQuery, then OnClose with action as its proposal: false when the form stays
    // (refused, or caNone). What Close asks before it acts.
    bool AskToClose(TCloseAction& action);
    // Frees the form once the messages already queued for it are handled.
    void Release();
    // Shows the form with the other forms disabled until ModalResult is set; returns it.
    TModalResult ShowModal();
    TModalResult ModalResult() const { return m_modalResult; }
    void SetModalResult(TModalResult value) { m_modalResult = value; }
    bool Modal() const { return m_modal; }
    bool Active() const { return m_active; }

    // ---- focus
    TWinControl* ActiveControl() const { return m_activeControl; }
    void SetActiveControl(TWinControl* control);
    // Moves the keyboard focus to a control of this form (remembered until the form is
    // active when it is not).
    void FocusControl(TWinControl* control);
    // Called when a control of the form got the focus: CM_EXIT to the controls it left,
    // CM_ENTER to those it entered.
    void SetFocusedControl(TWinControl* control);
    // The control is losing the focus (disabled, hidden or going): the form takes it.
    void DefocusControl(TWinControl* control);

    // ---- multiple documents
    // An fsMDIForm has an MDI client window filling its client area; its fsMDIChild forms are
    // windows inside that client, made from their layouts as any form.
    // The MDI client window of an fsMDIForm; none otherwise or before the window exists.
    HWND ClientHandle() const { return m_clientHandle; }
    // The MDI form an fsMDIChild lives in; none for other forms.
    TCustomForm* MDIParent() const;
    // The children of an fsMDIForm, in the order they were made.
    std::vector<TCustomForm*> MDIChildren() const;
    TCustomForm* ActiveMDIChild() const;
    // Arranges the children overlapping from the client's top-left corner.
    void Cascade();

    // ---- keyboard
    void KeyDownPreview(uint16_t& key, TShiftState shift);
    void KeyPressPreview(char16_t& key);
    // OnShortCut, for a key message about to go to a control of this form.
    virtual bool IsShortCut(TMessage& message);

    // ---- layout
    // Reads the layout resource named after the form's class (and its ancestors' first,
    // when they have one), binds components with bind, then raises OnCreate and shows the
    // form when the layout made it visible. Call it at the end of a form class's constructor.
    void InitializeForm(const std::function<void()>& bind = {});
    // A component of the form by name, of type T; EComponentError when missing.
    template <typename T>
    void Bind(T*& field, std::string_view name) {
        field = dynamic_cast<T*>(FindComponent(name));
        if (field == nullptr) {
            MissingComponent(name);
        }
    }

    void AfterRead() override;
    // Raises OnDestroy (once) while the form is still whole.
    void BeforeDestruction() override;
    // While the layout is read, a name that another component of the owner has already
    // becomes name_1, name_2, ... (a second form of the same class).
    void SetName(const std::string& name) override;
    // The controls on the form, then the form's components that are no controls.
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
    void Notification(TComponent* component, TOperation operation) override;

    TNotifyEvent OnActivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnCreate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnHide;
    TNotifyEvent OnPaint;
    TShortCutEvent OnShortCut;
    TNotifyEvent OnShow;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    // An MDI child goes through its client, which activates the next child.
    void DestroyWindowHandle() override;
    // An MDI form's unhandled messages go to the system's frame procedure, an MDI child's to
    // the child procedure.
    void DefaultHandler(TMessage& message) override;
    void Paint() override;
    bool IsTopLevel() const override { return true; }
    virtual void DoCreate();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& action);
    // Applies the icon to the window (big and small).
    void UpdateIcon();

    void WMClose(TMessage& m);
    void WMActivate(TMessage& m);
    void WMSysCommand(TMessage& m);
    void WMGetMinMaxInfo(TMessage& m);
    void WMSize(TMessage& m);
    void WMHScroll(TMessage& m);
    void WMVScroll(TMessage& m);
    void CMShowingChanged(TMessage& m);
    // A window shown by other code than Visible (a frame component restoring it from the tray)
    // is a showing too: OnShow runs.
    void WMWindowPosChanged(TMessage& m);
    void CMDialogKey(TMessage& m);
    void CMRelease(TMessage& m);
    void CMControlListChange(TMessage& m);
    void CMActivate(TMessage& m);
    // An MDI child is activated and deactivated by its client window, not by WM_ACTIVATE.
    void WMMDIActivate(TMessage& m);

private:
    [[noreturn]] static void MissingComponent(std::string_view name);
    DWORD WindowStyle() const;
    DWORD WindowExStyle() const;
    // The frame's thickness on each side (caption included at the top) for the current
    // styles, as positive numbers.
    RECT Frame() const;
    // Places a form that is about to be shown by its Position.
    void ApplyPosition();
    void UpdateScrollRange();
    void ScrollBy(int bar, int code, int thumb);
    // The client window an fsMDIChild is created in.
    HWND MDIClientForChild() const;
    void CreateMDIClient();
    // OnActivate or OnDeactivate, and the focus to the active control: true when it was set.
    bool Activated(bool active, bool minimized);

    TFormBorderStyle m_borderStyle = bsSizeable;
    TBorderIcons m_borderIcons = (1u << biSystemMenu) | (1u << biMinimize) | (1u << biMaximize);
    TFormStyle m_formStyle = fsNormal;
    TPosition m_position = poDesigned;
    TWindowState m_windowState = wsNormal;
    TIcon m_icon;
    bool m_keyPreview = false;
    bool m_autoScroll = false;
    int32_t m_pixelsPerInch = 96;
    int32_t m_textHeight = 13;
    bool m_oldCreateOrder = false;
    int32_t m_clientWidth = -1;  // asked for before the window exists
    int32_t m_clientHeight = -1;
    TPoint m_scroll{0, 0};
    TModalResult m_modalResult = mrNone;
    bool m_modal = false;
    bool m_active = false;
    bool m_positioned = false;
    bool m_readingLayout = false;
    bool m_destroyRaised = false;
    bool m_showingByVisible = false;  // CMShowingChanged is showing the window; it runs OnShow
    TWinControl* m_activeControl = nullptr;
    TWinControl* m_focusedControl = nullptr;
    HWND m_clientHandle = nullptr;
};

// A form class of the program: publishes the form properties and events.
class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable() { return TCustomForm::StaticMessageTable(); }
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }
};

}  // namespace zaprelay::win32
