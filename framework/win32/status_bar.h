// A status bar over the system's status window: a row of panels (a collection, so layouts
// list them as items) or one simple text.
#pragma once

#include "framework/rtl/collection.h"
#include "framework/win32/win_control.h"

namespace zaprelay::win32 {

class TStatusBar;

enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
extern const TEnumInfo kStatusPanelBevelNames;

class TStatusPanel : public TCollectionItem {
public:
    explicit TStatusPanel(TCollection& collection) : TCollectionItem(collection) {}

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment value);
    TStatusPanelBevel Bevel() const { return m_bevel; }
    void SetBevel(TStatusPanelBevel value);
    const std::u16string& Text() const { return m_text; }
    void SetText(const std::u16string& value);
    int32_t Width() const { return m_width; }
    void SetWidth(int32_t value);
    std::string DisplayName() const override;

private:
    TAlignment m_alignment = taLeftJustify;
    TStatusPanelBevel m_bevel = pbLowered;
    std::u16string m_text;
    int32_t m_width = 50;
};

class TStatusPanels : public TOwnedCollection<TStatusPanel> {
public:
    explicit TStatusPanels(TStatusBar& bar);

protected:
    void Update(TCollectionItem* item) override;

private:
    TStatusBar& m_bar;
};

class TStatusBar : public TWinControl {
public:
    explicit TStatusBar(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    TStatusPanels* Panels() { return &m_panels; }
    // One text across the whole bar instead of the panels.
    bool SimplePanel() const { return m_simplePanel; }
    void SetSimplePanel(bool value);
    const std::u16string& SimpleText() const { return m_simpleText; }
    void SetSimpleText(const std::u16string& value);
    bool SizeGrip() const { return m_sizeGrip; }
    void SetSizeGrip(bool value);

    // Passes the panels (widths, texts, bevels) to the window.
    void UpdatePanels();

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    TStatusPanels m_panels;
    bool m_simplePanel = false;
    std::u16string m_simpleText;
    bool m_sizeGrip = true;
};

}  // namespace zaprelay::win32
