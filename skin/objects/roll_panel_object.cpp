#include "skin/objects/roll_panel_object.h"

#include "framework/graphics/geometry.h"

namespace zaprelay::skin {

TVxRollPanelObject::TVxRollPanelObject(TComponent* owner) : TVxSkinObject(owner) {}

const TClassInfo& TVxRollPanelObject::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TVxRollPanelObject;
        TClassInfo i = NewClassInfo<T, TVxSkinObject>("TVxRollPanelObject");
        TClassBuilder<T>(i)
            .Enum("RollKind", kVxRollKindNames, &T::RollKind, &T::SetRollKind, rkLeft)
            .Integer("RollValue", &T::RollValue, &T::SetRollValue, 0)
            .Creatable();
        return i;
    }();
    return info;
}

void TVxRollPanelObject::CopyFrom(const TPersistent& source) {
    TVxSkinObject::CopyFrom(source);
    if (const auto* other = dynamic_cast<const TVxRollPanelObject*>(&source); other != nullptr && other != this) {
        m_rollKind = other->m_rollKind;
        m_rollValue = other->m_rollValue;
    }
}

void TVxRollPanelObject::Roll() {
    if (Owner() == nullptr) {
        return;
    }
    const bool horizontal = m_rollKind == rkLeft || m_rollKind == rkRight;
    const int32_t size = horizontal ? Width() : Height();
    int32_t newSize = RestoreSize;
    if (size != m_rollValue) {
        RestoreSize = size;
        newSize = m_rollValue;
    }
    // The setters realign the children; the left or top roll then keeps the far edge.
    const int32_t oldLeft = Left();
    const int32_t oldTop = Top();
    if (horizontal) {
        SetWidth(newSize);
        if (m_rollKind == rkLeft) {
            SetLeft(ClampToInt32(int64_t{oldLeft} + size - Width()));
        }
    } else {
        SetHeight(newSize);
        if (m_rollKind == rkTop) {
            SetTop(ClampToInt32(int64_t{oldTop} + size - Height()));
        }
    }
    // The host learns of the step through the form request; the queue then shows it.
    GetForm();
    if (Control != nullptr) {
        Control->ProcessMessages();
    }
}

}  // namespace zaprelay::skin
