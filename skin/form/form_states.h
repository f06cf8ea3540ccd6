// The window states of a form component (normal, maximized, minimized, rolled up, in the tray)
// and the operations between them, apart from the window: the form implements TFormStateHost.
#pragma once

#include "framework/graphics/geometry.h"
#include "skin/form/form_types.h"

#include <optional>
#include <string>

namespace zaprelay::skin {

// The vetoable event each operation asks first.
enum class TFormAction { Close, Minimize, Maximize, Rollup, MinToTray };

class TFormStateHost {
public:
    virtual ~TFormStateHost() = default;

    // False cancels the operation (the event's CallDefault).
    virtual bool Allow(TFormAction action) = 0;
    // The hot frame region is stale: the next mouse move repaints the frame.
    virtual void MarkHotRegionStale() = 0;

    virtual bool HasOwnerForm() const = 0;
    virtual bool OwnerModal() const = 0;
    // The window has an owner window (the application's hidden one for an ordinary form).
    virtual bool HasOwnerWindow() const = 0;
    virtual bool MinimizeApplication() const = 0;
    virtual bool ShadowEnabled() const = 0;

    virtual TRect OwnerBounds() const = 0;
    virtual void SetFormBounds(const TRect& bounds) = 0;  // then paints what is pending
    virtual TRect MaximizedRect() const = 0;
    virtual TRect MinimizedRect() const = 0;
    virtual TRect RollupRect() const = 0;
    virtual void RepaintOwner() = 0;
    virtual void RedrawFrame() = 0;
    // An MDI child was maximized, or left the maximized state or minimized: its frame, its
    // parent's client and caption follow. Nothing for other forms.
    virtual void MdiChildStateChanged(bool maximized) = 0;

    virtual void PostSystemMinimize() = 0;  // SC_MINIMIZE to the window itself
    virtual void MinimizeApp() = 0;
    // Into the tray: with the application, hide its main window; else hide the form's window.
    // The tip is the application's title or the owner's caption.
    virtual std::u16string ApplicationTitle() const = 0;
    virtual std::u16string OwnerCaption() const = 0;
    virtual void HideForTray(bool application) = 0;
    virtual void ShowFromTray(bool application) = 0;  // restore, show, bring to the foreground
    virtual void AddTrayIcon(const std::u16string& tip) = 0;
    virtual void RemoveTrayIcon() = 0;
};

class TFormStates {
public:
    explicit TFormStates(TFormStateHost& host) : m_host(host) {}

    TVxWindowState State() const { return m_state; }
    TVxWindowState PreviousState() const { return m_previous; }
    void SetPreviousState(TVxWindowState state) { m_previous = state; }
    const TRect& NormalBounds() const { return m_normalBounds; }
    void SetNormalBounds(const TRect& bounds) { m_normalBounds = bounds; }

    // A state read from the layout, applied later (VXM_INITSTATE); none once any operation ran.
    std::optional<TVxWindowState> PendingState() const { return m_pending; }
    void SetPendingState(std::optional<TVxWindowState> state) { m_pending = state; }

    void Maximize();
    void Minimize();
    void Rollup();
    void MinToTray();
    void Restore();
    // The operation that leads to `state`; nothing when already there.
    void SetState(TVxWindowState state);
    // Runs the operation of `state` (the pending state applied after loading).
    void Apply(TVxWindowState state);

private:
    void SaveNormalBounds();
    void Finish() { m_pending.reset(); }

    TFormStateHost& m_host;
    TVxWindowState m_state = kwsNormal;
    TVxWindowState m_previous = kwsNormal;
    TRect m_normalBounds;
    std::optional<TVxWindowState> m_pending;
};

}  // namespace zaprelay::skin
