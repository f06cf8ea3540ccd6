// The form component: dropped on a form, it takes over the window's frame. It subclasses the
// owner's window (TVxHook) and answers the non-client messages itself: it sizes and paints the
// frame, caption and caption buttons, tests the mouse against them, and adds the rolled-up and
// tray states to the usual ones, each of which an event may veto.
#pragma once

#include "framework/win32/controls.h"
#include "framework/win32/gdi_canvas.h"
#include "framework/win32/gdi_handles.h"
#include "framework/win32/utility_window.h"
#include "skin/form/form_options.h"
#include "skin/form/form_states.h"
#include "skin/form/form_types.h"
#include "skin/form/frame_geometry.h"
#include "skin/form/tray_icon.h"
#include "skin/form/vx_hook.h"

#include <memory>
#include <string>
#include <vector>

namespace zaprelay {
class TVxBitmap;
}

namespace zaprelay::win32 {
class TCustomForm;
class TPopupMenu;
class TMenuItem;
}  // namespace zaprelay::win32

namespace zaprelay::skin {

class TVxCustomForm : public TVxHook, private TFormStateHost {
public:
    // VXM_REFRESHFRAME's wParam that also puts the caption style back.
    static constexpr uintptr_t kRestoreCaptionStyle = 13;

    explicit TVxCustomForm(TComponent* owner);
    ~TVxCustomForm() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable();
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    // ---- published settings
    TVxAnimation* Animation() { return &m_animation; }
    TVxBlending* Blending() { return &m_blending; }
    TVxShadow* Shadow() { return &m_shadow; }
    TVxDragging* Dragging() { return &m_dragging; }
    TVxGravitation* Gravitation() { return &m_gravitation; }
    win32::TSizeConstraints* Constraints() { return &m_constraints; }
    TVxPopupMenuOptions* SystemMenuOptions() { return &m_systemMenuOptions; }
    TVxPopupMenuOptions* TrayMenuOptions() { return &m_trayMenuOptions; }

    TVxBorderIcons BorderIcons() const { return m_borderIcons; }
    void SetBorderIcons(TVxBorderIcons value);
    TVxBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TVxBorderStyle value);
    // What the default look writes in the caption; the owner's text once attached.
    const std::u16string& Caption() const { return m_caption; }
    void SetCaption(const std::u16string& value);
    win32::TPopupMenu* SystemMenuLink() const { return m_systemMenuLink; }
    void SetSystemMenuLink(win32::TPopupMenu* value);
    win32::TPopupMenu* TrayMenuLink() const { return m_trayMenuLink; }
    void SetTrayMenuLink(win32::TPopupMenu* value);
    bool MinimizeApplication() const override { return m_minimizeApplication; }
    void SetMinimizeApplication(bool value) { m_minimizeApplication = value; }
    TVxFormPerformance Performance() const { return m_performance; }
    void SetPerformance(TVxFormPerformance value) { m_performance = value; }
    bool StayOnTop() const { return m_stayOnTop; }
    void SetStayOnTop(bool value);
    bool StretchBackground() const { return m_stretchBackground; }
    void SetStretchBackground(bool value) { m_stretchBackground = value; }
    TVxWindowState WindowState() const;
    // Runs the operation of the new state; while loading it is kept for after loading.
    void SetWindowState(TVxWindowState value);

    TNotifyEvent OnCreate;
    TNotifyEvent OnPaint;  // draws the client background on Canvas() instead of PaintBackground
    TNotifyEvent OnResize;
    TVxFormActionEvent OnClose;
    TVxFormActionEvent OnMinimize;
    TVxFormActionEvent OnMaximize;
    TVxFormActionEvent OnRollup;
    TVxFormActionEvent OnMinToTray;

    // ---- operations (caption buttons, system menu, tray menu)
    void Close();
    void Maximize() { m_states.Maximize(); }
    void Minimize() { m_states.Minimize(); }
    void Rollup() { m_states.Rollup(); }
    void MinToTray() { m_states.MinToTray(); }
    void Restore() { m_states.Restore(); }
    void ContextHelp();
    void ShowSystemMenu();

    // Repaints the whole frame now.
    void RedrawFrame() override;
    // Makes the system measure the frame again, keeping the owner's client size.
    void RecalcFrame();

