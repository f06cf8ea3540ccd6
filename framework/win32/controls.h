// The root of the control hierarchy: a component with a place on a parent, a size, a look
// (colour, font, cursor) inherited from the parent unless set, and message handling by number.
#pragma once

#include "framework/graphics/geometry.h"
#include "framework/rtl/component.h"
#include "framework/rtl/font.h"
#include "framework/rtl/mouse_input.h"
#include "framework/win32/messages.h"

#include <cstdint>
#include <memory>
#include <string>

namespace zaprelay::win32 {

class TWinControl;
class TCustomForm;
class TPopupMenu;

enum TControlStyleFlag : uint32_t {
    csAcceptsControls = 0x1,
    csCaptureMouse = 0x2,
    csClickEvents = 0x4,
    csFramed = 0x8,
    csSetCaption = 0x10,
    csOpaque = 0x20,
    csDoubleClicks = 0x40,
    csFixedWidth = 0x80,
    csFixedHeight = 0x100,
    csNoStdEvents = 0x200,
    csParentBackground = 0x400,
};

enum TControlStateFlag : uint32_t {
    csLButtonDown = 0x1,
    csClicked = 0x2,
    csPalette = 0x4,
    csReadingState = 0x8,
    csFocusing = 0x10,
    csCreating = 0x20,
    csPaintCopy = 0x40,
    csCustomPaint = 0x80,
    csDestroyingHandle = 0x100,
    csRecreating = 0x200,
    csMouseInside = 0x400,
};

// The portable input values, under the names the window layer has always used.
using ::zaprelay::mbLeft;
using ::zaprelay::mbMiddle;
using ::zaprelay::mbRight;
using ::zaprelay::ssAlt;
using ::zaprelay::ssCtrl;
using ::zaprelay::ssDouble;
using ::zaprelay::ssLeft;
using ::zaprelay::ssMiddle;
using ::zaprelay::ssRight;
using ::zaprelay::ssShift;
using ::zaprelay::TMouseButton;
using ::zaprelay::TShiftState;

// The shift state of a mouse message's wParam, and of the keyboard now.
TShiftState MouseShiftState(uintptr_t wParam);
TShiftState KeyboardShiftState();

using TCursor = int16_t;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;
bool CursorToIdent(int32_t cursor, std::string& name);
bool IdentToCursor(std::string_view name, int32_t& cursor);

enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TDragMode { dmManual, dmAutomatic };
enum TDragKind { dkDrag, dkDock };
extern const TEnumInfo kBiDiModeNames;
extern const TEnumInfo kAlignmentNames;
extern const TEnumInfo kDragModeNames;
extern const TEnumInfo kDragKindNames;

using TMouseEvent = TEvent<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = TEvent<void(TObject* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = TEvent<void(TObject* sender, uint16_t& key, TShiftState shift)>;
using TKeyPressEvent = TEvent<void(TObject* sender, char16_t& key)>;

// Size limits of a control; 0 means no limit.
class TSizeConstraints : public TPersistent {
public:
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    int32_t MaxHeight() const { return m_maxHeight; }
    int32_t MaxWidth() const { return m_maxWidth; }
    int32_t MinHeight() const { return m_minHeight; }
    int32_t MinWidth() const { return m_minWidth; }
    // A minimum above the maximum raises the maximum, and the other way round.
    void SetMaxHeight(int32_t value);
    void SetMaxWidth(int32_t value);
    void SetMinHeight(int32_t value);
    void SetMinWidth(int32_t value);

    // Clamps a size to the limits.
    void Apply(int32_t& width, int32_t& height) const;

    std::function<void()> OnChange;

private:
    void Changed();

    int32_t m_maxHeight = 0;
    int32_t m_maxWidth = 0;
    int32_t m_minHeight = 0;
    int32_t m_minWidth = 0;
};

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable();
    virtual const TMessageTable& MessageTable() const { return StaticMessageTable(); }

    // ---- messages
    // Every message to the control passes here first; the base turns mouse input into
    // the mouse events and then dispatches.
    virtual void WndProc(TMessage& message);
    // The handler for the message's number, else DefaultHandler.
    void Dispatch(TMessage& message);
    // What happens to a message without a handler: nothing here; a window's default procedure
    // for windowed controls.
    virtual void DefaultHandler(TMessage& message);
    intptr_t Perform(uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0);
    // From a handler of class Class: the handling of Class's base for the same message.
    template <typename Class>
    void Inherited(TMessage& message) {
        if (TMessageTable::Handler h = Class::StaticMessageTable().Parent()->Find(message.Msg)) {
            h(*this, message);
        } else {
            DefaultHandler(message);
        }
    }

    // ---- place
    TWinControl* Parent() const { return m_parent; }
    virtual void SetParent(TWinControl* parent);
    void SetParentComponent(TComponent* parent) override;
    bool HasParent() const { return m_parent != nullptr; }

    int32_t Left() const { return m_left; }
    int32_t Top() const { return m_top; }
    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    void SetLeft(int32_t value) { SetBounds(value, m_top, m_width, m_height); }
    void SetTop(int32_t value) { SetBounds(m_left, value, m_width, m_height); }
    void SetWidth(int32_t value) { SetBounds(m_left, m_top, value, m_height); }
    void SetHeight(int32_t value) { SetBounds(m_left, m_top, m_width, value); }
    virtual void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
    TRect BoundsRect() const { return Bounds(m_left, m_top, m_width, m_height); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }

    virtual TRect ClientRect() const { return {0, 0, m_width, m_height}; }
    int32_t ClientWidth() const { return ClientRect().Width(); }
    int32_t ClientHeight() const { return ClientRect().Height(); }
    void SetClientWidth(int32_t value) { SetClientSize(value, ClientHeight()); }
    void SetClientHeight(int32_t value) { SetClientSize(ClientWidth(), value); }
    virtual void SetClientSize(int32_t width, int32_t height);
    // The client area's top-left corner on the screen.
    virtual TPoint ClientOrigin() const;
    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;

    // ---- state
    bool Visible() const { return m_visible; }
    virtual void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and every parent visible up to a window that is on screen.
    virtual bool Showing() const;
    // Virtual: a container may keep an enabled state of its own (the skinned group box).
    virtual bool Enabled() const { return m_enabled; }
    virtual void SetEnabled(bool value);

    // The caption or text (the same thing; a windowed control keeps it in its window).
    virtual std::u16string Text() const { return m_text; }
    virtual void SetText(const std::u16string& text);
    std::u16string Caption() const { return Text(); }
    void SetCaption(const std::u16string& text) { SetText(text); }

    TColor Color() const { return m_color; }
    void SetColor(TColor value);
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool value);
    TFont* Font() { return &m_font; }
    const TFont& Font() const { return m_font; }
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool value);
    TCursor Cursor() const { return m_cursor; }
    void SetCursor(TCursor value);
    const std::u16string& Hint() const { return m_hint; }
    void SetHint(const std::u16string& value) { m_hint = value; }
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool value);
    bool ParentShowHint() const { return m_parentShowHint; }
    void SetParentShowHint(bool value);
    TBiDiMode BiDiMode() const { return m_biDiMode; }
    void SetBiDiMode(TBiDiMode value);
    bool ParentBiDiMode() const { return m_parentBiDiMode; }
    void SetParentBiDiMode(bool value);
    bool UseRightToLeftReading() const { return m_biDiMode != bdLeftToRight; }
    bool UseRightToLeftAlignment() const { return m_biDiMode == bdRightToLeft; }
    // DT_RTLREADING (and the mirrored alignment) when the control reads right to left.
    uint32_t DrawTextBiDiModeFlags(uint32_t flags) const;
    TSizeConstraints* Constraints() { return &m_constraints; }
    TDragMode DragMode() const { return m_dragMode; }
    void SetDragMode(TDragMode value) { m_dragMode = value; }
    TDragKind DragKind() const { return m_dragKind; }
    void SetDragKind(TDragKind value) { m_dragKind = value; }
    TCursor DragCursor() const { return m_dragCursor; }
    void SetDragCursor(TCursor value) { m_dragCursor = value; }
    TPopupMenu* PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(TPopupMenu* menu);

    uint32_t ControlStyle() const { return m_controlStyle; }
    void SetControlStyle(uint32_t style) { m_controlStyle = style; }
    uint32_t ControlState() const { return m_controlState; }
    void IncludeControlState(uint32_t flags) { m_controlState |= flags; }
    void ExcludeControlState(uint32_t flags) { m_controlState &= ~flags; }
    bool MouseInside() const { return (m_controlState & csMouseInside) != 0; }

    // ---- painting
    virtual void Invalidate();
    // Paints now what is invalid.
    virtual void Update();
    void Repaint();

    // ---- relations
    // The form this control is on (the control itself for a form); none when it has none.
    TCustomForm* GetParentForm() const;
    void BringToFront();
    void SendToBack();

    // True when the character is the caption's accelerator (the letter after a single '&').
    static bool IsAccel(char16_t key, const std::u16string& caption);

    void AfterRead() override;
    void Notification(TComponent* component, TOperation operation) override;

    // ---- events
    virtual void Click();
    virtual void DblClick();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnResize;

