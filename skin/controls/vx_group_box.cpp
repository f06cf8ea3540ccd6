#include "skin/controls/vx_group_box.h"

#include "framework/win32/control_props.h"
#include "framework/win32/gdi_handles.h"
#include "skin/form/window_skin_host.h"
#include "skin/form/window_theme.h"

#include <algorithm>
#include <array>

namespace zaprelay::skin {

namespace {

constexpr uint32_t kCaptionFlags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

}  // namespace

const TClassInfo& TVxCustomGroupBox::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TVxCustomGroupBox, TVxCustomControl>("TVxCustomGroupBox");
        using T = TVxCustomGroupBox;
        TClassBuilder<T> b(i);
        b.Integer("CaptionMargin", &T::CaptionMargin, &T::SetCaptionMargin, 12);
        win32::publish::Caption(b);
        b.Boolean("UseCheckBox", &T::UseCheckBox, &T::SetUseCheckBox, false);
        b.Enum("CheckBoxAlignment", kVxLeftRightNames, &T::CheckBoxAlignment, &T::SetCheckBoxAlignment, ktaLeftJustify);
        b.Boolean("Checked", &T::Checked, &T::SetChecked, true);
        b.Event("OnCheckBoxClick", win32::publish::Member<T>(&T::OnCheckBoxClick));
        win32::publish::Enabled(b);
        win32::publish::Font(b);
        win32::publish::TabStop(b, false);
        win32::publish::TabOrder(b);
        b.Boolean("Transparent", &T::Transparent, &T::SetTransparent, false);
        return i;
    }();
    return info;
}

const TMessageTable& TVxCustomGroupBox::StaticMessageTable() {
    using T = TVxCustomGroupBox;
    static const TMessageTable table = TMessageTable::For<T, TVxCustomControl>()
                                           .On<&T::CMDialogChar>(win32::CM_DIALOGCHAR)
                                           .On<&T::CMEnabledChanged>(win32::CM_ENABLEDCHANGED)
                                           .On<&T::CMTextChanged>(win32::CM_TEXTCHANGED)
                                           .On<&T::WMSize>(WM_SIZE);
    return table;
}

TVxCustomGroupBox::TVxCustomGroupBox(TComponent* owner) : TVxCustomControl(owner) {
    SetControlStyle(ControlStyle() | win32::csAcceptsControls | win32::csCaptureMouse | win32::csClickEvents |
                    win32::csDoubleClicks | win32::csSetCaption | win32::csOpaque);
    SetBounds(0, 0, 100, 90);
}

TVxCustomGroupBox::~TVxCustomGroupBox() = default;

// ---- properties

void TVxCustomGroupBox::SetCaptionMargin(int32_t value) {
    if (value == m_captionMargin) {
        return;
    }
    m_captionMargin = value;
    if (m_useCheckBox) {
        LayoutCheckBox();
    }
    Invalidate();
}

void TVxCustomGroupBox::SetUseCheckBox(bool value) {
    m_useCheckBox = value;
    if (value) {
        if (m_checkBox == nullptr) {
            m_checkBox = CreateCheckBox();
        }
        m_checkBox->SetParent(this);
        m_checkBox->OnClick = [this](TObject*) { CheckBoxClick(); };
        m_checkBox->SetAlignment(m_checkBoxAlignment);
        m_checkBox->SetChecked(m_checked);
        m_checkBox->SetBounds(m_checkBox->Left(), 0, m_checkBox->Width(), m_checkBox->Height());
        m_checkBox->SetCaption(Caption());
        LayoutCheckBox();
    } else if (m_checkBox != nullptr) {
        TVxCustomCheckBox* checkBox = m_checkBox;
        m_checkBox = nullptr;
        checkBox->Free();
    }
    Invalidate();
}

TVxLeftRight TVxCustomGroupBox::CheckBoxAlignment() const {
    return m_checkBox != nullptr ? m_checkBox->Alignment() : m_checkBoxAlignment;
}

void TVxCustomGroupBox::SetCheckBoxAlignment(TVxLeftRight value) {
    m_checkBoxAlignment = value;
    if (m_checkBox != nullptr) {
        m_checkBox->SetAlignment(value);
    }
}

void TVxCustomGroupBox::SetChecked(bool value) {
    if (value == m_checked) {
        return;
    }
    m_checked = value;
    if (UseCheckBox()) {
        m_checkBox->SetChecked(value);
        SetEnabled(value);  // the group stays enabled; the children follow Checked
    }
}

void TVxCustomGroupBox::CheckBoxClick() {
    // Reading a layout sets the check box from the stored Checked: nobody clicked.
    const bool user = !HasState(csLoading);
    if (user) {
        Click();
    }
    SetChecked(m_checkBox->Checked());
    if (user && OnCheckBoxClick) {
        OnCheckBoxClick(this);
    }
}

TVxCustomCheckBox* TVxCustomGroupBox::CreateCheckBox() {
    return new TVxCustomCheckBox(this);
}

void TVxCustomGroupBox::AfterRead() {
    TVxCustomControl::AfterRead();
    SetUseCheckBox(m_useCheckBox);
    // The children are read after the group's own settings: they take its state only now.
    Perform(win32::CM_ENABLEDCHANGED);
}

// ---- enabled state

bool TVxCustomGroupBox::Enabled() const {
    return m_ownEnabled || UseCheckBox();
}

void TVxCustomGroupBox::SetEnabled(bool value) {
    m_ownEnabled = value || UseCheckBox();
    Perform(win32::CM_ENABLEDCHANGED);
}

