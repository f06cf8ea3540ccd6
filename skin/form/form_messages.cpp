// The window messages the form component answers in place of the system: the frame's size,
// hit testing, non-client mouse, activation, position limits and the private messages.
#include "framework/rtl/ansi_text.h"
#include "framework/win32/forms.h"
#include "skin/form/background_request.h"
#include "skin/form/caption_fonts.h"
#include "skin/form/frame_geometry.h"
#include "skin/form/frame_metrics.h"
#include "skin/form/vx_custom_form.h"
#include "skin/objects/skin_messages.h"

#include <algorithm>

namespace zaprelay::skin {

using win32::TShiftState;

const TMessageTable& TVxCustomForm::StaticMessageTable() {
    using T = TVxCustomForm;
    static const TMessageTable table = TMessageTable::For<T, TVxHook>()
                                           .On<&T::WMActivate>(WM_ACTIVATE)
                                           .On<&T::WMSetText>(WM_SETTEXT)
                                           .On<&T::WMEraseBkgnd>(WM_ERASEBKGND)
                                           .On<&T::WMWindowPosChanging>(WM_WINDOWPOSCHANGING)
                                           .On<&T::WMNCCalcSize>(WM_NCCALCSIZE)
                                           .On<&T::WMNCHitTest>(WM_NCHITTEST)
                                           .On<&T::WMNCPaint>(WM_NCPAINT)
                                           .On<&T::WMNCActivate>(WM_NCACTIVATE)
                                           .On<&T::WMNCMouseMove>(WM_NCMOUSEMOVE)
                                           .On<&T::WMNCLButtonDown>(WM_NCLBUTTONDOWN)
                                           .On<&T::WMNCLButtonUp>(WM_NCLBUTTONUP)
                                           .On<&T::WMNCLButtonDblClk>(WM_NCLBUTTONDBLCLK)
                                           .On<&T::WMNCRButtonDown>(WM_NCRBUTTONDOWN)
                                           .On<&T::WMNCRButtonUp>(WM_NCRBUTTONUP)
                                           .On<&T::WMSysCommand>(WM_SYSCOMMAND)
                                           .On<&T::WMMouseMove>(WM_MOUSEMOVE)
                                           .On<&T::WMLButtonUp>(WM_LBUTTONUP)
                                           .On<&T::WMCaptureLost>(WM_CAPTURECHANGED)
                                           .On<&T::WMCaptureLost>(WM_CANCELMODE)
                                           .On<&T::WMThemeChanged>(WM_THEMECHANGED)
                                           .On<&T::VXMRefreshFrame>(VXM_REFRESHFRAME)
                                           .On<&T::VXMMaximize>(VXM_MAXIMIZE)
                                           .On<&T::VXMInitState>(VXM_INITSTATE)
                                           .On<&T::VXMPaintToDC>(VXM_PAINTTODC)
                                           .On<&T::WMMDIActivate>(WM_MDIACTIVATE)
                                           .On<&T::WMDestroy>(WM_DESTROY)
                                           .On<&T::WMClose>(WM_CLOSE);
    return table;
}

namespace {

// The signed point a mouse message packs into lParam.
TPoint PackedPoint(const TMessage& m) {
    return {static_cast<int16_t>(m.LParam & 0xFFFF), static_cast<int16_t>((m.LParam >> 16) & 0xFFFF)};
}

}  // namespace

TPoint TVxCustomForm::FramePoint(const TMessage& m) const {
    return ScreenToWindowPoint(PackedPoint(m));
}

TPoint TVxCustomForm::ClientMessagePoint(const TMessage& m) const {
    const TPoint client = PackedPoint(m);
    POINT p{client.X, client.Y};
    ClientToScreen(Window(), &p);
    return ScreenToWindowPoint({p.x, p.y});
}

void TVxCustomForm::WMActivate(TMessage& m) {
    // Activated while minimized (from the task bar): Minimize on a minimized form restores it.
    // A form on its way to the tray is minimized with the application, and one that minimized
    // itself is deactivated on the way: neither is a request.
    const bool iconic = ((m.WParam >> 16) & 0xFFFF) != 0;
    const bool leaving = (m.WParam & 0xFFFF) == WA_INACTIVE;
    const TVxWindowState state = m_states.State();
    if (!m_frameActive && iconic && state != kwsTray && !(leaving && state == kwsMinimized)) {
        Minimize();
    }
}

void TVxCustomForm::WMSetText(TMessage& m) {
    if (Window() == nullptr || m.LParam == 0) {
        return;
    }
    std::u16string text;
    if (IsWindowUnicode(Window())) {
        text = reinterpret_cast<const char16_t*>(m.LParam);
    } else {
        text = AnsiToWide(reinterpret_cast<const char*>(m.LParam));
    }
    if (text == m_lastText) {
        return;
    }
    // The system paints its own caption for a new text when the window has one; without the
    // caption style it leaves the frame to us (VXM_REFRESHFRAME puts the style back).
    SetWindowLongPtrW(Window(), GWL_STYLE, GetWindowLongPtrW(Window(), GWL_STYLE) & ~LONG_PTR{WS_CAPTION});
    m_textChanging = true;
}

void TVxCustomForm::AfterWndProc(TMessage& message) {
    switch (message.Msg) {
        case WM_SIZE:
            FitMaximizedChild();
            break;
        case WM_SETTEXT:
            if (m_textChanging) {
                m_textChanging = false;
                WindowTextChanged();
                if (MdiChild()) {
                    UpdateMdiParent();
                }
            }
            break;
        case WM_NCACTIVATE:
            if (!HasOwnerWindow()) {
                RedrawFrame();
            } else if (MdiChild()) {
                // The child's own procedure drew the system's caption over the frame.
                RedrawFrame();
                PostMessageW(Window(), VXM_REFRESHFRAME, 0, 0);
            }
            break;
        case WM_SYSCOMMAND:
            if ((message.WParam & 0xFFF0) == SC_CONTEXTHELP) {
                RedrawFrame();
            }
            break;
        default:
            break;
    }
}

void TVxCustomForm::WindowTextChanged() {
    m_lastText = Target() != nullptr ? Target()->Text() : std::u16string();
    m_caption = m_lastText;
    // Back at once, not with the posted repaint: a component deactivated or freed before that
    // arrives would leave the window without its caption.
    RestoreCaptionStyle();
    PostMessageW(Window(), VXM_REFRESHFRAME, kRestoreCaptionStyle, 0);
}

void TVxCustomForm::RestoreCaptionStyle() {
    if (Window() != nullptr) {
        SetWindowLongPtrW(Window(), GWL_STYLE, GetWindowLongPtrW(Window(), GWL_STYLE) | WS_CAPTION);
    }
}

void TVxCustomForm::WMEraseBkgnd(TMessage& m) {
    // A skinned child asks for the part under it only.
    const BackgroundRequest* request = ReadBackgroundRequest(m.LParam);
    const TRect part = request != nullptr ? request->Bounds() : TRect{};
    // An MDI parent's client area is the MDI client's: a part of it is nobody's to ask for.
    const bool mdiParent = OwnerForm() != nullptr && OwnerForm()->ClientHandle() != nullptr;
    if (request == nullptr || !mdiParent) {
        EraseBackground(reinterpret_cast<HDC>(m.WParam), request != nullptr ? &part : nullptr);
    }
    m.Result = 1;
    SetHandled(true);
}

void TVxCustomForm::WMWindowPosChanging(TMessage& m) {
    auto* pos = reinterpret_cast<WINDOWPOS*>(m.LParam);
    SetHandled(true);
    m.Result = 0;
    if (pos == nullptr) {
        return;
    }
    bool sizeChanged = false;
    if ((pos->flags & (SWP_NOSIZE | SWP_NOMOVE)) != (SWP_NOSIZE | SWP_NOMOVE)) {
        const TPoint maxSize = GetMaxSize();
        pos->cx = std::min(pos->cx, maxSize.X);
        pos->cy = std::min(pos->cy, maxSize.Y);
        const TVxWindowState state = m_states.State();
        if (state != kwsRollup && state != kwsMinimized) {
            const TPoint minSize = GetMinSize();
            pos->cx = std::max(pos->cx, minSize.X);
            pos->cy = std::max(pos->cy, minSize.Y);
        }
        const bool same = pos->cx == m_fullSize.X && pos->cy == m_fullSize.Y;
        if (!same && (pos->flags & (SWP_NOSIZE | SWP_FRAMECHANGED)) == 0) {
            m_fullSize = {pos->cx, pos->cy};
            m_formSize = m_fullSize;
            if (m_shadow.Enabled() && state != kwsMaximized) {
                m_formSize = {pos->cx - m_shadow.Size(), pos->cy - m_shadow.Size()};
            }
            sizeChanged = true;
        }
    }
    if (pos->flags & SWP_FRAMECHANGED) {
        RedrawFrame();
    }
    const bool effects = EffectsEnabled();
    if (effects && Window() != nullptr) {
        RECT now;
        GetWindowRect(Window(), &now);
        const TPoint size =
            (pos->flags & SWP_NOSIZE) ? TPoint{now.right - now.left, now.bottom - now.top} : TPoint{pos->cx, pos->cy};
        const TPoint at = (pos->flags & SWP_NOMOVE) ? TPoint{now.left, now.top} : TPoint{pos->x, pos->y};
        // Child windows are placed in their parent's client coordinates.
        POINT origin{at.X, at.Y};
        if ((pos->flags & SWP_NOMOVE) == 0 && (GetWindowLongPtrW(Window(), GWL_STYLE) & WS_CHILD) != 0) {
            ClientToScreen(GetParent(Window()), &origin);
        }
        GrabBackground(Bounds(origin.x, origin.y, size.X, size.Y));
    }
    if (sizeChanged) {
        UpdateRegion();
    }
    if ((pos->flags & SWP_SHOWWINDOW) && !m_states.PendingState()) {
        if (effects && Window() != nullptr) {
            RECT now;
            GetWindowRect(Window(), &now);
            m_backgroundRect = TRect();
            GrabBackground({now.left, now.top, now.right, now.bottom});
        }
        PlayShowAnimation();
    }
    // The window's old pixels are not the picture at its new place: the background moved.
    if (effects) {
        pos->flags |= SWP_NOCOPYBITS;
    }
}

void TVxCustomForm::WMNCCalcSize(TMessage& m) {
    SetHandled(true);
    m.Result = 0;
    if (m.WParam == 0 || m.LParam == 0) {
        return;
    }
    auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam);
    if (params->lppos == nullptr) {
        return;
    }
    const WINDOWPOS& pos = *params->lppos;
    const TRect area = GetClientArea();
    RECT& client = params->rgrc[0];
    client.left = pos.x + area.Left;
    client.top = pos.y + area.Top;
    client.right = pos.x + pos.cx - (m_fullSize.X - area.Right);
    client.bottom = pos.y + pos.cy - (m_fullSize.Y - area.Bottom);
    client.right = std::max(client.right, client.left);
    client.bottom = std::max(client.bottom, client.top);
    params->rgrc[1] = client;
}