protected:
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Resize();
    virtual void Changed();  // the look changed: repaint
    // The position (in the parent's client area) actually changed; windowed controls move
    // their window.
    virtual void BoundsChanged() {}
    // Repaints the control's area on the parent (window-less controls).
    void InvalidateControl(bool wasVisible, bool isOpaque);
    // A font or colour the parent passes down was set on the control itself.
    void FontChanged(TFont&);

    void WMLButtonDown(TMessage& m);
    void WMLButtonDblClk(TMessage& m);
    void WMLButtonUp(TMessage& m);
    void WMRButtonDown(TMessage& m);
    void WMRButtonUp(TMessage& m);
    void WMMButtonDown(TMessage& m);
    void WMMButtonUp(TMessage& m);
    void WMMouseMove(TMessage& m);
    void WMContextMenu(TMessage& m);
    void CMEnabledChanged(TMessage& m);
    void CMVisibleChanged(TMessage& m);
    void CMFontChanged(TMessage& m);
    void CMColorChanged(TMessage& m);
    void CMParentFontChanged(TMessage& m);
    void CMParentColorChanged(TMessage& m);
    void CMParentShowHintChanged(TMessage& m);
    void CMParentBiDiModeChanged(TMessage& m);
    void CMSysColorChange(TMessage& m);
    void CMTextChanged(TMessage& m);
    void CMMouseEnter(TMessage& m);
    void CMMouseLeave(TMessage& m);
    void CMHitTest(TMessage& m);

    std::u16string m_text;

