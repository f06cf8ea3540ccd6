#include "framework/rtl/reflection.h"

#include "framework/rtl/class_registry.h"
#include "framework/rtl/font.h"
#include "framework/rtl/ident_tables.h"
#include "tests/support/sample_component.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(names, (std::vector<std::string>{"Tag", "Count", "Big", "Shape", "Visible", "Flags", "Caption", "Title",
                                               "Color", "Charset", "Font", "Buddy", "OnClick", "OnValue"}));
    EXPECT_EQ(Names(TFont::StaticClassInfo()),
              (std::vector<std::string>{"Charset", "Color", "Height", "Name", "Pitch", "Size", "Style"}));
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
