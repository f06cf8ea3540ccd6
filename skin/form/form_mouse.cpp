// The mouse on the frame: hit testing, pressing and hovering caption buttons, moving the
// window by its caption, and the system menu.
#include "framework/rtl/ansi_text.h"
#include "framework/rtl/scoped_value.h"
#include "framework/win32/forms.h"
#include "framework/win32/menus.h"
#include "framework/win32/status_bar.h"
#include "skin/form/form_images.h"
#include "skin/form/frame_geometry.h"
#include "skin/form/system_menu_items.h"
#include "skin/form/vx_custom_form.h"

namespace zaprelay::skin {

using win32::TMenuItem;
using win32::TPopupMenu;

namespace {

// A region where a press starts a drag of the frame (caption, edges, corners).
bool DragsFrame(TVxFormRegion region) {
    return region >= khrCaption && region <= khrBottomRight;
}

}  // namespace

TRect TVxCustomForm::SizeGripRect() const {
    win32::TCustomForm* form = OwnerForm();
    if (form == nullptr || Window() == nullptr) {
        return {};
    }
    for (int i = 0; i < form->ControlCount(); ++i) {
        auto* bar = dynamic_cast<win32::TStatusBar*>(form->Controls(i));
        if (bar == nullptr || !bar->Visible() || !bar->SizeGrip() || !bar->HandleAllocated()) {
            continue;
        }
        RECT barRect;
        RECT windowRect;
        GetWindowRect(bar->WindowHandle(), &barRect);
        GetWindowRect(Window(), &windowRect);
        const int32_t grip = GetSystemMetrics(SM_CXVSCROLL);
        return {barRect.right - grip - windowRect.left, barRect.top - windowRect.top, barRect.right - windowRect.left,
                barRect.bottom - windowRect.top};
    }
    return {};
}

TVxFormRegion TVxCustomForm::HitTest(int32_t x, int32_t y) {
    THitTestFrame frame = DefaultHitTestFrame(DefaultLayout(), m_formSize);
    for (int icon = 0; icon < kBorderIconCount; ++icon) {
        frame.Buttons[static_cast<std::size_t>(icon)] = GetButtonRect(static_cast<TVxBorderIcon>(icon));
    }
    // A visible status bar's size grip sizes the window like its bottom-right corner.
    frame.SizeGrip = SizeGripRect();
    return DefaultHitTest(frame, {x, y});
}

TVxFormRegion TVxCustomForm::FrameRegion(int32_t x, int32_t y) {
    if (x < m_formSize.X && y < m_formSize.Y) {
        return HitTest(x, y);
    }
    // The shadow strips belong to the frame: its right and bottom edges where those size.
    const TVxWindowState state = m_states.State();
    if (!m_dragging.Sizeable() || (state != kwsNormal && state != kwsTray)) {
        return khrBorder;
    }
    if (x < m_formSize.X) {
        return khrBottom;
    }
    return y < m_formSize.Y ? khrRight : khrBottomRight;
}

void TVxCustomForm::MouseDown(win32::TMouseButton button, win32::TShiftState, int32_t x, int32_t y) {
    if (button != win32::mbLeft) {
        return;
    }
    m_pressedRegion = FrameRegion(x, y);
    m_hotRegion = m_pressedRegion;
    m_dragStart = {x, y};
    m_lastPoint = m_dragStart;
    RedrawFrame();
    if (DragsFrame(m_pressedRegion)) {
        m_dragRunning = true;
        m_outline = TRect();
        // An outline on the desktop stands in for the window until the release.
        m_borderDrag = m_dragging.DragMode() == kfdmBorder;
        if (m_borderDrag) {
            m_paintingEnabled = false;
        }
    }
    if (Window() != nullptr) {
        TScopedValue<bool> own(m_ownCaptureChange, true);
        SetCapture(Window());
    }
}

void TVxCustomForm::MouseMove(win32::TShiftState shift, int32_t x, int32_t y) {
    if (OwnerForm() == nullptr) {
        return;
    }
    if ((shift & win32::ssLeft) == 0 || !m_dragRunning) {
        const TVxFormRegion region = HitTest(x, y);
        if (region != m_hotRegion) {
            m_hotRegion = region;
            RedrawFrame();
        }
        return;
    }
    TFrameDrag drag;
    drag.Region = m_pressedRegion;
    drag.Moveable = m_dragging.Moveable();
    drag.Sizeable = m_dragging.Sizeable();
    drag.State = m_states.State();
    drag.MinSize = GetMinSize();
    const TPoint from = m_borderDrag ? m_dragStart : m_lastPoint;
    TRect rect = DragFrame(drag, OwnerBounds(), {x - m_dragStart.X, y - m_dragStart.Y}, {x - from.X, y - from.Y});
    if (m_pressedRegion == khrCaption && m_gravitation.Enabled()) {
        rect = Gravitate(rect, GravitationArea(), m_gravitation.Size(), m_shadow.Enabled() ? m_shadow.Size() : 0);
    }
    if (m_borderDrag && !m_dragApplying) {
        DrawDragOutline(rect);
    } else {
        if (rect != OwnerBounds()) {
            SetFormBounds(rect);
        }
        m_hotRegion = HitTest(x, y);
        RedrawFrame();
    }
    m_lastPoint = {x, y};
}

void TVxCustomForm::FinishDrag(int32_t x, int32_t y) {
    if (!m_dragRunning) {
        return;
    }
    if (m_borderDrag) {
        DropOutline();
        // The window moves once, to where the outline was.
        try {
            TScopedValue<bool> applying(m_dragApplying, true);
            MouseMove(win32::ssLeft, x, y);
        } catch (...) {
            m_borderDrag = false;
            m_dragRunning = false;
            throw;
        }
        m_borderDrag = false;
        RedrawFrame();
        RepaintOwner();
    } else {
        RedrawFrame();
    }
    m_dragRunning = false;
}

void TVxCustomForm::DropOutline() {
    DrawDragOutline(TRect());
    m_paintingEnabled = true;
}

void TVxCustomForm::EndFramePress() {
    if (!m_dragRunning && m_pressedRegion == khrNone && m_pressedShift == 0) {
        return;
    }
    const bool outline = m_dragRunning && m_borderDrag;
    if (outline) {
        DropOutline();
    }
    m_borderDrag = false;
    m_dragRunning = false;
    m_pressedRegion = khrNone;
    m_pressedShift = 0;
    RedrawFrame();
    if (outline) {
        RepaintOwner();  // it missed its paints while the outline showed
    }
}

void TVxCustomForm::DrawDragOutline(const TRect& rect) {
    if (m_states.State() == kwsMaximized) {
        return;
    }
    HWND desktop = GetDesktopWindow();
    HDC dc = GetDCEx(desktop, nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    if (dc == nullptr) {
        return;
    }
    win32::TPenHandle pen(CreatePen(PS_INSIDEFRAME, 2, RGB(255, 255, 255)));
    const int saved = SaveDC(dc);
    SelectObject(dc, pen.Get());
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    SetROP2(dc, R2_XORPEN);
    // XOR twice restores the screen: the old outline goes, the new one comes.
    if (!m_outline.IsEmpty()) {
        Rectangle(dc, m_outline.Left, m_outline.Top, m_outline.Right, m_outline.Bottom);
    }
    if (!rect.IsEmpty()) {
        Rectangle(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
    }
    RestoreDC(dc, saved);
    ReleaseDC(desktop, dc);
    m_outline = rect;
}

void TVxCustomForm::MouseUp(win32::TMouseButton button, win32::TShiftState shift, int32_t x, int32_t y) {
    const TVxFormRegion pressed = m_pressedRegion;
    if (button == win32::mbLeft) {
        if (Window() != nullptr && GetCapture() == Window()) {
            TScopedValue<bool> own(m_ownCaptureChange, true);
            ReleaseCapture();
        }
        FinishDrag(x, y);
        m_pressedRegion = khrNone;
        if (shift & win32::ssDouble) {
            if (pressed == khrCaption && HasBorderIcon(m_borderIcons, kbiMaximize)) {
                if (m_states.State() == kwsMinimized) {
                    Restore();
                } else {
                    Maximize();
                }
                return;
            }
            if (pressed == khrSysMenu) {
                Close();
                return;
            }
        }
        const TVxFormRegion released = HitTest(x, y);
        if (released == pressed) {
            switch (pressed) {
                case khrClose:
                    Close();
                    return;
                case khrHelp:
                    ContextHelp();
                    return;
                case khrMinimize:
                    Minimize();
                    return;
                case khrMaximize:
                    Maximize();
                    return;
                case khrRollup:
                    Rollup();
                    return;
                case khrTray:
                    MinToTray();
                    return;
                case khrSysMenu:
                    ShowSystemMenu();
                    return;
                default:
                    break;
            }
        }
        m_hotRegion = released;
        if (pressed >= khrClose) {
            RedrawFrame();  // the button pops back up
        }
        return;
    }
    if (button == win32::mbRight && OwnerForm() != nullptr && HitTest(x, y) == khrCaption && Window() != nullptr) {
        RECT r;
        GetWindowRect(Window(), &r);
        m_menuPosition = {r.left + x, r.top + y};
        ShowSystemMenu();
        m_menuPosition = {0, 0};
    }
    m_pressedRegion = khrNone;
}

// ---------------------------------------------------------------- system menu

std::unique_ptr<TPopupMenu> TVxCustomForm::CreateMenuItem() {
    return std::make_unique<TPopupMenu>(nullptr);
}

void TVxCustomForm::BuildSystemMenu() {
    std::unique_ptr<TPopupMenu> menu = CreateMenuItem();
    menu->SetImages(FormImages().Handle());
    for (const TSystemMenuItem& entry : SystemMenuItems(m_states.State(), m_borderIcons)) {
        auto* item = new TMenuItem(menu.get());
        item->SetCaption(AnsiToWide(entry.Caption));
        item->SetImageIndex(entry.ImageIndex);
        if (entry.Close) {
            item->SetShortCut(win32::ShortCut(VK_F4, win32::ssAlt));
        }
        item->OnClick = [this](TObject* sender) { SystemMenuClick(sender); };
        menu->Items()->Add(item);
    }
    m_systemMenu = std::move(menu);
}

void TVxCustomForm::SystemMenuClick(TObject* sender) {
    auto* item = dynamic_cast<TMenuItem*>(sender);
    if (item == nullptr) {
        return;
    }
    std::optional<TSystemMenuItem> entry = SystemMenuItemFor(WideToAnsi(item->Caption()));
    if (!entry) {
        return;
    }
    if (entry->Close) {
        Close();
    } else if (entry->Operation == kwsNormal) {
        Restore();
    } else {
        m_states.Apply(entry->Operation);
    }
}

void TVxCustomForm::ShowSystemMenu() {
    MarkHotRegionStale();
    if (m_menuShowing) {
        return;  // one menu at a time: the system refuses a second anyway
    }
    const bool tray = m_states.State() == kwsTray;
    POINT position{m_menuPosition.X, m_menuPosition.Y};
    if (tray) {
        GetCursorPos(&position);
    } else if (m_menuPosition.X == 0 && m_menuPosition.Y == 0) {
        position = {0, 0};
        if (Window() != nullptr) {
            ClientToScreen(Window(), &position);
        }
    }
    TPopupMenu* menu = tray ? m_trayMenuLink : m_systemMenuLink;
    if (menu == nullptr) {
        BuildSystemMenu();
        menu = m_systemMenu.get();
    }
    // A menu of the tray icon belongs to no shown window: without the foreground it would not
    // close on a click elsewhere. The built-in one leaves an active form the foreground.
    if (tray || menu == m_systemMenu.get()) {
        menu->SetForegroundPopup(tray);
    }
    TScopedValue<bool> showing(m_menuShowing, true);
    menu->Popup(position.x, position.y);
}

}  // namespace zaprelay::skin