void TVxCustomGroupBox::CMEnabledChanged(TMessage& m) {
    Inherited<TVxCustomGroupBox>(m);
    const bool children = UseCheckBox() ? m_checked : Enabled();
    for (int i = 0; i < ControlCount(); ++i) {
        if (TControl* child = Controls(i); child != m_checkBox) {
            child->SetEnabled(children);
        }
    }
}

// ---- geometry

int32_t TVxCustomGroupBox::CaptionHeight() const {
    return UseCheckBox() ? m_checkBox->Height() : ScreenTextExtent(PaintFont().Data(), Caption()).Y;
}

TRect TVxCustomGroupBox::ClientRect() const {
    return {0, CaptionHeight(), Width(), Height()};
}

TRect TVxCustomGroupBox::GetFrameRect() const {
    return {3, CaptionHeight() / 2 + 1, Width() - 2, Height() - 2};
}

TRect TVxCustomGroupBox::CaptionRect() {
    const std::u16string caption = Caption();
    TRect r{m_captionMargin, 0, m_captionMargin, 0};
    if (UseCheckBox()) {
        r.Right += m_checkBox->Width();
        r.Bottom = m_checkBox->Height();
    } else {
        const TPoint extent = PaintCanvas().TextExtent(caption);
        r.Right += extent.X;
        r.Bottom = extent.Y;
    }
    if (!caption.empty()) {
        r.Left -= 3;
        r.Right += 3;
    }
    return r;
}

void TVxCustomGroupBox::LayoutCheckBox() {
    if (m_checkBox == nullptr) {
        return;
    }
    const TFontData font = m_checkBox->PaintFont().Data();
    const int32_t captionWidth = ScreenTextExtent(font, m_checkBox->Caption()).X;
    const int32_t needed = m_checkBox->GetGlyphSize().X + m_checkBox->Spacing() + captionWidth + 6;
    const int32_t width = std::min(Width() - m_captionMargin - 2, needed);
    m_checkBox->SetBounds(m_captionMargin, m_checkBox->Top(), width, m_checkBox->Height());
    m_checkBox->Invalidate();
}

// ---- painting

void TVxCustomGroupBox::PaintClient() {
    TVxCustomControl::PaintClient();
    PaintCanvas().SetFont(Font()->Data());
    const TRect frame = GetFrameRect();
    const TRect caption = CaptionRect();
    if (VisualStylesActive()) {
        // A window may opt out of the visual style: it has no theme data then.
        if (const TWindowTheme theme(L"Button", WindowHandle()); theme) {
            PaintThemed(theme, frame, caption);
            return;
        }
    }
    PaintEtched(frame, caption);
}

void TVxCustomGroupBox::PaintThemed(const TWindowTheme& theme, const TRect& frame, const TRect& caption) {
    HDC dc = PaintCanvas().Handle();
    {
        win32::TSavedDC saved(dc);
        ExcludeClipRect(dc, caption.Left, caption.Top, caption.Right, caption.Bottom);
        // The normal state even when disabled: the caption shows the state.
        theme.Draw(dc, kBpGroupBox, 1, frame);
    }
    const std::u16string text = Caption();
    if (!UseCheckBox() && !text.empty()) {
        win32::TSavedDC saved(dc);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, win32::ToColorRef(clHighlight));
        theme.DrawText(dc, kBpGroupBox, 1, text, DrawTextBiDiModeFlags(kCaptionFlags), caption);
    }
}

void TVxCustomGroupBox::PaintEtched(const TRect& frame, const TRect& caption) {
    win32::TGdiCanvas& canvas = PaintCanvas();
    const auto path = [&](int32_t shift, TColor color) {
        const int32_t left = frame.Left - shift;
        const int32_t top = frame.Top - shift;
        const int32_t right = frame.Right - shift;
        const int32_t bottom = frame.Bottom - shift;
        const std::array<TPoint, 2> head{TPoint{left, top}, TPoint{caption.Left, top}};
        const std::array<TPoint, 5> rest{TPoint{caption.Right, top}, TPoint{right, top}, TPoint{right, bottom},
                                         TPoint{left, bottom}, TPoint{left, top}};
        canvas.Polyline(head, color);
        canvas.Polyline(rest, color);
    };
    path(0, clBtnHighlight);
    path(1, clBtnShadow);
    const std::u16string text = Caption();
    if (UseCheckBox() || text.empty()) {
        return;
    }
    const uint32_t flags = DrawTextBiDiModeFlags(kCaptionFlags);
    if (Enabled()) {
        TRect r = caption;
        canvas.DrawText(text, r, flags);
    } else {
        win32::DrawEngravedText(canvas.Handle(), text, {caption.Left, caption.Top, caption.Right, caption.Bottom},
                                flags);
    }
}

// ---- messages

void TVxCustomGroupBox::CMDialogChar(TMessage& m) {
    if (IsAccel(static_cast<char16_t>(m.WParam), Caption()) && CanFocus()) {
        SelectNext(nullptr, true, true);
        m.Result = 1;
        return;
    }
    Inherited<TVxCustomGroupBox>(m);
}

void TVxCustomGroupBox::CMTextChanged(TMessage& m) {
    Inherited<TVxCustomGroupBox>(m);
    if (UseCheckBox()) {
        m_checkBox->SetCaption(Caption());
        LayoutCheckBox();
    }
    Invalidate();
}

void TVxCustomGroupBox::WMSize(TMessage& m) {
    Inherited<TVxCustomGroupBox>(m);
    if (UseCheckBox()) {
        LayoutCheckBox();
    }
}

}  // namespace zaprelay::skin