private:
    void MouseButtonDown(TMessage& m, TMouseButton button, TShiftState extra);
    void MouseButtonUp(TMessage& m, TMouseButton button);

    TWinControl* m_parent = nullptr;
    int32_t m_left = 0;
    int32_t m_top = 0;
    int32_t m_width = 0;
    int32_t m_height = 0;
    bool m_visible = true;
    bool m_enabled = true;
    TColor m_color = clWindow;
    bool m_parentColor = true;
    TFont m_font;
    bool m_parentFont = true;
    bool m_settingParentFont = false;
    TCursor m_cursor = crDefault;
    std::u16string m_hint;
    bool m_showHint = false;
    bool m_parentShowHint = true;
    TBiDiMode m_biDiMode = bdLeftToRight;
    bool m_parentBiDiMode = true;
    TSizeConstraints m_constraints;
    TDragMode m_dragMode = dmManual;
    TDragKind m_dragKind = dkDrag;
    TCursor m_dragCursor = -12;  // the drag cursor
    TPopupMenu* m_popupMenu = nullptr;
    uint32_t m_controlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    uint32_t m_controlState = 0;

    friend class TWinControl;
};

// The control that holds the mouse while a button is down on it (a window-less one holds it
// through its parent's window); none when none does.
TControl* CaptureControl();
void ForgetCaptureControl(TControl* control);

// Converts between UTF-16 text and the platform's wide strings.
inline const wchar_t* WidePtr(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
std::u16string WideFromWindow(const wchar_t* text);

}  // namespace zaprelay::win32
