#include "framework/rtl/component.h"

#include "framework/rtl/exceptions.h"
#include "framework/rtl/font.h"
#include "tests/support/sample_component.h"

#include <gtest/gtest.h>
#include <memory>

namespace zaprelay::test {
namespace {

// Records what it is told.
class TWatcher : public TComponent {
public:
    using TComponent::TComponent;
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        (operation == opInsert ? Inserted : Removed).push_back(component);
    }
    std::vector<TComponent*> Inserted, Removed;
};

TEST(Component, OwnerKeepsCreationOrderAndDestroysWhatItOwns) {
    auto owner = std::make_unique<TWatcher>(nullptr);
    auto* a = new TSampleItem(owner.get());
    auto* b = new TSampleItem(owner.get());
    auto* grandchild = new TSampleItem(a);
    ASSERT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(owner->Components(0), a);
    EXPECT_EQ(owner->Components(1), b);
    EXPECT_EQ(b->ComponentIndex(), 1);
    EXPECT_EQ(grandchild->Owner(), a);
    EXPECT_EQ(owner->Inserted, (std::vector<TComponent*>{a, b}));

    delete a;  // takes its own child along and leaves the owner's list
    EXPECT_EQ(owner->ComponentCount(), 1);
    EXPECT_EQ(owner->Components(0), b);
    EXPECT_EQ(owner->Removed, (std::vector<TComponent*>{a}));
    owner.reset();  // b goes with its owner; ASan and LeakSanitizer check the rest
}

TEST(Component, SiblingNamesMustDifferIgnoringCase) {
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    a->SetName("Caption");
    try {
        b->SetName("CAPTION");
        FAIL() << "clash not detected";
    } catch (const EComponentError& e) {
        EXPECT_STREQ(e.what(), "A component named CAPTION already exists");
    }
    EXPECT_EQ(b->Name(), "");
    a->SetName("caption");  // renaming itself is no clash
    EXPECT_EQ(owner.FindComponent("CaPtIoN"), a);
    EXPECT_EQ(owner.FindComponent(""), nullptr);

    TComponent loneA(nullptr), loneB(nullptr);  // no owner, no clash: two top-level "Toolbar"s
    loneA.SetName("Toolbar");
    loneB.SetName("Toolbar");
    EXPECT_EQ(loneB.Name(), "Toolbar");
}

TEST(Component, InsertingANamedComponentWithAClashingNameFails) {
    TComponent owner(nullptr);
    (new TComponent(&owner))->SetName("Form");
    auto stray = std::make_unique<TComponent>(nullptr);
    stray->SetName("form");
    EXPECT_THROW(owner.InsertComponent(stray.get()), EComponentError);
    EXPECT_EQ(stray->Owner(), nullptr);
}

TEST(Component, PublishedReferenceIsClearedWhenTheTargetGoes) {
    TComponent owner(nullptr);
    auto* holder = new TSampleItem(&owner);
    auto* target = new TSampleItem(&owner);
    auto outsider = std::make_unique<TSampleItem>(nullptr);
    holder->SetBuddy(target);
    target->SetBuddy(outsider.get());

    delete target;
    EXPECT_EQ(holder->Buddy(), nullptr);
    outsider.reset();  // target is gone; its notification link must be gone too

    auto* other = new TSampleItem(&owner);
    holder->SetBuddy(other);
    holder->SetBuddy(nullptr);
    delete other;  // no stale notification reaches holder
    EXPECT_EQ(holder->Buddy(), nullptr);
}

// Also inside collection items: an item's reference is watched through its holder.
TEST(Component, ReferenceInACollectionItemIsClearedWhenTheTargetGoes) {
    TComponent owner(nullptr);
    auto* holder = new TSampleItem(&owner);
    auto outsider = std::make_unique<TSampleItem>(nullptr);
    auto* sibling = new TSampleItem(&owner);
    holder->Entries()->Add()->SetBuddy(outsider.get());
    holder->Entries()->Add()->SetBuddy(sibling);
    holder->Entries()->Add()->SetBuddy(sibling);

    outsider.reset();
    EXPECT_EQ(holder->Entries()->Items(0)->Buddy(), nullptr) << "told through the free notification";
    delete sibling;
    EXPECT_EQ(holder->Entries()->Items(1)->Buddy(), nullptr) << "told through the owner";
    EXPECT_EQ(holder->Entries()->Items(2)->Buddy(), nullptr);
}

TEST(Component, DestroyingStateIsVisibleToOwnedComponents) {
    struct TProbe : TComponent {
        using TComponent::TComponent;
        ~TProbe() override { *OwnerWasDestroying = Owner() == nullptr && HasState(csDestroying); }
        bool* OwnerWasDestroying = nullptr;
    };
    bool destroying = false;
    auto owner = std::make_unique<TComponent>(nullptr);
    (new TProbe(owner.get()))->OwnerWasDestroying = &destroying;
    owner.reset();
    EXPECT_TRUE(destroying);
}

TEST(Persistent, CopyFromAnUnrelatedClassNamesBothClasses) {
    TFont font;
    TSampleItem item(nullptr);
    try {
        font.CopyFrom(item);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TSampleItem to a TFont");
    }
}

TEST(Font, CopiesAllValuesAndReportsChanges) {
    TFont source;
    source.SetName("Tahoma");
    source.SetHeight(-13);
    source.SetColor(clRed);
    source.SetStyle(FontStyleBit(fsBold) | FontStyleBit(fsUnderline));
    source.SetCharset(RUSSIAN_CHARSET);
    source.SetPitch(fpFixed);

    TFont copy;
    int changes = 0;
    copy.OnChange = [&](TFont&) { ++changes; };
    copy.CopyFrom(source);
    EXPECT_EQ(copy.Data(), source.Data());
    EXPECT_EQ(changes, 1);
    copy.CopyFrom(source);
    EXPECT_EQ(changes, 1) << "an unchanged copy is no change";
}

TEST(Font, SizeFollowsHeightAtTheScreenResolution) {
    TFont font;
    font.SetHeight(-11);
    EXPECT_EQ(font.Size(), 8);
    font.SetSize(12);
    EXPECT_EQ(font.Height(), -16);
}

}  // namespace
}  // namespace zaprelay::test