void TVxCustomForm::WMNCHitTest(TMessage& m) {
    SetHandled(true);
    const TPoint point = FramePoint(m);
    THitTestRules rules;
    rules.Sizeable = m_dragging.Sizeable();
    rules.Moveable = m_dragging.Moveable();
    rules.Maximized = m_states.State() == kwsMaximized;
    m.Result = SystemHitTestCode(FrameRegion(point.X, point.Y), rules);
}

void TVxCustomForm::WMNCPaint(TMessage& m) {
    RedrawFrame();
    m.Result = 0;
    SetHandled(true);
}

void TVxCustomForm::WMNCActivate(TMessage& m) {
    m_frameActive = m.WParam != 0;
    if (m_minimizeApplication) {
        InstallApplicationHandlers();
    }
    RedrawFrame();
    if (m_frameActive && !HasOwnerWindow()) {
        return;  // the system activates the window too
    }
    if (m_frameActive && MdiChild()) {
        m.Result = 0;
        return;  // the client's bookkeeping of the active child needs it
    }
    m.Result = m_frameActive ? 0 : 1;
    SetHandled(true);
}

void TVxCustomForm::WMNCMouseMove(TMessage& m) {
    const TPoint point = FramePoint(m);
    MouseMove(m_pressedShift, point.X, point.Y);
    m.Result = 0;
    SetHandled(true);
}

