#include "framework/win32/status_bar.h"

#include "framework/win32/control_props.h"

#include <commctrl.h>
#include <vector>

namespace zaprelay::win32 {

const TEnumInfo kStatusPanelBevelNames =
    MakeEnumInfo<pbRaised>("TStatusPanelBevel", {"pbNone", "pbLowered", "pbRaised"});

// ---------------------------------------------------------------- TStatusPanel

const TClassInfo& TStatusPanel::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TStatusPanel, TCollectionItem>("TStatusPanel");
        TClassBuilder<TStatusPanel>(i)
            .Enum("Alignment", kAlignmentNames, &TStatusPanel::Alignment, &TStatusPanel::SetAlignment, taLeftJustify)
            .Enum("Bevel", kStatusPanelBevelNames, &TStatusPanel::Bevel, &TStatusPanel::SetBevel, pbLowered)
            .WideString("Text", &TStatusPanel::Text, &TStatusPanel::SetText)
            .Integer("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth, 50);
        return i;
    }();
    return info;
}

void TStatusPanel::CopyFrom(const TPersistent& source) {
    if (auto* other = dynamic_cast<const TStatusPanel*>(&source)) {
        m_alignment = other->m_alignment;
        m_bevel = other->m_bevel;
        m_text = other->m_text;
        m_width = other->m_width;
        Changed();
        return;
    }
    TCollectionItem::CopyFrom(source);
}

void TStatusPanel::SetAlignment(TAlignment value) {
    m_alignment = value;
    Changed();
}

void TStatusPanel::SetBevel(TStatusPanelBevel value) {
    m_bevel = value;
    Changed();
}

void TStatusPanel::SetText(const std::u16string& value) {
    m_text = value;
    Changed();
}

void TStatusPanel::SetWidth(int32_t value) {
    m_width = std::max<int32_t>(value, 0);
    Changed(true);  // the panels after it move
}

std::string TStatusPanel::DisplayName() const {
    return m_text.empty() ? TCollectionItem::DisplayName() : std::string(m_text.begin(), m_text.end());
}

TStatusPanels::TStatusPanels(TStatusBar& bar) : TOwnedCollection<TStatusPanel>(&bar), m_bar(bar) {}

void TStatusPanels::Update(TCollectionItem*) {
    m_bar.UpdatePanels();
}

// ---------------------------------------------------------------- TStatusBar

const TClassInfo& TStatusBar::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TStatusBar, TWinControl>("TStatusBar");
        TClassBuilder<TStatusBar> b(i);
        publish::BiDiMode(b);
        publish::Color(b, clBtnFace);
        publish::Constraints(b);
        publish::Enabled(b);
        publish::Font(b);
        b.Collection("Panels", [](TStatusBar& s) -> TCollection* { return s.Panels(); });
        publish::ParentColor(b);
        publish::ParentsPopupHint(b);
        b.Boolean("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel, false);
        b.WideString("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
        b.Boolean("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip, true);
        publish::Visible(b);
        b.Event("OnClick", publish::Member<TStatusBar>(&TStatusBar::OnClick));
        publish::MouseEvents(b);
        b.Creatable();
        return i;
    }();
    return info;
}

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner), m_panels(*this) {
    SetBounds(0, 0, 200, 19);
}

void TStatusBar::CreateParams(TCreateParams& params) {
    static bool initialised = [] {
        INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
        return InitCommonControlsEx(&init) != FALSE;
    }();
    (void)initialised;
    TWinControl::CreateParams(params);
    params.SystemClass = STATUSCLASSNAMEW;
    // The framework places the bar; the window must not move itself to the parent's bottom.
    params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE;
    if (m_sizeGrip) {
        params.Style |= SBARS_SIZEGRIP;
    }
}

void TStatusBar::CreateWnd() {
    TWinControl::CreateWnd();
    UpdatePanels();
}

void TStatusBar::SetSimplePanel(bool value) {
    if (value != m_simplePanel) {
        m_simplePanel = value;
        UpdatePanels();
    }
}

void TStatusBar::SetSimpleText(const std::u16string& value) {
    m_simpleText = value;
    UpdatePanels();
}

void TStatusBar::SetSizeGrip(bool value) {
    if (value != m_sizeGrip) {
        m_sizeGrip = value;
        RecreateWnd();
    }
}

void TStatusBar::UpdatePanels() {
    if (!HandleAllocated()) {
        return;
    }
    HWND window = WindowHandle();
    SendMessageW(window, SB_SIMPLE, m_simplePanel ? TRUE : FALSE, 0);
    if (m_simplePanel) {
        SendMessageW(window, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(m_simpleText.c_str()));
        return;
    }
    // The window takes at most 256 parts; each right edge is the sum of the widths so far.
    int count = std::min(m_panels.Count(), 255);
    std::vector<int> edges(static_cast<std::size_t>(std::max(count, 1)), -1);
    int right = 0;
    for (int i = 0; i < count; ++i) {
        right += m_panels.Items(i)->Width();
        edges[static_cast<std::size_t>(i)] = i == count - 1 ? -1 : right;
    }
    SendMessageW(window, SB_SETPARTS, static_cast<WPARAM>(std::max(count, 1)), reinterpret_cast<LPARAM>(edges.data()));
    for (int i = 0; i < count; ++i) {
        TStatusPanel* panel = m_panels.Items(i);
        std::u16string text = panel->Text();
        // The window aligns text after a tab (centre) or two (right).
        if (panel->Alignment() == taCenter) {
            text = u"\t" + text;
        } else if (panel->Alignment() == taRightJustify) {
            text = u"\t\t" + text;
        }
        WPARAM style = panel->Bevel() == pbNone ? SBT_NOBORDERS : panel->Bevel() == pbRaised ? SBT_POPOUT : 0;
        SendMessageW(window, SB_SETTEXTW, static_cast<WPARAM>(i) | style, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

}  // namespace zaprelay::win32
