// Every registered kind as a whole: each published property, set away from its default,
// survives both record forms and a copy, and the registry holds each kind under its stored
// name with its stored base.
#include "framework/rtl/streams.h"
#include "skin/objects/basic_kinds.h"
#include "skin/objects/composite_kinds.h"
#include "skin/objects/skin_object_io.h"
#include "tests/support/skin_tree.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace zaprelay::skin {
namespace {

using test::OwnedSkinObject;

// Stored class name and the stored name of its base.
const std::pair<const char*, const char*> kKinds[] = {
    {"TVxSkinObject", "TComponent"},
    {"TVxActiveObject", "TVxSkinObject"},
    {"TVxBitmapObject", "TVxSkinObject"},
    {"TVxActiveBitmap", "TVxBitmapObject"},
    {"TVxSystemButton", "TVxActiveBitmap"},
    {"TVxButtonObject", "TVxBitmapObject"},
    {"TVxTextObject", "TVxSkinObject"},
    {"TVxLinkSkinObject", "TVxSkinObject"},
    {"TVxBitmapSkinObject", "TVxSkinObject"},
    {"TVxFormBitmapSkinObject", "TVxBitmapSkinObject"},
    {"TVxSysButtonSkinObject", "TVxBitmapSkinObject"},
    {"TVxActiveSkinObject", "TVxSkinObject"},
    {"TVxColorButtonObject", "TVxSkinObject"},
    {"TVxBitmapBoxObject", "TVxBitmapSkinObject"},
    {"TVxActiveBitmapBoxObject", "TVxBitmapBoxObject"},
    {"TVxButtonBitmapBoxObject", "TVxBitmapBoxObject"},
    {"TVxRollPanelObject", "TVxSkinObject"},
};

class KindCatalogTest : public ::testing::Test {
protected:
    void SetUp() override {
        UnregisterSkinObjectClasses();
        RegisterBasicSkinObjectKinds();
        RegisterCompositeSkinObjectKinds();
    }
    void TearDown() override { UnregisterSkinObjectClasses(); }

