// The form's option objects: how the frame is dragged, how the window snaps to screen edges,
// its translucency, drop shadow and show animation, and the containers that group the last
// three for popup menus. They hold values only; the form acts on them.
#pragma once

#include "framework/rtl/persistent.h"

#include <cstdint>
#include <functional>

namespace zaprelay::skin {

// A setter's first step, for the form's options and the skinned controls: false when the value
// is already there, else it is stored.
template <typename T>
bool Store(T& field, T value) {
    if (field == value) {
        return false;
    }
    field = value;
    return true;
}

// kfdmBorder drags an XOR outline and moves the window once at the end.
enum TVxFormDragMode : uint8_t { kfdmBorder, kfdmFullDrag };

enum TkeEffect : uint8_t {
    keRandomSelect,
    keFade,
    keDiagonal,
    keDown,
    keIn,
    keOut,
    keRectIn,
    keRectOut,
    kePixel,
    kePixelLine,
    keDiamondIn,
    keDiamondOut,
    keSmoothDiagonal,
    keSmoothRectIn,
    keSmoothRectOut,
};

enum TVxDirection : uint8_t { kdNone, kdNoRotate, kdRotate90, kdRotate180, kdRotate270 };

extern const TEnumInfo kFormDragModeNames;
extern const TEnumInfo kEffectNames;
extern const TEnumInfo kDirectionNames;

// Called with the object that changed.
using TVxOptionChange = std::function<void(TObject* sender)>;

class TVxDragging : public TPersistent {
public:
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    bool Moveable() const { return m_moveable; }
    void SetMoveable(bool value) { m_moveable = value; }
    bool Sizeable() const { return m_sizeable; }
    void SetSizeable(bool value) { m_sizeable = value; }
    TVxFormDragMode DragMode() const { return m_dragMode; }
    // A value outside the enumeration is ignored.
    void SetDragMode(TVxFormDragMode value);

private:
    bool m_moveable = true;
    bool m_sizeable = true;
    TVxFormDragMode m_dragMode = kfdmFullDrag;
};

class TVxGravitation : public TPersistent {
public:
    static constexpr int32_t kMinSize = 1;
    static constexpr int32_t kMaxSize = 50;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value) { m_enabled = value; }
    // Snapping distance in pixels, kept within kMinSize..kMaxSize.
    int32_t Size() const { return m_size; }
    void SetSize(int32_t value);

private:
    bool m_enabled = true;
    int32_t m_size = 20;
};

class TVxBlending : public TPersistent {
public:
    static constexpr int32_t kMaxValue = 255;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value);
    // Opacity 0..255.
    int32_t Value() const { return m_value; }
    void SetValue(int32_t value);

    // The owner's handler: the frame has to be recomposed.
    TVxOptionChange OnChange;

private:
    void Changed();

    bool m_enabled = false;
    int32_t m_value = 150;
};

class TVxShadow : public TPersistent {
public:
    static constexpr int32_t kMaxSize = 20;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value);
    // Offset in pixels, 0..kMaxSize; a size of zero or less turns the shadow off (and is kept
    // as 0, so enabling it again later never draws a negative shadow).
    int32_t Size() const { return m_size; }
    void SetSize(int32_t value);

    TVxOptionChange OnChange;

private:
    void Changed();

    bool m_enabled = false;
    int32_t m_size = 4;
};

class TVxAnimation : public TPersistent {
public:
    static constexpr int32_t kMinTime = 50;
    static constexpr int32_t kMaxTime = 9000;
    static constexpr int32_t kMaxResolution = 10;
    static constexpr int32_t kMaxTileCount = 20;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value) { m_enabled = value; }
    TkeEffect Effect() const { return m_effect; }
    // Values outside the enumerations are ignored.
    void SetEffect(TkeEffect value);
    TVxDirection Direction() const { return m_direction; }
    void SetDirection(TVxDirection value);
    // Milliseconds, kMinTime..kMaxTime.
    int32_t Time() const { return m_time; }
    void SetTime(int32_t value);
    // Pixels per mask cell, 1..kMaxResolution.
    int32_t Resolution() const { return m_resolution; }
    void SetResolution(int32_t value);
    int32_t TileCount() const { return m_tileCount; }
    void SetTileCount(int32_t value);

private:
    bool m_enabled = false;
    TkeEffect m_effect = keFade;
    TVxDirection m_direction = kdNone;
    int32_t m_time = 400;
    int32_t m_resolution = 1;
    int32_t m_tileCount = 1;
};

// Blending, shadow and animation together, for windows other than the form (its popup
// menus). A change of an owned object, through the container or directly, fires
// OnChange once.
class TVxEffectOptions : public TPersistent {
public:
    TVxEffectOptions();
    TVxEffectOptions(const TVxEffectOptions&) = delete;
    TVxEffectOptions& operator=(const TVxEffectOptions&) = delete;

    // Copies from an object of this one's class (or a descendant); anything else raises.
    void CopyFrom(const TPersistent& source) override;

    TVxBlending* Blending() { return &m_blending; }
    void SetBlending(const TVxBlending& value);
    TVxShadow* Shadow() { return &m_shadow; }
    void SetShadow(const TVxShadow& value);
    TVxAnimation* Animation() { return &m_animation; }
    void SetAnimation(const TVxAnimation& value);

    TVxOptionChange OnChange;

protected:
    template <typename T>
    static void Publish(TClassInfo& info);

private:
    // Runs copy with the owned objects' own notices held back, then fires OnChange when
    // anything changed.
    template <typename Copy>
    void Update(Copy&& copy);
    void OwnedChanged();

    TVxBlending m_blending;
    TVxShadow m_shadow;
    TVxAnimation m_animation;
    int m_updating = 0;
    bool m_changed = false;
};

class TVxFormOptions : public TVxEffectOptions {
public:
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

class TVxPopupMenuOptions : public TVxEffectOptions {
public:
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

}  // namespace zaprelay::skin
