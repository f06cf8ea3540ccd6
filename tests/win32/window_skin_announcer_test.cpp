// The engine's announcements on real windows: every form and each of its controls hears the
// change, depth first, forms through their windows, and in the order the engine sends.
#include "skin/form/window_skin_announcer.h"

#include "framework/win32/application.h"
#include "framework/win32/forms.h"
#include "framework/win32/group_box.h"
#include "framework/win32/label.h"
#include "skin/objects/skin_messages.h"
#include "skin/store/vx_veneer.h"
#include "tests/win32/test_support.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace zaprelay::skin {
namespace {

using win32::TApplication;
using win32::TForm;

std::vector<std::string> g_heard;

// Notes which control heard which message, and that the engine came with it.
template <typename Base>
class THeard : public Base {
public:
    using Base::Base;
    static const TClassInfo& StaticClassInfo() {
        static const TClassInfo info = NewClassInfo<THeard, Base>("THeard" + Base::StaticClassInfo().Name());
        return info;
    }
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable() {
        static const TMessageTable table = TMessageTable::For<THeard, Base>()
                                               .template On<&THeard::Heard>(VXM_SKINCHANGING)
                                               .template On<&THeard::Heard>(VXM_SKINCHANGED);
        return table;
    }
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }
    TVxVeneer* Engine = nullptr;

private:
    void Heard(TMessage& m) {
        const bool fromEngine = m.LParam == reinterpret_cast<intptr_t>(Engine) &&
                                static_cast<intptr_t>(m.WParam) == reinterpret_cast<intptr_t>(Engine);
        g_heard.push_back((m.Msg == VXM_SKINCHANGING ? "changing " : "changed ") + this->Name() +
                          (fromEngine ? "" : " (no engine)"));
    }
};

TEST(WindowSkinAnnouncerTest, EveryFormAndControlHearsTheChangeDepthFirst) {
    g_heard.clear();
    TApplication application;
    InstallWindowSkinAnnouncer();
    TVxVeneer engine(nullptr);

    auto* first = new THeard<TForm>(&application);
    first->SetName("First");
    first->Engine = &engine;
    auto* group = new THeard<win32::TGroupBox>(first);
    group->SetName("Group");
    group->SetParent(first);
    group->Engine = &engine;
    auto* inside = new THeard<win32::TLabel>(first);
    inside->SetName("Inside");
    inside->SetParent(group);
    inside->Engine = &engine;
    auto* label = new THeard<win32::TLabel>(first);
    label->SetName("Label");
    label->SetParent(first);
    label->Engine = &engine;
    auto* second = new THeard<TForm>(&application);
    second->SetName("Second");
    second->Engine = &engine;

    engine.BeforeChange();
    engine.AfterChange();
    const std::vector<std::string> expected{
        "changing First", "changing Group", "changing Inside", "changing Label", "changing Second",
        "changed First",  "changed Group",  "changed Inside",  "changed Label",  "changed Second",
    };
    EXPECT_EQ(g_heard, expected);
    // A form hears it through its window, which exists for that.
    EXPECT_TRUE(first->HandleAllocated());
    SetSkinAnnouncer(nullptr);
}

}  // namespace
}  // namespace zaprelay::skin