    static OwnedSkinObject Make(const std::string& className, TVxSkinObject* owner = nullptr) {
        const TClassInfo* info = FindSkinObjectClass(className);
        if (info == nullptr) {
            throw std::logic_error("not registered: " + className);
        }
        return OwnedSkinObject(static_cast<TVxSkinObject*>(info->Create(owner)));
    }
};

// Gives every stored property of the object and its sub-objects (fonts, bitmap links) a
// value that differs from its default and from the other properties' values. The character
// set is left alone: reading resets the caption fonts' sets on purpose. So is the component's
// Tag, which is no part of a skin and is not copied.
void SetEveryProperty(TPersistent& object, int seed) {
    int index = 0;
    for (const TPropInfo* p : object.ClassInfo().Properties()) {
        ++index;
        if (!p->Stored || p->Name == "Tag") {
            continue;
        }
        const int64_t def = p->Default.value_or(0);
        switch (p->Kind) {
            case pkInteger:
                p->SetOrd(object, 11 + 3 * index + seed);
                break;
            case pkEnum:
                p->SetOrd(object, (def + 1) % static_cast<int64_t>(p->Enum->Names.size()));
                break;
            case pkBoolean:
                p->SetOrd(object, def == 0 ? 1 : 0);
                break;
            case pkColor:
                p->SetOrd(object, (0x010203 * (index + seed)) & 0xFFFFFF);
                break;
            case pkSet:
                p->SetOrd(object, def == 1 ? 2 : 1);
                break;
            case pkString:
                p->SetString(object, p->Name + std::to_string(seed) + ".bmp");
                break;
            case pkObject:
                SetEveryProperty(*p->GetObject(object), seed + index);
                break;
            case pkCharset:
                break;
            default:
                FAIL() << "a skin object property of an unexpected kind: " << p->Name;
        }
    }
}

// Every property of a and b, sub-objects included, then the children in order.
void ExpectSameValues(TPersistent& a, TPersistent& b, const std::string& path) {
    ASSERT_EQ(a.ClassName(), b.ClassName()) << path;
    for (const TPropInfo* p : a.ClassInfo().Properties()) {
        const std::string where = path + "." + p->Name;
        if (p->IsOrdinal()) {
            EXPECT_EQ(p->GetOrd(a), p->GetOrd(b)) << where;
        } else if (p->Kind == pkString) {
            EXPECT_EQ(p->GetString(a), p->GetString(b)) << where;
        } else if (p->Kind == pkWideString) {
            EXPECT_EQ(p->GetWide(a), p->GetWide(b)) << where;
        } else if (p->Kind == pkObject) {
            ExpectSameValues(*p->GetObject(a), *p->GetObject(b), where);
        }
    }
    auto* sa = dynamic_cast<TVxSkinObject*>(&a);
    auto* sb = dynamic_cast<TVxSkinObject*>(&b);
    if (sa != nullptr && sb != nullptr) {
        ASSERT_EQ(sa->ChildCount(), sb->ChildCount()) << path;
        for (int i = 0; i < sa->ChildCount(); ++i) {
            ExpectSameValues(*sa->GetChild(i), *sb->GetChild(i), path + "/" + sa->GetChild(i)->Name());
        }
    }
}

// A kind with every property set and one child of its own kind, also fully set.
OwnedSkinObject FullySet(const std::string& className) {
    const TClassInfo* info = FindSkinObjectClass(className);
    OwnedSkinObject object(static_cast<TVxSkinObject*>(info->Create(nullptr)));
    SetEveryProperty(*object, 0);
    object->SetName("Outer");
    auto* child = static_cast<TVxSkinObject*>(info->Create(object.get()));
    SetEveryProperty(*child, 1);
    child->SetName("Inner");
    return object;
}

TEST_F(KindCatalogTest, RegistryHoldsEveryKindUnderItsStoredNameAndBase) {
    for (const auto& [name, base] : kKinds) {
        const TClassInfo* info = FindSkinObjectClass(name);
        ASSERT_NE(info, nullptr) << name;
        EXPECT_EQ(info->Name(), name);
        ASSERT_NE(info->Parent(), nullptr);
        EXPECT_EQ(info->Parent()->Name(), base) << name;
        OwnedSkinObject object = Make(name);
        EXPECT_EQ(object->ClassName(), name);
    }
    // The caption buttons start as what they are.
    EXPECT_EQ(Make("TVxSystemButton")->Kind(), skSysButton);
    EXPECT_EQ(Make("TVxSysButtonSkinObject")->Kind(), skSysButton);
    EXPECT_EQ(Make("TVxBitmapObject")->Kind(), skNone);
}

TEST_F(KindCatalogTest, EveryPropertyOfEveryKindSurvivesBothRecordForms) {
    for (const auto& [name, base] : kKinds) {
        SCOPED_TRACE(name);
        OwnedSkinObject original = FullySet(name);
        // Nothing was left at its default, so everything is written.
        for (const TPropInfo* p : original->ClassInfo().Properties()) {
            if (p->IsOrdinal() && p->Default && p->Stored && p->Name != "Tag") {
                EXPECT_NE(p->GetOrd(*original), *p->Default) << p->Name;
            }
        }
        const std::string text = test::TreeToText(*original);

        TMemoryStream textRecord;
        WriteSkinObject(textRecord, *original);
        textRecord.SetPosition(0);
        OwnedSkinObject fromText(ReadSkinObject(textRecord, nullptr));
        ASSERT_TRUE(fromText);
        ExpectSameValues(*original, *fromText, name);

        TMemoryStream binaryRecord;
        WriteSkinObjectBinary(binaryRecord, *fromText);
        binaryRecord.SetPosition(0);
        OwnedSkinObject fromBinary(ReadSkinObjectBinary(binaryRecord, nullptr));
        ASSERT_TRUE(fromBinary);
        ExpectSameValues(*original, *fromBinary, name);
        EXPECT_EQ(test::TreeToText(*fromBinary), text);
    }
}

TEST_F(KindCatalogTest, CopyOfEveryKindEqualsItsSourceOnEveryPublishedValue) {
    for (const auto& [name, base] : kKinds) {
        SCOPED_TRACE(name);
        OwnedSkinObject original = FullySet(name);
        OwnedSkinObject copy(CloneSkinObject(*original, nullptr));
        ASSERT_TRUE(copy);
        ExpectSameValues(*original, *copy, name);
        // A copy from a parent kind takes the shared part and leaves its own values alone.
        OwnedSkinObject plain = Make("TVxSkinObject");
        plain->SetColor(0x445566);
        OwnedSkinObject target = Make(name);
        plain->SetKind(target->Kind());
        const std::string before = test::TreeToText(*target);
        target->CopyFrom(*plain);
        EXPECT_EQ(target->Color(), 0x445566);
        target->SetColor(clWhite);
        EXPECT_EQ(test::TreeToText(*target), before);
    }
}

}  // namespace
}  // namespace zaprelay::skin
