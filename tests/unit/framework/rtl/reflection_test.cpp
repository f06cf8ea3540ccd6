#include "framework/rtl/reflection.h"

#include "framework/rtl/class_registry.h"
#include "framework/rtl/font.h"
#include "framework/rtl/ident_tables.h"
#include "tests/support/sample_component.h"

#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <typeindex>
#include <typeinfo>

namespace zaprelay::test {
namespace {

std::vector<std::string> Names(const TClassInfo& info) {
    std::vector<std::string> names;
    for (const TPropInfo* p : info.Properties()) {
        names.push_back(p->Name);
    }
    return names;
}

TEST(Reflection, PropertiesComeAncestorsFirstInDeclarationOrder) {
    std::vector<std::string> names = Names(TSampleForm::StaticClassInfo());
    EXPECT_EQ(names,
              (std::vector<std::string>{"Tag", "Count", "Big", "Shape", "Visible", "Flags", "Caption", "Title", "Color",
                                        "Charset", "Font", "Buddy", "OnClick", "OnValue", "Lines", "Entries"}));
    EXPECT_EQ(Names(TFont::StaticClassInfo()),
              (std::vector<std::string>{"Charset", "Color", "Height", "Name", "Pitch", "Size", "Style"}));
}

TEST(Reflection, RedeclaredPropertyTakesTheAncestorsPlace) {
    const TClassInfo& button = TSampleButton::StaticClassInfo();
    std::vector<const TPropInfo*> all = button.Properties();
    EXPECT_EQ(Names(button), Names(TSampleItem::StaticClassInfo())) << "one Shape, where the ancestor has it";
    const TPropInfo* shape = all.at(3);
    EXPECT_EQ(shape, button.FindProperty("SHAPE"));
    EXPECT_EQ(shape, &button.OwnProperties().at(0));
    EXPECT_EQ(shape->Default, shCircle);
    EXPECT_EQ(TSampleItem::StaticClassInfo().FindProperty("Shape")->Default, shNone) << "the ancestor keeps its own";

    TSampleButton object(nullptr);
    shape->SetOrd(object, shSquare);
    EXPECT_EQ(object.KindSets, 1) << "the descendant's setter";
}

TEST(Reflection, BuilderRefusesAnotherClassesTable) {
    TClassInfo copy = TSampleItem::StaticClassInfo();
    EXPECT_THROW(TClassBuilder<TSampleForm>{copy}, std::logic_error);
    EXPECT_NO_THROW(TClassBuilder<TSampleItem>{copy});
}

TEST(Reflection, LookupsIgnoreLetterCase) {
    const TClassInfo& info = TSampleForm::StaticClassInfo();
    ASSERT_NE(info.FindProperty("SHAPE"), nullptr);
    EXPECT_EQ(info.FindProperty("shape")->Name, "Shape");
    EXPECT_EQ(info.FindProperty("tag")->Name, "Tag");
    EXPECT_EQ(info.FindProperty("Nothing"), nullptr);
    EXPECT_EQ(kSampleShapeNames.IndexOf("SHCIRCLE"), shCircle);
    EXPECT_EQ(kSampleShapeNames.IndexOf("shCircles"), -1);
    ASSERT_NE(info.FindMethod("itemclick"), nullptr);
    EXPECT_EQ(TSampleItem::StaticClassInfo().FindMethod("ItemClick"), nullptr) << "methods belong to the root class";
}

TEST(Reflection, AccessorsReachTheObject) {
    TSampleItem item(nullptr);
    const TClassInfo& info = item.ClassInfo();
    info.FindProperty("Shape")->SetOrd(item, shSquare);
    info.FindProperty("Title")->SetWide(item, u"Заголовок");
    info.FindProperty("Flags")->SetOrd(item, 5);
    EXPECT_EQ(item.Shape(), shSquare);
    EXPECT_EQ(item.Title(), u"Заголовок");
    EXPECT_EQ(item.Flags(), 5u);
    EXPECT_EQ(info.FindProperty("Font")->GetObject(item), item.Font());
    EXPECT_TRUE(item.InheritsFrom(TComponent::StaticClassInfo()));
    EXPECT_FALSE(item.InheritsFrom(TSampleForm::StaticClassInfo()));
    EXPECT_EQ(item.ClassName(), "TSampleItem");
}

TEST(ClassRegistry, FindsByExactName) {
    UnregisterAllClasses();
    RegisterSampleClasses();
    RegisterSampleClasses();  // twice is once
    EXPECT_EQ(FindClass("TSampleItem"), &TSampleItem::StaticClassInfo());
    EXPECT_EQ(FindClass("tsampleitem"), nullptr);
    UnregisterClass(TSampleItem::StaticClassInfo());
    EXPECT_EQ(FindClass("TSampleItem"), nullptr);
    EXPECT_NE(FindClass("TSampleForm"), nullptr);
    UnregisterAllClasses();
    EXPECT_EQ(FindClass("TSampleForm"), nullptr);
}

// Each registered class creates objects that report it, and sits under the table of the
// class it derives from.
TEST(ClassRegistry, EveryClassCreatesObjectsOfItsOwnTable) {
    UnregisterAllClasses();
    RegisterSampleClasses();
    std::vector<const TClassInfo*> classes = RegisteredClasses();
    ASSERT_EQ(classes.size(), 3u);
    for (const TClassInfo* info : classes) {
        SCOPED_TRACE(info->Name());
        ASSERT_TRUE(info->Create);
        std::unique_ptr<TComponent> object(info->Create(nullptr));
        const TComponent& created = *object;
        EXPECT_EQ(&created.ClassInfo(), info);
        EXPECT_EQ(std::type_index(typeid(created)), info->Type());
        EXPECT_EQ(created.ClassName(), info->Name());
        ASSERT_NE(info->Parent(), nullptr);
        EXPECT_NE(info->Parent()->Type(), info->Type());
        EXPECT_TRUE(info->InheritsFrom(TComponent::StaticClassInfo()));
    }
    EXPECT_EQ(TSampleButton::StaticClassInfo().Parent(), &TSampleItem::StaticClassInfo());
    EXPECT_EQ(TSampleForm::StaticClassInfo().Parent(), &TSampleItem::StaticClassInfo());
    EXPECT_EQ(TSampleItem::StaticClassInfo().Parent(), &TComponent::StaticClassInfo());
    EXPECT_EQ(TComponent::StaticClassInfo().Parent(), &TPersistent::StaticClassInfo());
    EXPECT_EQ(TPersistent::StaticClassInfo().Parent(), &TObject::StaticClassInfo());
    EXPECT_EQ(TObject::StaticClassInfo().Parent(), nullptr);
    UnregisterAllClasses();
}

TEST(IdentTables, ColoursAndCharsetsByName) {
    std::string name;
    TColor color = 0;
    int32_t charset = 0;
    EXPECT_TRUE(ColorToIdent(0x00FFFF, name));
    EXPECT_EQ(name, "clYellow");
    EXPECT_TRUE(ColorToIdent(static_cast<TColor>(0xFF00001E), name));
    EXPECT_EQ(name, "clMenuBar");
    EXPECT_FALSE(ColorToIdent(0x123456, name));
    EXPECT_FALSE(ColorToIdent(static_cast<TColor>(0xFF000019), name)) << "system colour 25 has no name";
    EXPECT_TRUE(IdentToColor("CLNONE", color));
    EXPECT_EQ(color, 0x1FFFFFFF);
    EXPECT_TRUE(IdentToColor("cl3DDkShadow", color));
    EXPECT_EQ(color, static_cast<TColor>(0xFF000015));
    EXPECT_TRUE(CharsetToIdent(204, name));
    EXPECT_EQ(name, "RUSSIAN_CHARSET");
    EXPECT_TRUE(IdentToCharset("oem_charset", charset));
    EXPECT_EQ(charset, 255);
    EXPECT_FALSE(CharsetToIdent(3, name));
}

}  // namespace
}  // namespace zaprelay::test
