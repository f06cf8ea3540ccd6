#include "skin/form/form_options.h"

#include <algorithm>
#include <utility>

namespace zaprelay::skin {

const TEnumInfo kFormDragModeNames = MakeEnumInfo<kfdmFullDrag>("TVxFormDragMode", {"kfdmBorder", "kfdmFullDrag"});
const TEnumInfo kEffectNames = MakeEnumInfo<keSmoothRectOut>(
    "TkeEffect",
    {"keRandomSelect", "keFade", "keDiagonal", "keDown", "keIn", "keOut", "keRectIn", "keRectOut", "kePixel",
     "kePixelLine", "keDiamondIn", "keDiamondOut", "keSmoothDiagonal", "keSmoothRectIn", "keSmoothRectOut"});
const TEnumInfo kDirectionNames =
    MakeEnumInfo<kdRotate270>("TVxDirection", {"kdNone", "kdNoRotate", "kdRotate90", "kdRotate180", "kdRotate270"});

// ---- TVxDragging

const TClassInfo& TVxDragging::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TVxDragging, TPersistent>("TVxDragging");
        TClassBuilder<TVxDragging>(i)
            .Boolean("Moveable", &TVxDragging::Moveable, &TVxDragging::SetMoveable, true)
            .Boolean("Sizeable", &TVxDragging::Sizeable, &TVxDragging::SetSizeable, true)
            .Enum("DragMode", kFormDragModeNames, &TVxDragging::DragMode, &TVxDragging::SetDragMode, kfdmFullDrag);
        return i;
    }();
    return info;
}

void TVxDragging::CopyFrom(const TPersistent& source) {
    if (source.InheritsFrom(StaticClassInfo())) {
        const auto& other = static_cast<const TVxDragging&>(source);
        m_moveable = other.m_moveable;
        m_sizeable = other.m_sizeable;
        m_dragMode = other.m_dragMode;
        return;
    }
    TPersistent::CopyFrom(source);
}

void TVxDragging::SetDragMode(TVxFormDragMode value) {
    if (value <= kfdmFullDrag) {
        m_dragMode = value;
    }
}

// ---- TVxGravitation

const TClassInfo& TVxGravitation::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TVxGravitation, TPersistent>("TVxGravitation");
        TClassBuilder<TVxGravitation>(i)
            .Boolean("Enabled", &TVxGravitation::Enabled, &TVxGravitation::SetEnabled, true)
            .Integer("Size", &TVxGravitation::Size, &TVxGravitation::SetSize, 20);
        return i;
    }();
    return info;
}

void TVxGravitation::CopyFrom(const TPersistent& source) {
    if (source.InheritsFrom(StaticClassInfo())) {
        const auto& other = static_cast<const TVxGravitation&>(source);
        m_enabled = other.m_enabled;
        m_size = other.m_size;
        return;
    }
    TPersistent::CopyFrom(source);
}

void TVxGravitation::SetSize(int32_t value) {
    m_size = std::clamp(value, kMinSize, kMaxSize);
}

// ---- TVxBlending

const TClassInfo& TVxBlending::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TVxBlending, TPersistent>("TVxBlending");
        TClassBuilder<TVxBlending>(i)
            .Boolean("Enabled", &TVxBlending::Enabled, &TVxBlending::SetEnabled, false)
            .Integer("Value", &TVxBlending::Value, &TVxBlending::SetValue, 150);
        return i;
    }();
    return info;
}

void TVxBlending::CopyFrom(const TPersistent& source) {
    if (source.InheritsFrom(StaticClassInfo())) {
        const auto& other = static_cast<const TVxBlending&>(source);
        // One notice for the whole copy: each one makes the owner recompose its frame.
        bool changed = Store(m_enabled, other.m_enabled);
        changed = Store(m_value, other.m_value) || changed;
        if (changed) {
            Changed();
        }
        return;
    }
    TPersistent::CopyFrom(source);
}

void TVxBlending::SetEnabled(bool value) {
    if (Store(m_enabled, value)) {
        Changed();
    }
}

void TVxBlending::SetValue(int32_t value) {
    if (Store(m_value, std::clamp(value, 0, kMaxValue))) {
        Changed();
    }
}

void TVxBlending::Changed() {
    if (OnChange) {
        OnChange(this);
    }
}

// ---- TVxShadow

const TClassInfo& TVxShadow::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TVxShadow, TPersistent>("TVxShadow");
        TClassBuilder<TVxShadow>(i)
            .Boolean("Enabled", &TVxShadow::Enabled, &TVxShadow::SetEnabled, false)
            .Integer("Size", &TVxShadow::Size, &TVxShadow::SetSize, 4);
        return i;
    }();
    return info;
}

void TVxShadow::CopyFrom(const TPersistent& source) {
    if (source.InheritsFrom(StaticClassInfo())) {
        const auto& other = static_cast<const TVxShadow&>(source);
        bool changed = Store(m_enabled, other.m_enabled);
        changed = Store(m_size, other.m_size) || changed;
        if (changed) {
            Changed();
        }
        return;
    }
    TPersistent::CopyFrom(source);
}

void TVxShadow::SetEnabled(bool value) {
    if (Store(m_enabled, value)) {
        Changed();
    }
}

