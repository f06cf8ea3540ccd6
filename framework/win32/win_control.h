// Controls with a window of their own: the handle made on demand, destroyed and made again
// with the same state, children in z-order and tab order, keyboard focus, and painting of
// the window-less children on the window.
#pragma once

#include "framework/rtl/exceptions.h"
#include "framework/win32/controls.h"
#include "framework/win32/gdi_handles.h"

#include <string>
#include <vector>

namespace zaprelay::win32 {

class EOutOfResources : public Exception {
    using Exception::Exception;
};

// What CreateWnd builds a window from. Controls over a system window class (EDIT, BUTTON,
// LISTBOX) name it as SystemClass; the framework registers a class of its own on top of it.
struct TCreateParams {
    std::u16string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND WndParent = nullptr;
    std::u16string WinClassName;
    const wchar_t* SystemClass = nullptr;
    UINT ClassStyle = CS_DBLCLKS;
    HCURSOR ClassCursor = nullptr;  // none: the arrow
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable();
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    // The control of a window made by the framework; none for other windows.
    static TWinControl* FromHandle(HWND window);

    // ---- the window
    // The window, made now (with its parents') when there is none yet.
    HWND Handle();
    // The window when it exists; none otherwise. Never makes one.
    HWND WindowHandle() const { return m_handle; }
    bool HandleAllocated() const { return m_handle != nullptr; }
    void HandleNeeded();
    // Destroys the window and its children's, keeping everything they show; the window is made
    // again when next needed (at once when the control is showing).
    void RecreateWnd();
    void DestroyHandle();
    // The window's parent when the control has no parent control (a form's owner window, or a
    // window of another program).
    HWND ParentWindow() const { return m_parentWindow; }
    void SetParentWindow(HWND window);

    void WndProc(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;

    // ---- children
    int ControlCount() const { return static_cast<int>(m_controls.size()); }
    TControl* Controls(int index) const { return m_controls[static_cast<std::size_t>(index)]; }
    bool ContainsControl(const TControl* control) const;
    // The child at a client point (the topmost; window-less and windowed), or none.
    TControl* ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls = false) const;
    // Sends the message to every child until one gives a non-zero result.
    void Broadcast(TMessage& message);
    // Delivers the message to the child that asked for the mouse capture, or to the
    // window-less child under the point; true when one took it.
    bool IsControlMouseMsg(TMessage& message);

    // ---- focus and tab order
    int32_t TabOrder() const;
    void SetTabOrder(int32_t value);
    bool TabStop() const { return m_tabStop; }
    void SetTabStop(bool value);
    virtual bool CanFocus() const;
    bool Focused() const;
    virtual void SetFocus();
    // The windowed children in tab order.
    std::vector<TWinControl*> TabList() const;
    // The next control after current in tab order among this control's descendants,
    // wrapping round; none when there is none.
    TWinControl* FindNextControl(TWinControl* current, bool forward, bool checkTabStop, bool checkParent) const;
    void SelectNext(TWinControl* current, bool forward, bool checkTabStop);

    // ---- painting
    void Invalidate() override;
    void Update() override;
    // Paints the window-less children, from first on, into dc (client coordinates).
    void PaintControls(HDC dc, TControl* first);
    void PaintHandler(TMessage& message);

    void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;
    TRect ClientRect() const override;
    TPoint ClientOrigin() const override;
    bool Showing() const override;
    std::u16string Text() const override;
    void SetText(const std::u16string& text) override;
    void AfterRead() override;
    // The child controls owned by root, in z-order: a layout nests them in this one's record.
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

protected:
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateWindowHandle(const TCreateParams& params);
    virtual void DestroyWindowHandle();
    // Makes the window; descendants extend it to pass their state to the new window.
    virtual void CreateWnd();
    // The bounds become where the window is (in its parent's client area when a child).
    void TakeWindowBounds();
    // Destroys the window; descendants extend it to keep state the window held.
    virtual void DestroyWnd();
    virtual void CreateHandle();
    // The window's paint, before the window-less children are painted over it.
    virtual void PaintWindow(HDC dc);
    virtual void DoEnter();
    virtual void DoExit();
    virtual bool DoKeyDown(TMessage& message);
    virtual void KeyDown(uint16_t& key, TShiftState shift);
    virtual void KeyUp(uint16_t& key, TShiftState shift);
    virtual void KeyPress(char16_t& key);
    void BoundsChanged() override;
    // The window's show state follows Visible and the parent's.
    void UpdateShowing();
    // A window without a parent control that still shows (a form, or a control placed in
    // another program's window).
    virtual bool IsTopLevel() const { return m_parentWindow != nullptr; }
    // Tells every child of a change it may take over (CM_PARENTFONTCHANGED, ...).
    void NotifyControls(uint32_t msg);
    // Moves the window into its place in its parent's z-order and tab order.
    void UpdateControlState();

    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);

    void WMPaint(TMessage& m);
    void WMEraseBkgnd(TMessage& m);
    void WMCommand(TMessage& m);
    void WMNotify(TMessage& m);
    void WMCtlColor(TMessage& m);
    void WMDrawItem(TMessage& m);
    void WMMeasureItem(TMessage& m);
    void WMSetCursor(TMessage& m);
    void WMSetFocus(TMessage& m);
    void WMKillFocus(TMessage& m);
    void WMKeyDown(TMessage& m);
    void WMKeyUp(TMessage& m);
    void WMChar(TMessage& m);
    void WMSysKeyDown(TMessage& m);
    void WMWindowPosChanged(TMessage& m);
    void WMSize(TMessage& m);
    void WMSetText(TMessage& m);
    void WMNCDestroy(TMessage& m);
    void WMMouseLeave(TMessage& m);
    void WMSysColorChange(TMessage& m);
    void CMEnter(TMessage& m);
    void CMExit(TMessage& m);
    void CMDialogKey(TMessage& m);
    void CMDialogChar(TMessage& m);
    void CMFocusChanged(TMessage& m);
    void CMEnabledChanged(TMessage& m);
    void CMVisibleChanged(TMessage& m);
    void CMShowingChanged(TMessage& m);
    void CMFontChanged(TMessage& m);
    void CMColorChanged(TMessage& m);
    void CMSysColorChange(TMessage& m);
    void CMRecreateWnd(TMessage& m);
    void CNKeyDown(TMessage& m);
    void CNChar(TMessage& m);
    void CNCtlColor(TMessage& m);
    void CMShowHintChanged(TMessage& m);
    void CMBiDiModeChanged(TMessage& m);

    // The brush of the control's colour, for painting its background and answering
    // WM_CTLCOLOR* (made on first use, replaced when the colour changes).
    HBRUSH Brush();

private:
    friend class TControl;
    friend LRESULT CALLBACK FrameworkWndProc(HWND, UINT, WPARAM, LPARAM);
    static void RegisterWindowClass(const TCreateParams& params, WNDPROC& defaultProc);

    HWND m_handle = nullptr;
    HWND m_parentWindow = nullptr;
    WNDPROC m_defWndProc = nullptr;
    std::vector<TControl*> m_controls;    // z-order, bottom first
    std::vector<TWinControl*> m_tabList;  // windowed children in tab order
    bool m_tabStop = false;
    bool m_showing = false;
    int32_t m_readTabOrder = -1;  // the tab order read from a stream, applied after reading
    TBrushHandle m_brush;
    TColor m_brushColor = 0;
};

}  // namespace zaprelay::win32