void TVxCustomForm::FrameButtonDown(win32::TMouseButton button, TShiftState shift, TMessage& m) {
    if (!m_frameActive && Window() != nullptr) {
        SetFocus(Window());
    }
    m_pressedShift = shift;
    const TPoint point = FramePoint(m);
    MouseDown(button, shift, point.X, point.Y);
    m.Result = 0;
    SetHandled(true);
}

void TVxCustomForm::WMNCLButtonDown(TMessage& m) {
    FrameButtonDown(win32::mbLeft, win32::ssLeft, m);
}

void TVxCustomForm::FrameButtonUp(win32::TMouseButton button, TMessage& m) {
    m_pressedShift = 0;
    const TPoint point = FramePoint(m);
    MouseUp(button, 0, point.X, point.Y);
    m.Result = 0;
    SetHandled(true);
}

void TVxCustomForm::WMNCLButtonUp(TMessage& m) {
    FrameButtonUp(win32::mbLeft, m);
}

void TVxCustomForm::WMNCLButtonDblClk(TMessage& m) {
    const TPoint point = FramePoint(m);
    MouseDown(win32::mbLeft, win32::ssLeft | win32::ssDouble, point.X, point.Y);
    MouseUp(win32::mbLeft, win32::ssLeft | win32::ssDouble, point.X, point.Y);
    m_pressedShift = 0;
    m.Result = 1;
    SetHandled(true);
}

