#include "skin/objects/color_button_object.h"

#include "skin/objects/object_kinds.h"

namespace zaprelay::skin {

namespace {

// Saves the object's caption font and colour and puts them back on the way out, also when
// painting throws.
class TLookRestore {
public:
    explicit TLookRestore(TVxSkinObject& object)
        : m_object(object), m_font(std::make_unique<TFont>()), m_color(object.Color()) {
        m_font->CopyFrom(object.CaptionFont());
    }
    ~TLookRestore() {
        m_object.Font().CopyFrom(*m_font);
        m_object.SetColor(m_color);
    }
    TLookRestore(const TLookRestore&) = delete;
    TLookRestore& operator=(const TLookRestore&) = delete;

private:
    TVxSkinObject& m_object;
    std::unique_ptr<TFont> m_font;
    TColor m_color;
};

}  // namespace

TVxColorButtonObject::TVxColorButtonObject(TComponent* owner)
    : TVxSkinObject(owner),
      m_hotFont(std::make_unique<TFont>()),
      m_pressedFont(std::make_unique<TFont>()),
      m_focusedFont(std::make_unique<TFont>()),
      m_disabledFont(std::make_unique<TFont>()) {}

TVxColorButtonObject::~TVxColorButtonObject() = default;

const TClassInfo& TVxColorButtonObject::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TVxColorButtonObject;
        TClassInfo i = NewClassInfo<T, TVxSkinObject>("TVxColorButtonObject");
        TClassBuilder<T>(i)
            .Color("HotColor", &T::HotColor, &T::SetHotColor, clBlack)
            .Object("HotFont", [](T& o) -> TPersistent* { return &o.HotFont(); })
            .Color("PressedColor", &T::PressedColor, &T::SetPressedColor, clBlack)
            .Object("PressedFont", [](T& o) -> TPersistent* { return &o.PressedFont(); })
            .Color("FocusedColor", &T::FocusedColor, &T::SetFocusedColor, clBlack)
            .Object("FocusedFont", [](T& o) -> TPersistent* { return &o.FocusedFont(); })
            .Color("DisabledColor", &T::DisabledColor, &T::SetDisabledColor, clBlack)
            .Object("DisabledFont", [](T& o) -> TPersistent* { return &o.DisabledFont(); })
            .Creatable();
        return i;
    }();
    return info;
}

void TVxColorButtonObject::CopyFrom(const TPersistent& source) {
    TVxSkinObject::CopyFrom(source);
    if (const auto* other = dynamic_cast<const TVxColorButtonObject*>(&source); other != nullptr && other != this) {
        m_hotFont->CopyFrom(*other->m_hotFont);
        m_hotColor = other->m_hotColor;
        m_pressedFont->CopyFrom(*other->m_pressedFont);
        m_pressedColor = other->m_pressedColor;
        m_focusedFont->CopyFrom(*other->m_focusedFont);
        m_focusedColor = other->m_focusedColor;
        m_disabledFont->CopyFrom(*other->m_disabledFont);
        m_disabledColor = other->m_disabledColor;
    }
}

void TVxColorButtonObject::Draw(TCanvas& canvas) {
    if (Width() <= 0 || Height() <= 0) {
        return;
    }
    TLookRestore restore(*this);
    auto take = [this](const TFont& font, TColor color) {
        Font().CopyFrom(font);
        SetColor(color);
    };
    switch (State) {
        case skin_state::kHot:
            take(*m_hotFont, m_hotColor);
            break;
        case skin_state::kPressed:
            take(*m_pressedFont, m_pressedColor);
            break;
        case skin_state::kFocused:
            take(*m_focusedFont, m_focusedColor);
            break;
        case skin_state::kDisabled:
            take(*m_disabledFont, m_disabledColor);
            break;
        default:
            break;
    }
    TVxSkinObject::Draw(canvas);
}

}  // namespace zaprelay::skin