void TVxShadow::SetSize(int32_t value) {
    bool changed = false;
    if (value <= 0) {
        changed = Store(m_enabled, false);
        value = 0;
    }
    changed = Store(m_size, std::min(value, kMaxSize)) || changed;
    if (changed) {
        Changed();
    }
}

void TVxShadow::Changed() {
    if (OnChange) {
        OnChange(this);
    }
}

// ---- TVxAnimation

const TClassInfo& TVxAnimation::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TVxAnimation, TPersistent>("TVxAnimation");
        TClassBuilder<TVxAnimation>(i)
            .Boolean("Enabled", &TVxAnimation::Enabled, &TVxAnimation::SetEnabled, false)
            .Enum("Effect", kEffectNames, &TVxAnimation::Effect, &TVxAnimation::SetEffect, keFade)
            .Enum("Direction", kDirectionNames, &TVxAnimation::Direction, &TVxAnimation::SetDirection, kdNone)
            .Integer("Time", &TVxAnimation::Time, &TVxAnimation::SetTime, 400)
            .Integer("Resolution", &TVxAnimation::Resolution, &TVxAnimation::SetResolution, 1)
            .Integer("TileCount", &TVxAnimation::TileCount, &TVxAnimation::SetTileCount, 1);
        return i;
    }();
    return info;
}

void TVxAnimation::CopyFrom(const TPersistent& source) {
    if (source.InheritsFrom(StaticClassInfo())) {
        const auto& other = static_cast<const TVxAnimation&>(source);
        m_enabled = other.m_enabled;
        m_effect = other.m_effect;
        m_direction = other.m_direction;
        m_time = other.m_time;
        m_resolution = other.m_resolution;
        m_tileCount = other.m_tileCount;
        return;
    }
    TPersistent::CopyFrom(source);
}

void TVxAnimation::SetEffect(TkeEffect value) {
    if (value <= keSmoothRectOut) {
        m_effect = value;
    }
}

void TVxAnimation::SetDirection(TVxDirection value) {
    if (value <= kdRotate270) {
        m_direction = value;
    }
}

void TVxAnimation::SetTime(int32_t value) {
    m_time = std::clamp(value, kMinTime, kMaxTime);
}

void TVxAnimation::SetResolution(int32_t value) {
    m_resolution = std::clamp(value, 1, kMaxResolution);
}

void TVxAnimation::SetTileCount(int32_t value) {
    m_tileCount = std::clamp(value, 1, kMaxTileCount);
}

namespace {

bool SameAnimation(const TVxAnimation& a, const TVxAnimation& b) {
    return a.Enabled() == b.Enabled() && a.Effect() == b.Effect() && a.Direction() == b.Direction() &&
           a.Time() == b.Time() && a.Resolution() == b.Resolution() && a.TileCount() == b.TileCount();
}

}  // namespace

// ---- the containers

TVxEffectOptions::TVxEffectOptions() {
    m_blending.OnChange = [this](TObject*) { OwnedChanged(); };
    m_shadow.OnChange = [this](TObject*) { OwnedChanged(); };
}

template <typename Copy>
void TVxEffectOptions::Update(Copy&& copy) {
    ++m_updating;
    try {
        copy();
    } catch (...) {
        --m_updating;
        throw;
    }
    --m_updating;
    if (m_updating == 0 && std::exchange(m_changed, false) && OnChange) {
        OnChange(this);
    }
}

void TVxEffectOptions::OwnedChanged() {
    if (m_updating > 0) {
        m_changed = true;
    } else if (OnChange) {
        OnChange(this);
    }
}

void TVxEffectOptions::CopyFrom(const TPersistent& source) {
    if (source.InheritsFrom(ClassInfo())) {
        const auto& other = static_cast<const TVxEffectOptions&>(source);
        Update([&] {
            m_blending.CopyFrom(other.m_blending);
            m_shadow.CopyFrom(other.m_shadow);
            SetAnimation(other.m_animation);
        });
        return;
    }
    TPersistent::CopyFrom(source);
}

void TVxEffectOptions::SetBlending(const TVxBlending& value) {
    Update([&] { m_blending.CopyFrom(value); });
}

void TVxEffectOptions::SetShadow(const TVxShadow& value) {
    Update([&] { m_shadow.CopyFrom(value); });
}

void TVxEffectOptions::SetAnimation(const TVxAnimation& value) {
    // The animation tells nobody of its changes, so compare here.
    Update([&] {
        if (!SameAnimation(m_animation, value)) {
            m_animation.CopyFrom(value);
            m_changed = true;
        }
    });
}

template <typename T>
void TVxEffectOptions::Publish(TClassInfo& info) {
    // The getters hand the stream the owned objects, which it reads into in place.
    TClassBuilder<T>(info)
        .Object("Blending", [](T& o) { return o.Blending(); })
        .Object("Shadow", [](T& o) { return o.Shadow(); })
        .Object("Animation", [](T& o) { return o.Animation(); });
}

const TClassInfo& TVxFormOptions::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TVxFormOptions, TPersistent>("TVxFormOptions");
        Publish<TVxFormOptions>(i);
        return i;
    }();
    return info;
}

const TClassInfo& TVxPopupMenuOptions::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TVxPopupMenuOptions, TPersistent>("TVxPopupMenuOptions");
        Publish<TVxPopupMenuOptions>(i);
        return i;
    }();
    return info;
}

}  // namespace zaprelay::skin