    // ---- what the frame shows now
    // The owner when it is a form; none otherwise (every form step is then skipped).
    win32::TCustomForm* OwnerForm() const;
    HWND Window() const;
    TPoint FormSize() const { return m_formSize; }
    bool FrameActive() const { return m_frameActive; }
    TVxFormRegion HotRegion() const { return m_hotRegion; }
    TVxFormRegion PressedRegion() const { return m_pressedRegion; }
    TVxWindowState PreviousState() const { return m_states.PreviousState(); }
    const TRect& NormalBounds() const { return m_states.NormalBounds(); }
    const TTrayIcon& TrayIcon() const { return m_trayIcon; }
    HWND NotifyWindow() const { return m_notifyWindow.Handle(); }
    // The built-in system menu as last built; none before the first.
    win32::TPopupMenu* SystemMenu() const { return m_systemMenu.get(); }
    // The canvas being painted on (the OnPaint handler draws here); none outside painting.
    win32::TGdiCanvas* Canvas() const { return m_canvas; }
    // Window points: relative to the window's top-left corner, frame included.
    TPoint ScreenToWindowPoint(TPoint screen) const;

    void AfterRead() override;
    void AfterWndProc(TMessage& message) override;
    void WindowHooked() override;
    void Notification(TComponent* component, TOperation operation) override;

    // ---- multiple documents
    // The window list of an MDI parent: after a separator, one item per child (the active one
    // checked) at the end of this item, rebuilt on activation and caption changes.
    win32::TMenuItem* WindowMenu() const { return m_windowMenu; }
    void SetWindowMenu(win32::TMenuItem* value);
    // The form component a form carries; none.
    static TVxCustomForm* FormComponentOf(const win32::TCustomForm* form);
    // The owner is an MDI child; and one this component maximized.
    bool MdiChild() const;
    bool MaximizedMdiChild() const;
    // For an MDI parent's component: the child whose component keeps it maximized; none.
    TVxCustomForm* MaximizedChild() const;
    // The owner is an MDI parent: the child with a maximized component (if any) follows the
    // parent's caption in brackets, as the system shows it.
    std::u16string CaptionSuffix() const;
    void RebuildWindowMenu();

    // ---- what a skinned frame replaces
    virtual void UpdateRegion();
    virtual win32::TRegionHandle CreateRegion();
    // The root of the built-in system menu.
    virtual std::unique_ptr<win32::TPopupMenu> CreateMenuItem();
    virtual TRect GetButtonRect(TVxBorderIcon button);
    virtual TRect GetClientArea();
    virtual TRect GetRollupRect();
    virtual TRect GetMinimizedRect();
    virtual TRect GetMaximizedRect();
    virtual TPoint GetMaxSize();
    virtual TPoint GetMinSize();
    virtual void PaintFrame(win32::TGdiCanvas& canvas);
    // Origin at the client's top-left corner.
    virtual void PaintBackground(win32::TGdiCanvas& canvas);
    virtual TVxFormRegion HitTest(int32_t x, int32_t y);
    virtual void MouseDown(win32::TMouseButton button, win32::TShiftState shift, int32_t x, int32_t y);
    virtual void MouseMove(win32::TShiftState shift, int32_t x, int32_t y);
    virtual void MouseUp(win32::TMouseButton button, win32::TShiftState shift, int32_t x, int32_t y);

protected:
    // The look of the frame without a skin; the painter and the hit test share it.
    TCaptionLayout DefaultLayout();
    // Paints the client background: a record's rectangle only, or all of it.
    void EraseBackground(HDC dc, const TRect* part);
    // A visible status bar's size grip, in window points; empty without one.
    TRect SizeGripRect() const;
    // HitTest inside the form; the shadow strips outside it answer as the right and bottom
    // edges (plain frame where those do not size).
    TVxFormRegion FrameRegion(int32_t x, int32_t y);
    bool Loading() const { return HasState(csLoading); }
    // The mouse went elsewhere mid-press: the drag and the press end where they are.
    virtual void EndFramePress();

private:
    // ---- TFormStateHost
    bool Allow(TFormAction action) override;
    void MarkHotRegionStale() override { m_hotRegion = khrSkinButton; }
    bool HasOwnerForm() const override { return OwnerForm() != nullptr; }
    bool OwnerModal() const override;
    bool HasOwnerWindow() const override;
    bool ShadowEnabled() const override { return m_shadow.Enabled(); }
    TRect OwnerBounds() const override;
    void SetFormBounds(const TRect& bounds) override;
    TRect MaximizedRect() const override;
    TRect MinimizedRect() const override;
    TRect RollupRect() const override;
    void RepaintOwner() override;
    void MdiChildStateChanged(bool maximized) override;
    void PostSystemMinimize() override;
    void MinimizeApp() override;
    std::u16string ApplicationTitle() const override;
    std::u16string OwnerCaption() const override;
    void HideForTray(bool application) override;
    void ShowFromTray(bool application) override;
    void AddTrayIcon(const std::u16string& tip) override;
    void RemoveTrayIcon() override;

