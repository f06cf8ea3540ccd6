// Actions in a layout: written inside their list's record once, read back into the list with
// their settings and handler.
#include "framework/win32/actions.h"

#include "framework/rtl/class_registry.h"
#include "framework/rtl/object_stream.h"
#include "framework/rtl/object_text.h"
#include "framework/rtl/streams.h"

#include <gtest/gtest.h>
#include <string>

namespace zaprelay::win32 {
namespace {

// A root with a handler the layout names.
class THolder : public TComponent {
public:
    using TComponent::TComponent;
    static const TClassInfo& StaticClassInfo() {
        static const TClassInfo info = [] {
            TClassInfo i = NewClassInfo<THolder, TComponent>("THolder");
            TClassBuilder<THolder>(i).Method<void(TObject*)>("SaveExecute", &THolder::SaveExecute);
            return i;
        }();
        return info;
    }
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override {
        for (int i = 0; i < ComponentCount(); ++i) {
            if (!Components(i)->HasParent() && Components(i)->Owner() == root) {
                proc(Components(i));
            }
        }
    }
    void SaveExecute(TObject*) { ++Executed; }
    int Executed = 0;
};

TEST(ActionsTest, AnActionTravelsInsideItsListAndComesBackLinked) {
    for (const TClassInfo* c : {&TActionList::StaticClassInfo(), &TAction::StaticClassInfo()}) {
        RegisterClass(*c);
    }
    THolder source(nullptr);
    source.SetName("Holder");
    auto* list = new TActionList(&source);
    list->SetName("Actions");
    auto* save = new TAction(&source);
    save->SetName("Save");
    save->SetActionList(list);
    save->SetCaption(u"&Save");
    save->SetImageIndex(3);
    save->OnExecute.Bind("SaveExecute", [&source](TObject* sender) { source.SaveExecute(sender); });
    TMemoryStream binary;
    WriteObjectStream(binary, source);
    binary.SetPosition(0);
    TMemoryStream text;
    StreamBinaryToText(binary, text);
    const std::string layout(text.Bytes().begin(), text.Bytes().end());
    EXPECT_EQ(layout.find("object Save"), layout.rfind("object Save")) << layout;
    EXPECT_LT(layout.find("object Actions"), layout.find("object Save")) << layout;

    THolder copy(nullptr);
    binary.SetPosition(0);
    ReadObjectStream(binary, copy);
    auto* read = dynamic_cast<TAction*>(copy.FindComponent("Save"));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->ActionList(), copy.FindComponent("Actions"));
    EXPECT_EQ(read->Caption(), u"&Save");
    EXPECT_EQ(read->ImageIndex(), 3);
    EXPECT_TRUE(read->Execute(read));
    EXPECT_EQ(copy.Executed, 1);
    read->SetEnabled(false);
    EXPECT_FALSE(read->Execute(read));
}

}  // namespace
}  // namespace zaprelay::win32
