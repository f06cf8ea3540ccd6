// The form's option objects: setter clamps, change notices (only on a real change, and only
// where an owner listens), the containers' forwarding and copying, and the round trip of a
// layout's text form through the published tables.
#include "skin/form/form_options.h"

#include "framework/rtl/component.h"
#include "framework/rtl/exceptions.h"
#include "framework/rtl/object_stream.h"
#include "framework/rtl/object_text.h"
#include "framework/rtl/streams.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zaprelay::skin {
namespace {

// Holds one of each option object, as the form will.
class TOptionsHolder : public TComponent {
public:
    explicit TOptionsHolder(TComponent* owner) : TComponent(owner) {}

    static const TClassInfo& StaticClassInfo() {
        static const TClassInfo info = [] {
            TClassInfo i = NewClassInfo<TOptionsHolder, TComponent>("TOptionsHolder");
            TClassBuilder<TOptionsHolder>(i)
                .Object("Animation", [](TOptionsHolder& h) { return &h.Animation; })
                .Object("Blending", [](TOptionsHolder& h) { return &h.Blending; })
                .Object("Dragging", [](TOptionsHolder& h) { return &h.Dragging; })
                .Object("Gravitation", [](TOptionsHolder& h) { return &h.Gravitation; })
                .Object("SystemMenuOptions", [](TOptionsHolder& h) { return &h.SystemMenuOptions; })
                .Object("Shadow", [](TOptionsHolder& h) { return &h.Shadow; })
                .Object("TrayMenuOptions", [](TOptionsHolder& h) { return &h.TrayMenuOptions; });
            return i;
        }();
        return info;
    }
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    TVxAnimation Animation;
    TVxBlending Blending;
    TVxDragging Dragging;
    TVxGravitation Gravitation;
    TVxPopupMenuOptions SystemMenuOptions;
    TVxShadow Shadow;
    TVxFormOptions TrayMenuOptions;
};

std::string WriteText(TOptionsHolder& holder) {
    TMemoryStream stream;
    WriteObjectStream(stream, holder);
    TMemoryStream text;
    stream.SetPosition(0);
    StreamBinaryToText(stream, text);
    std::string out(static_cast<std::size_t>(text.Size()), '\0');
    text.SetPosition(0);
    text.Read(out.data(), text.Size());
    return out;
}

void ReadText(const std::string& text, TOptionsHolder& holder) {
    TMemoryStream stream(TextToBinary(text));
    ReadObjectStream(stream, holder);
}

// Counts the notices of an object with an OnChange; outlives the object's handler.
struct TNotices {
    template <typename T>
    explicit TNotices(T& object) {
        object.OnChange = [this, self = static_cast<TObject*>(&object)](TObject* sender) {
            EXPECT_EQ(sender, self);
            ++Count;
        };
    }
    int Count = 0;
};

// Sets "Object.Property" of a fresh holder through the published tables, as a layout would,
// and returns what was stored.
int64_t StoredAfterSetting(const std::string& path, int64_t value) {
    TOptionsHolder holder(nullptr);
    const std::size_t dot = path.find('.');
    TPersistent* object = holder.ClassInfo().FindProperty(path.substr(0, dot))->GetObject(holder);
    const TPropInfo* property = object->ClassInfo().FindProperty(path.substr(dot + 1));
    property->SetOrd(*object, value);
    return property->GetOrd(*object);
}

TEST(FormOptions, ClampedSettersKeepValuesInRange) {
    struct Clamp {
        const char* path;
        int32_t in;
        int32_t stored;
    };
    const Clamp clamps[] = {
        {"Gravitation.Size", -5, 1},
        {"Gravitation.Size", 1, 1},
        {"Gravitation.Size", 50, 50},
        {"Gravitation.Size", 51, 50},
        {"Gravitation.Size", INT32_MAX, 50},
        {"Blending.Value", -1, 0},
        {"Blending.Value", 255, 255},
        {"Blending.Value", 256, 255},
        {"Blending.Value", INT32_MIN, 0},
        {"Shadow.Size", 1, 1},
        {"Shadow.Size", 20, 20},
        {"Shadow.Size", 21, 20},
        {"Shadow.Size", -7, 0},
        {"Animation.Time", 0, 50},
        {"Animation.Time", 51, 51},
        {"Animation.Time", 9000, 9000},
        {"Animation.Time", 9001, 9000},
        {"Animation.Resolution", 0, 1},
        {"Animation.Resolution", 10, 10},
        {"Animation.Resolution", 11, 10},
        {"Animation.TileCount", -1, 1},
        {"Animation.TileCount", 20, 20},
        {"Animation.TileCount", 21, 20},
    };
    for (const Clamp& c : clamps) {
        EXPECT_EQ(StoredAfterSetting(c.path, c.in), c.stored) << c.path << " = " << c.in;
    }
}

TEST(FormOptions, ShadowSizeOfZeroOrLessTurnsTheShadowOff) {
    TVxShadow shadow;
    shadow.SetEnabled(true);
    shadow.SetSize(0);
    EXPECT_FALSE(shadow.Enabled());
    shadow.SetEnabled(true);
    shadow.SetSize(-3);
    EXPECT_FALSE(shadow.Enabled());
    EXPECT_EQ(shadow.Size(), 0);

    shadow.SetEnabled(true);
    shadow.SetSize(30);
    EXPECT_TRUE(shadow.Enabled()) << "a large size only clamps";
}

TEST(FormOptions, OutOfRangeEnumerationValuesAreIgnored) {
    TVxAnimation animation;
    animation.SetEffect(keDiamondIn);
    animation.SetEffect(static_cast<TkeEffect>(15));
    animation.SetDirection(static_cast<TVxDirection>(200));
    EXPECT_EQ(animation.Effect(), keDiamondIn);
    EXPECT_EQ(animation.Direction(), kdNone);
    TVxDragging dragging;
    dragging.SetDragMode(kfdmBorder);
    dragging.SetDragMode(static_cast<TVxFormDragMode>(2));
    EXPECT_EQ(dragging.DragMode(), kfdmBorder);
}

TEST(FormOptions, BlendingAndShadowNotifyOnlyOnRealChanges) {
    TVxBlending blending;
    TNotices blendings(blending);
    blending.SetEnabled(false);
    blending.SetValue(150);
    blending.SetValue(300);  // -> 255
    blending.SetValue(255);  // same after clamping
    blending.SetEnabled(true);
    EXPECT_EQ(blendings.Count, 2);

    TVxShadow shadow;
    TNotices shadows(shadow);
    shadow.SetSize(4);
    shadow.SetEnabled(true);
    shadow.SetSize(-1);  // size and Enabled change: one notice
    shadow.SetSize(0);   // already off and 0
    shadow.SetSize(25);
    shadow.SetSize(20);
    EXPECT_EQ(shadows.Count, 3);

    TVxBlending other;
    other.SetValue(10);
    blending.CopyFrom(other);  // both fields change: one notice
    blending.CopyFrom(other);
    EXPECT_EQ(blendings.Count, 3);
    EXPECT_FALSE(blending.Enabled());
    EXPECT_EQ(blending.Value(), 10);
}

const char* const kLayout =
    "object Holder: TOptionsHolder\r\n"
    "  Animation.Enabled = True\r\n"
    "  Animation.Effect = keDiamondOut\r\n"
    "  Animation.Direction = kdRotate90\r\n"
    "  Animation.Time = 1000\r\n"
    "  Animation.Resolution = 4\r\n"
    "  Animation.TileCount = 3\r\n"
    "  Blending.Enabled = True\r\n"
    "  Blending.Value = 200\r\n"
    "  Dragging.Moveable = False\r\n"
    "  Dragging.Sizeable = False\r\n"
    "  Dragging.DragMode = kfdmBorder\r\n"
    "  Gravitation.Enabled = False\r\n"
    "  Gravitation.Size = 9\r\n"
    "  SystemMenuOptions.Blending.Value = 100\r\n"
    "  SystemMenuOptions.Shadow.Enabled = True\r\n"
    "  SystemMenuOptions.Animation.Effect = keRandomSelect\r\n"
    "  Shadow.Enabled = True\r\n"
    "  Shadow.Size = 10\r\n"
    "  TrayMenuOptions.Shadow.Size = 2\r\n"
    "  TrayMenuOptions.Animation.Enabled = True\r\n"
    "end\r\n";

TEST(FormOptions, CopyFromCopiesEveryField) {
    // Every published field of the source differs from its default, so a field the copy
    // misses shows in the copy's text.
    TOptionsHolder source(nullptr);
    ReadText(kLayout, source);
    TOptionsHolder copy(nullptr);
    copy.SetName("Holder");
    copy.Animation.CopyFrom(source.Animation);
    copy.Blending.CopyFrom(source.Blending);
    copy.Dragging.CopyFrom(source.Dragging);
    copy.Gravitation.CopyFrom(source.Gravitation);
    copy.SystemMenuOptions.CopyFrom(source.SystemMenuOptions);
    copy.Shadow.CopyFrom(source.Shadow);
    copy.TrayMenuOptions.CopyFrom(source.TrayMenuOptions);
    EXPECT_EQ(WriteText(copy), kLayout);
}

TEST(FormOptions, CopyFromAnotherClassRaisesAndKeepsTheValues) {
    TVxBlending blending;
    blending.SetValue(99);
    TVxShadow shadow;
    TNotices notices(blending);
    EXPECT_THROW(blending.CopyFrom(shadow), EConvertError);
    EXPECT_EQ(blending.Value(), 99);
    EXPECT_EQ(notices.Count, 0);

    TVxGravitation gravitation;
    EXPECT_THROW(TVxDragging().CopyFrom(gravitation), EConvertError);
    EXPECT_THROW(TVxAnimation().CopyFrom(gravitation), EConvertError);

    // The two containers look alike but are not the same class.
    TVxFormOptions form;
    TVxPopupMenuOptions popup;
    EXPECT_THROW(form.CopyFrom(popup), EConvertError);
    EXPECT_THROW(popup.CopyFrom(form), EConvertError);
    EXPECT_THROW(form.CopyFrom(blending), EConvertError);
}

TEST(FormOptions, ContainersForwardChangesOfTheirObjects) {
    TVxPopupMenuOptions options;
    TNotices notices(options);
    options.Blending()->SetValue(10);
    options.Shadow()->SetEnabled(true);
    options.Shadow()->SetEnabled(true);
    EXPECT_EQ(notices.Count, 2);
    options.Animation()->SetTime(900);  // the animation is read when shown: no notice
    EXPECT_EQ(notices.Count, 2);

    TVxShadow shadow;
    shadow.SetEnabled(true);
    shadow.SetSize(8);
    options.SetShadow(shadow);  // only the size differs
    options.SetShadow(shadow);
    EXPECT_EQ(notices.Count, 3);
    EXPECT_EQ(options.Shadow()->Size(), 8);

    TVxAnimation animation;
    animation.SetTime(700);
    options.SetAnimation(animation);
    options.SetAnimation(animation);
    EXPECT_EQ(notices.Count, 4);
    EXPECT_EQ(options.Animation()->Time(), 700);

    TVxBlending blending;
    blending.SetEnabled(true);
    blending.SetValue(10);
    options.SetBlending(blending);
    EXPECT_EQ(notices.Count, 5);
    EXPECT_TRUE(options.Blending()->Enabled());
}

TEST(FormOptions, ContainerCopyFromCopiesAllAndNotifiesOnce) {
    TVxFormOptions source;
    source.Blending()->SetEnabled(true);
    source.Blending()->SetValue(40);
    source.Shadow()->SetEnabled(true);
    source.Shadow()->SetSize(6);
    source.Animation()->SetEffect(keDown);
    source.Animation()->SetTileCount(5);

    TVxFormOptions target;
    TNotices notices(target);
    target.CopyFrom(source);
    EXPECT_EQ(notices.Count, 1);
    target.CopyFrom(source);
    EXPECT_EQ(notices.Count, 1) << "nothing changed";

    EXPECT_TRUE(target.Blending()->Enabled());
    EXPECT_EQ(target.Blending()->Value(), 40);
    EXPECT_TRUE(target.Shadow()->Enabled());
    EXPECT_EQ(target.Shadow()->Size(), 6);
    EXPECT_EQ(target.Animation()->Effect(), keDown);
    EXPECT_EQ(target.Animation()->TileCount(), 5);

    // The copy keeps its own objects: changing the source later leaves it alone.
    source.Blending()->SetValue(41);
    EXPECT_EQ(target.Blending()->Value(), 40);
    EXPECT_EQ(notices.Count, 1);
}

TEST(FormOptions, LayoutTextReadsInAndWritesBackTheSame) {
    TOptionsHolder holder(nullptr);
    ReadText(kLayout, holder);
    EXPECT_FALSE(holder.Dragging.Sizeable());
    EXPECT_EQ(holder.Dragging.DragMode(), kfdmBorder);
    EXPECT_EQ(holder.Gravitation.Size(), 9);
    EXPECT_EQ(holder.Animation.Effect(), keDiamondOut);
    EXPECT_EQ(holder.Animation.Direction(), kdRotate90);
    EXPECT_EQ(holder.SystemMenuOptions.Animation()->Effect(), keRandomSelect);
    EXPECT_EQ(holder.TrayMenuOptions.Shadow()->Size(), 2);
    EXPECT_EQ(WriteText(holder), kLayout);
}

TEST(FormOptions, DefaultObjectsWriteNothing) {
    TOptionsHolder holder(nullptr);
    holder.SetName("Holder");
    EXPECT_EQ(WriteText(holder), "object Holder: TOptionsHolder\r\nend\r\n");
}

TEST(FormOptions, LayoutValuesOutOfRangeAreClampedNotRejected) {
    TOptionsHolder holder(nullptr);
    ReadText(
        "object Holder: TOptionsHolder\r\n"
        "  Gravitation.Size = 500\r\n"
        "  Blending.Value = -20\r\n"
        "  Animation.Time = 1\r\n"
        "  Shadow.Enabled = True\r\n"
        "  Shadow.Size = -4\r\n"
        "end\r\n",
        holder);
    EXPECT_EQ(holder.Gravitation.Size(), 50);
    EXPECT_EQ(holder.Blending.Value(), 0);
    EXPECT_EQ(holder.Animation.Time(), 50);
    EXPECT_FALSE(holder.Shadow.Enabled());
}

TEST(FormOptions, UnknownEffectNameIsAReadError) {
    TOptionsHolder holder(nullptr);
    EXPECT_THROW(ReadText("object Holder: TOptionsHolder\r\n  Animation.Effect = keSpin\r\nend\r\n", holder),
                 Exception);
    EXPECT_EQ(holder.Animation.Effect(), keFade);
}

}  // namespace
}  // namespace zaprelay::skin