    // ---- messages before the window's procedure
    void WMActivate(TMessage& m);
    void WMSetText(TMessage& m);
    void WMEraseBkgnd(TMessage& m);
    void WMWindowPosChanging(TMessage& m);
    void WMNCCalcSize(TMessage& m);
    void WMNCHitTest(TMessage& m);
    void WMNCPaint(TMessage& m);
    void WMNCActivate(TMessage& m);
    void WMNCMouseMove(TMessage& m);
    void WMNCLButtonDown(TMessage& m);
    void WMNCLButtonUp(TMessage& m);
    void WMNCLButtonDblClk(TMessage& m);
    void WMNCRButtonDown(TMessage& m);
    void WMNCRButtonUp(TMessage& m);
    void WMSysCommand(TMessage& m);
    void WMMouseMove(TMessage& m);
    void WMLButtonUp(TMessage& m);
    void WMCaptureLost(TMessage& m);
    void WMThemeChanged(TMessage& m);
    void VXMRefreshFrame(TMessage& m);
    void VXMMaximize(TMessage& m);
    void VXMInitState(TMessage& m);
    void VXMPaintToDC(TMessage& m);
    void WMMDIActivate(TMessage& m);
    void WMDestroy(TMessage& m);
    void WMClose(TMessage& m);
    void NotifyWindowMessage(TMessage& m);
    static constexpr UINT_PTR kTrayRetryTimer = 1;
    static constexpr UINT kTrayRetryMs = 500;