void TVxCustomForm::WMNCRButtonDown(TMessage& m) {
    FrameButtonDown(win32::mbRight, win32::ssRight, m);
}

void TVxCustomForm::WMNCRButtonUp(TMessage& m) {
    FrameButtonUp(win32::mbRight, m);
}

void TVxCustomForm::WMSysCommand(TMessage& m) {
    switch (m.WParam & 0xFFF0) {
        case SC_KEYMENU:
            if (m.LParam == ' ') {
                ShowSystemMenu();
            }
            break;
        case SC_MOUSEMENU:
            ShowSystemMenu();
            break;
        case SC_RESTORE:
            Restore();
            break;
        case SC_MINIMIZE:
            // A window without an owner is minimized by posting this very command: the form
            // is minimized already then, and Minimize would restore it.
            if (m_states.State() != kwsMinimized) {
                Minimize();
            }
            break;
        default:
            break;
    }
}

void TVxCustomForm::WMMouseMove(TMessage& m) {
    if (OwnerForm() == nullptr) {
        return;
    }
    if (m_hotRegion != khrNone && (m_pressedShift & win32::ssLeft) == 0) {
        m_hotRegion = khrNone;
        RedrawFrame();
    }
    if (m_pressedShift != 0) {
        const TPoint point = ClientMessagePoint(m);
        MouseMove(m_pressedShift, point.X, point.Y);
    }
}

void TVxCustomForm::WMLButtonUp(TMessage& m) {
    if (OwnerForm() == nullptr || (m_pressedShift & win32::ssLeft) == 0) {
        return;
    }
    const TPoint point = ClientMessagePoint(m);
    m_pressedShift = 0;
    MouseUp(win32::mbLeft, 0, point.X, point.Y);
}

void TVxCustomForm::WMCaptureLost(TMessage&) {
    // Another window took the mouse (a window popped up, Alt+Tab): the press is over.
    if (!m_ownCaptureChange) {
        EndFramePress();
    }
}

void TVxCustomForm::WMThemeChanged(TMessage& m) {
    RefreshCaptionFonts();
    RefreshFrameMetrics();
    // The caption's height may have changed with the metrics.
    RecalcFrame();
    m.Result = 0;
    SetHandled(true);
}

void TVxCustomForm::VXMRefreshFrame(TMessage& m) {
    if (m.WParam == kRestoreCaptionStyle) {
        RestoreCaptionStyle();
    }
    RedrawFrame();
    SetHandled(true);
}

void TVxCustomForm::VXMMaximize(TMessage&) {
    Maximize();
    SetHandled(true);
}

void TVxCustomForm::VXMInitState(TMessage& m) {
    SetHandled(true);
    if (m.WParam >= kwsMaximized && m.WParam <= kwsTray) {
        m_states.Apply(static_cast<TVxWindowState>(m.WParam));
    }
    // A vetoed start-up state leaves the window where the layout put it, not out of sight.
    if (m_states.PendingState()) {
        m_states.SetPendingState(std::nullopt);
        if (m_states.State() == kwsNormal) {
            SetFormBounds(m_states.NormalBounds());
        }
    }
}

void TVxCustomForm::NotifyWindowMessage(TMessage& m) {
    // Broadcast when the shell's notification area is made: at log-on it may come after us.
    static const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    m.Result = 0;
    if (m.Msg == taskbarCreated && taskbarCreated != 0) {
        if (m_states.State() == kwsTray) {
            m_trayIcon.AddAgain();
        }
        return;
    }
    switch (m.Msg) {
        case WM_QUERYENDSESSION:
            m.Result = 1;
            break;
        case WM_ENDSESSION:
            RemoveTrayIcon();
            break;
        case WM_TIMER:
            if (m.WParam == kTrayRetryTimer && (m_states.State() != kwsTray || m_trayIcon.Add())) {
                KillTimer(m_notifyWindow.Handle(), kTrayRetryTimer);
            }
            break;
        case VXM_TRAYNOTIFY:
            if (m.LParam == WM_LBUTTONDBLCLK) {
                Restore();
            } else if (m.LParam == WM_RBUTTONUP) {
                ShowSystemMenu();
            }
            break;
        default:
            break;
    }
}

}  // namespace zaprelay::skin