    // A frame mouse message's point (screen coordinates in lParam) as a window point.
    TPoint FramePoint(const TMessage& m) const;
    // A client mouse message's point (the mouse captured by a frame press) as a window point.
    TPoint ClientMessagePoint(const TMessage& m) const;
    // A button pressed or released on the frame; the message is consumed.
    void FrameButtonDown(win32::TMouseButton button, win32::TShiftState shift, TMessage& m);
    void FrameButtonUp(win32::TMouseButton button, TMessage& m);
    void WindowTextChanged();
    // ---- multiple documents
    // The owner's MDI children that show (a closing child is hidden before it goes).
    std::vector<win32::TCustomForm*> ShownMdiChildren() const;
    // The component of the MDI parent an MDI child lives in; none.
    TVxCustomForm* MdiParentComponent() const;
    // The parent's caption and window list follow a change of this child.
    void UpdateMdiParent();
    // A maximized child keeps filling the MDI client as the parent is sized.
    void FitMaximizedChild();
    // The MDI client of an MDI parent: no sunken edge, the form paints its background, and
    // the mouse goes through it to the form.
    void SubclassMdiClient();
    void UnsubclassMdiClient();
    static LRESULT CALLBACK
    MdiClientProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);
    void DropWindowItems();
    void RestoreCaptionStyle();
    // The application's minimize and restore reach every form that installed itself, last
    // installed first, then the handlers the application had before.
    void InstallApplicationHandlers();
    void RestoreApplicationHandlers();
    static void ApplicationEvent(TObject* sender, bool minimized);
    void ApplicationMinimized();
    void ApplicationRestored();
    void BuildSystemMenu();
    void SystemMenuClick(TObject* sender);
    void UpdateTrayIcon();
    HICON FormIcon() const;
    void OptionChanged(TObject* sender);
    void ConstraintsChanged();
    // The full window size; equal to the form size without a shadow.
    TPoint FullSize() const { return m_fullSize; }
    // The bitmap a paint of `size` goes to in the current mode: the shared one, the persistent
    // one (grown to size), or a new one in temporary. Without buffering, none (the screen)
    // unless unbufferedNeedsOne.
    TVxBitmap* PaintBuffer(TPoint size, bool unbufferedNeedsOne, std::unique_ptr<TVxBitmap>& temporary);
    void CopyFrameBands(const TVxBitmap& buffer);
    void PaintClient(win32::TGdiCanvas& canvas);
    void ReadOwnerSize();
    // ---- translucency, shadow, show animation
    bool EffectsEnabled() const;
    // Keeps the screen pixels under rect (screen coordinates), reusing the last capture where
    // the two overlap (the window covers the screen there).
    void GrabBackground(const TRect& rect);
    // Composes area of target over the background; target's (0, 0) lies at offset in it.
    void ComposeOverBackground(TVxBitmap& target, const TRect& area, TPoint offset);
    void PaintShadow(TVxBitmap& target);
    void BlendFrameBands(TVxBitmap& target);
    // part: of the client area, in a bitmap whose (0, 0) is the client's top-left corner.
    void BlendClient(TVxBitmap& target, const TRect& part);
    void PlayShowAnimation();
    void DrawChildrenInto(TVxBitmap& target);
    void MaskOutsideShape(TVxBitmap& target);
    // Where the window snaps and where minimized forms line up: the parent's client area for a
    // child window, else the monitor's work area (the whole monitor when staying on top).
    TRect GravitationArea() const;
    void FinishDrag(int32_t x, int32_t y);
    // The outline leaves the desktop and the window paints again.
    void DropOutline();
    // XOR outline on the desktop: the previous one goes, rect (unless empty) comes.
    void DrawDragOutline(const TRect& rect);

    TVxAnimation m_animation;
    TVxBlending m_blending;
    TVxShadow m_shadow;
    TVxDragging m_dragging;
    TVxGravitation m_gravitation;
    win32::TSizeConstraints m_constraints;
    TVxPopupMenuOptions m_systemMenuOptions;
    TVxPopupMenuOptions m_trayMenuOptions;

    TVxBorderIcons m_borderIcons = kDefaultBorderIcons;
    TVxBorderStyle m_borderStyle = kbsStandard;
    std::u16string m_caption;
    std::u16string m_lastText;  // the window text last seen in WM_SETTEXT
    bool m_textChanging = false;
    win32::TPopupMenu* m_systemMenuLink = nullptr;
    win32::TPopupMenu* m_trayMenuLink = nullptr;
    bool m_minimizeApplication = true;
    TVxFormPerformance m_performance = ksfpNoBuffer;
    bool m_stayOnTop = false;
    bool m_stretchBackground = false;

    TFormStates m_states{*this};
    TPoint m_formSize;
    TPoint m_fullSize;
    bool m_frameActive = false;
    bool m_paintingEnabled = false;
    TVxFormRegion m_pressedRegion = khrNone;
    TVxFormRegion m_hotRegion = khrNone;
    win32::TShiftState m_pressedShift = 0;
    TPoint m_dragStart;
    TPoint m_lastPoint;
    TPoint m_menuPosition;  // (0, 0): none
    bool m_dragRunning = false;
    bool m_borderDrag = false;    // the drag shows an outline until the release
    bool m_dragApplying = false;  // the release moves the window to the outline
    TRect m_outline;              // on the desktop, in screen coordinates; empty for none
    // Our own SetCapture or ReleaseCapture runs: the capture changing then ends no press.
    bool m_ownCaptureChange = false;
    bool m_menuShowing = false;

    win32::TUtilityWindow m_notifyWindow;
    TTrayIcon m_trayIcon;
    std::unique_ptr<win32::TPopupMenu> m_systemMenu;
    std::unique_ptr<TVxBitmap> m_persistentBuffer;
    std::unique_ptr<TVxBitmap> m_background;  // the screen behind the window
    TRect m_backgroundRect;                   // where it was captured, screen coordinates
    std::unique_ptr<TVxBitmap> m_animationBitmap;
    bool m_animating = false;
    bool m_recalcRunning = false;
    win32::TGdiCanvas* m_canvas = nullptr;

    bool m_inApplicationHandler = false;

    win32::TMenuItem* m_windowMenu = nullptr;
    std::vector<std::unique_ptr<win32::TMenuItem>> m_windowItems;  // the list under WindowMenu
    HWND m_mdiClient = nullptr;                                    // subclassed
};

}  // namespace zaprelay::skin
