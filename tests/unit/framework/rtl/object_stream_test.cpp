#include "framework/rtl/object_stream.h"

#include "framework/rtl/class_registry.h"
#include "framework/rtl/exceptions.h"
#include "framework/rtl/object_text.h"
#include "framework/rtl/stream_value.h"
#include "tests/support/sample_component.h"

#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace zaprelay::test {
namespace {

class ObjectStreamTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterSampleClasses(); }
    void TearDown() override { UnregisterAllClasses(); }

    static TMemoryStream Write(TComponent& object) {
        TMemoryStream stream;
        WriteObjectStream(stream, object);
        stream.SetPosition(0);
        return stream;
    }

    // The record as values, for checking what the writer chose.
    static TStreamObject Parse(TMemoryStream& stream) {
        stream.SetPosition(0);
        TBinaryReader reader(stream);
        reader.ReadSignature();
        TStreamObject object = reader.ReadObject();
        stream.SetPosition(0);
        return object;
    }

    static TMemoryStream Build(const TStreamObject& object) {
        TMemoryStream stream;
        TBinaryWriter writer(stream);
        writer.WriteSignature();
        writer.WriteObject(object);
        stream.SetPosition(0);
        return stream;
    }

    static TStreamObject FormWith(std::vector<TStreamProperty> properties) {
        TStreamObject object;
        object.ClassName = "TSampleForm";
        object.ObjectName = "Form";
        object.Properties = std::move(properties);
        return object;
    }

    static TStreamValue Ident(const std::string& name) { return TStreamValue::Ident(name); }

    // Reads the stream into a fresh form; returns the error text, or "" on success.
    std::string ReadError(TMemoryStream stream) {
        m_form = std::make_unique<TSampleForm>(nullptr);
        try {
            ReadObjectStream(stream, *m_form);
        } catch (const Exception& e) {
            return e.what();
        }
        return "";
    }

    std::unique_ptr<TSampleForm> m_form;
};

const TStreamProperty* FindIn(const TStreamObject& object, const std::string& name) {
    for (const TStreamProperty& p : object.Properties) {
        if (p.Name == name) {
            return &p;
        }
    }
    return nullptr;
}

TEST_F(ObjectStreamTest, EveryPropertyKindSurvivesAWriteAndARead) {
    TSampleForm source(nullptr);
    source.SetName("MainForm");
    source.SetTag(-7);
    source.SetCount(375);
    source.SetBig(-11);
    source.SetShape(shSquare);
    source.SetVisible(false);
    source.SetFlags((1u << sfA) | (1u << sfC));
    source.SetCaption(std::string(300, 'x'));
    source.SetTitle(u"Пульт \u00e9");
    source.SetColor(0x123456);
    source.SetCharset(RUSSIAN_CHARSET);
    source.Font()->SetName("Tahoma");
    source.Font()->SetHeight(-13);
    source.Font()->SetStyle(FontStyleBit(fsItalic));
    source.Font()->SetPitch(fpVariable);
    source.Data().assign(5000, 0);
    for (std::size_t i = 0; i < source.Data().size(); ++i) {
        source.Data()[i] = static_cast<uint8_t>(i * 7);
    }
    auto* panel = new TSampleItem(&source);
    panel->SetName("Panel");
    panel->SetParentComponent(&source);
    auto* button = new TSampleItem(&source);
    button->SetName("Button");
    button->SetParentComponent(panel);
    button->SetBuddy(panel);
    button->OnClick.Bind("ItemClick", nullptr);
    button->OnValue.Bind("ValueChanged", nullptr);
    source.Lines()->SetText(u"first\r\nвторой\r\n");
    TSampleEntry* entry = source.Entries()->Add();
    entry->SetCaption(u"Слива");
    entry->SetSize(-3);
    entry->Font()->SetHeight(-20);
    entry->Notes()->Add(u"note");
    entry->SetBuddy(button);
    source.Entries()->Add();

    TMemoryStream stream = Write(source);
    TSampleForm copy(nullptr);
    ReadObjectStream(stream, copy);

    EXPECT_EQ(copy.Name(), "MainForm");
    EXPECT_EQ(copy.Tag(), -7);
    EXPECT_EQ(copy.Count(), 375);
    EXPECT_EQ(copy.Big(), -11);
    EXPECT_EQ(copy.Shape(), shSquare);
    EXPECT_FALSE(copy.Visible());
    EXPECT_EQ(copy.Flags(), source.Flags());
    EXPECT_EQ(copy.Caption(), source.Caption());
    EXPECT_EQ(copy.Title(), source.Title());
    EXPECT_EQ(copy.Color(), 0x123456);
    EXPECT_EQ(copy.Charset(), RUSSIAN_CHARSET);
    EXPECT_EQ(copy.Font()->Data(), source.Font()->Data());
    EXPECT_EQ(copy.Data(), source.Data());
    EXPECT_TRUE(copy.Lines()->Equals(*source.Lines()));
    ASSERT_EQ(copy.Entries()->Count(), 2);
    TSampleEntry* entryCopy = copy.Entries()->Items(0);
    EXPECT_EQ(entryCopy->Caption(), u"Слива");
    EXPECT_EQ(entryCopy->Size(), -3);
    EXPECT_EQ(entryCopy->Font()->Height(), -20);
    EXPECT_EQ(entryCopy->Notes()->Text(), u"note");
    EXPECT_EQ(copy.Entries()->Items(1)->Caption(), u"");

    ASSERT_EQ(copy.ComponentCount(), 2);
    auto* panelCopy = dynamic_cast<TSampleItem*>(copy.FindComponent("Panel"));
    auto* buttonCopy = dynamic_cast<TSampleItem*>(copy.FindComponent("Button"));
    ASSERT_TRUE(panelCopy && buttonCopy);
    EXPECT_EQ(panelCopy->ParentComponent(), &copy);
    EXPECT_EQ(buttonCopy->ParentComponent(), panelCopy);
    EXPECT_EQ(buttonCopy->Buddy(), panelCopy);
    EXPECT_EQ(entryCopy->Buddy(), buttonCopy) << "references inside items resolve too";

    // Events are bound to the reading root's methods.
    ASSERT_TRUE(buttonCopy->OnClick);
    buttonCopy->OnClick(buttonCopy);
    buttonCopy->OnValue(buttonCopy, 42);
    EXPECT_EQ(copy.Clicks, (std::vector<TObject*>{buttonCopy}));
    EXPECT_EQ(copy.Values, (std::vector<int>{42}));
    EXPECT_EQ(buttonCopy->OnClick.HandlerName(), "ItemClick");

    // Written again, the copy gives the same bytes.
    EXPECT_EQ(Write(copy).Bytes(), stream.Bytes());
}

TEST_F(ObjectStreamTest, WriterSkipsDefaultsAndEmptyStringsButNotUndefaultedValues) {
    TSampleItem fresh(nullptr);
    TMemoryStream stream = Write(fresh);
    TStreamObject object = Parse(stream);
    std::vector<std::string> names;
    for (const TStreamProperty& p : object.Properties) {
        names.push_back(p.Name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Big", "Flags", "Font.Charset", "Font.Color", "Font.Height", "Font.Name",
                                               "Font.Style", "Entries"}))
        << "no lines, no Lines.Strings; an empty collection is still written";
    EXPECT_EQ(FindIn(object, "Entries")->Value.Type, vaCollection);
    EXPECT_TRUE(FindIn(object, "Entries")->Value.Items.empty());
    EXPECT_EQ(FindIn(object, "Flags")->Value.Type, vaSet);
    EXPECT_TRUE(FindIn(object, "Font.Style")->Value.Set.empty()) << "an empty style is written as []";
    EXPECT_EQ(FindIn(object, "Font.Color")->Value.Text, "clWindowText");
    EXPECT_EQ(FindIn(object, "Font.Charset")->Value.Text, "DEFAULT_CHARSET");
    EXPECT_TRUE(object.Children.empty());
    EXPECT_EQ(object.ClassName, "TSampleItem");
}

TEST_F(ObjectStreamTest, WriterPicksTheSmallestIntegerAndNamedColours) {
    TSampleItem item(nullptr);
    item.SetCount(375);
    item.SetBig(-11);
    item.SetColor(clNone);
    item.SetCharset(77);
    TMemoryStream stream = Write(item);
    const std::vector<uint8_t>& bytes = stream.Bytes();
    auto contains = [&](std::vector<uint8_t> run) {
        return std::search(bytes.begin(), bytes.end(), run.begin(), run.end()) != bytes.end();
    };
    EXPECT_TRUE(contains({5, 'C', 'o', 'u', 'n', 't', 0x03, 0x77, 0x01}));
    EXPECT_TRUE(contains({3, 'B', 'i', 'g', 0x02, 0xF5}));
    TStreamObject object = Parse(stream);
    EXPECT_EQ(FindIn(object, "Color")->Value.Text, "clNone");
    EXPECT_EQ(FindIn(object, "Charset")->Value.Text, "MAC_CHARSET");
    item.SetColor(0x00C0DCC1);
    stream = Write(item);
    EXPECT_EQ(FindIn(Parse(stream), "Color")->Value.Type, vaInt32);
}

TEST_F(ObjectStreamTest, NamesAndIdentifiersMatchIgnoringCase) {
    TStreamValue style;
    style.Type = vaSet;
    style.Set = {"FSBOLD", "fsstrikeout"};
    EXPECT_EQ(ReadError(Build(FormWith({{"SHAPE", Ident("shcircle")},
                                        {"visible", Ident("FALSE")},
                                        {"Color", Ident("CLRED")},
                                        {"charset", Ident("russian_charset")},
                                        {"FONT.STYLE", style},
                                        {"Font.Color", TStreamValue::Integer(0x00FF00)}}))),
              "");
    EXPECT_EQ(m_form->Shape(), shCircle);
    EXPECT_FALSE(m_form->Visible());
    EXPECT_EQ(m_form->Color(), clRed);
    EXPECT_EQ(m_form->Charset(), RUSSIAN_CHARSET);
    EXPECT_EQ(m_form->Font()->Style(), FontStyleBit(fsBold) | FontStyleBit(fsStrikeOut));
    EXPECT_EQ(m_form->Font()->Color(), 0x00FF00);
}

TEST_F(ObjectStreamTest, StringsConvertBetweenEightBitAndWide) {
    TStreamValue wide;
    wide.Type = vaWString;
    wide.Wide = u"\u041f\u0443\u043b\u044c\u0442";  // "Пульт"
    TStreamValue shortText;
    shortText.Type = vaString;
    shortText.Text = "plain";
    EXPECT_EQ(ReadError(Build(FormWith({{"Caption", wide}, {"Title", shortText}}))), "");
    EXPECT_EQ(m_form->Caption(), "\xcf\xf3\xeb\xfc\xf2");  // Windows-1251
    EXPECT_EQ(m_form->Title(), u"plain");
}

TEST_F(ObjectStreamTest, ReadErrorsNameTheObjectAndPropertyAndKeepEarlierValues) {
    EXPECT_EQ(ReadError(Build(FormWith({{"Count", TStreamValue::Integer(5)}, {"Shape", Ident("shOval")}}))),
              "Error reading Form.Shape: Invalid property value");
    EXPECT_EQ(m_form->Count(), 5) << "values read before the error stay";
    EXPECT_FALSE(m_form->HasState(csLoading));

    EXPECT_EQ(ReadError(Build(FormWith({{"Nothing", TStreamValue::Integer(1)}}))),
              "Error reading Form.Nothing: Property Nothing does not exist");
    EXPECT_EQ(ReadError(Build(FormWith({{"Count.Height", TStreamValue::Integer(1)}}))),
              "Error reading Form.Count.Height: Invalid property path");
    EXPECT_EQ(ReadError(Build(FormWith({{"Font.Nothing", TStreamValue::Integer(1)}}))),
              "Error reading Form.Font.Nothing: Property Nothing does not exist");
    EXPECT_EQ(ReadError(Build(FormWith({{"Count", Ident("clRed")}}))),
              "Error reading Form.Count: Invalid property value");
    EXPECT_EQ(ReadError(Build(FormWith({{"Count", TStreamValue::Integer(int64_t{1} << 40)}}))),
              "Error reading Form.Count: Invalid property value");
    EXPECT_EQ(ReadError(Build(FormWith({{"Charset", TStreamValue::Integer(256)}}))),
              "Error reading Form.Charset: Invalid property value");
    EXPECT_EQ(ReadError(Build(FormWith({{"Data", TStreamValue::Integer(1)}}))),
              "Error reading Form.Data: Invalid property value");

    TStreamObject unnamed = FormWith({{"Visible", TStreamValue::Integer(1)}});
    unnamed.ObjectName.clear();
    EXPECT_EQ(ReadError(Build(unnamed)), "Error reading TSampleForm.Visible: Invalid property value");
}

TEST_F(ObjectStreamTest, BrokenStreamsGiveTheStreamErrors) {
    TMemoryStream bad(std::vector<uint8_t>{'T', 'P', 'F', '1', 0, 0, 0, 0});
    EXPECT_EQ(ReadError(std::move(bad)), "Invalid stream format");

    TMemoryStream whole = Build(FormWith({{"Count", TStreamValue::Integer(9)}, {"Caption", AnsiStringValue("abc")}}));
    std::vector<uint8_t> bytes = whole.Bytes();
    bytes.resize(bytes.size() - 4);  // ends inside the Caption value
    EXPECT_EQ(ReadError(TMemoryStream(bytes)), "Error reading Form.Caption: Stream read error");
    EXPECT_EQ(m_form->Count(), 9);
    bytes.resize(10);  // ends inside the class name
    EXPECT_EQ(ReadError(TMemoryStream(bytes)), "Stream read error");
}

TEST_F(ObjectStreamTest, NestedRecordErrorsKeepTheFirstMessage) {
    TStreamObject child;
    child.ClassName = "TSampleItem";
    child.ObjectName = "Button";
    child.Properties = {{"Shape", Ident("shOval")}};
    TStreamObject form = FormWith({});
    form.Children = {child};
    EXPECT_EQ(ReadError(Build(form)), "Error reading Button.Shape: Invalid property value");
    EXPECT_EQ(m_form->ComponentCount(), 1) << "the child read so far stays owned";

    form.Children[0].ClassName = "TUnknown";
    EXPECT_EQ(ReadError(Build(form)), "Class TUnknown not found");
}

TEST_F(ObjectStreamTest, ReferencesAndEventsResolveOnlyAgainstWhatExists) {
    TStreamObject child;
    child.ClassName = "TSampleItem";
    child.ObjectName = "Panel";
    TStreamObject form = FormWith({{"Buddy", Ident("Panel")}});
    form.Children = {child};
    EXPECT_EQ(ReadError(Build(form)), "");
    EXPECT_EQ(m_form->Buddy(), m_form->FindComponent("Panel")) << "a reference may name a later component";
    EXPECT_EQ(m_form->BuddyAtAfterRead, m_form->Buddy()) << "references resolve before the after-read step";
    EXPECT_FALSE(m_form->LoadingAtAfterRead);
    EXPECT_EQ(m_form->AfterReadCalls, 1);
    EXPECT_EQ(dynamic_cast<TSampleItem*>(m_form->FindComponent("Panel"))->AfterReadCalls, 1);

    EXPECT_EQ(ReadError(Build(FormWith({{"Buddy", Ident("Nobody")}}))),
              "Error reading Form.Buddy: Invalid property value");
    EXPECT_EQ(ReadError(Build(FormWith({{"OnClick", Ident("NoSuchMethod")}}))),
              "Error reading Form.OnClick: Invalid property value");
    EXPECT_EQ(ReadError(Build(FormWith({{"OnClick", Ident("ValueChanged")}}))),
              "Error reading Form.OnClick: Invalid property value")
        << "a method of another signature does not bind";
    EXPECT_EQ(ReadError(Build(FormWith({{"OnClick", Ident("itemclick")}}))), "");
    EXPECT_TRUE(m_form->OnClick);
}

TEST_F(ObjectStreamTest, WideTextIsUtf8UnlessAscii) {
    TSampleItem item(nullptr);
    const std::u16string texts[] = {u"plain", u"Пульт", u"\xD83D\xDE00 ok", u"lone \xD83D"};
    const TValueType tags[] = {vaString, vaUTF8String, vaUTF8String, vaWString};
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        item.SetTitle(texts[i]);
        TMemoryStream stream = Write(item);
        EXPECT_EQ(FindIn(Parse(stream), "Title")->Value.Type, tags[i]) << i;
        TSampleItem copy(nullptr);
        ReadObjectStream(stream, copy);
        EXPECT_EQ(copy.Title(), texts[i]) << i;
    }
}

TEST_F(ObjectStreamTest, StringListIsAListOfStringsWrittenOnlyWithLines) {
    TSampleItem item(nullptr);
    item.Lines()->SetText(u"plain\r\nЖук\r\n");
    TMemoryStream stream = Write(item);
    TStreamObject written = Parse(stream);
    const TStreamProperty* lines = FindIn(written, "Lines.Strings");
    ASSERT_NE(lines, nullptr);
    ASSERT_EQ(lines->Value.Type, vaList);
    std::vector<TValueType> tags;
    for (const TStreamValue& line : lines->Value.List) {
        tags.push_back(line.Type);
    }
    EXPECT_EQ(tags, (std::vector<TValueType>{vaString, vaUTF8String, vaString}));

    TSampleItem copy(nullptr);
    copy.Lines()->Add(u"old line");
    int changes = 0;
    copy.Lines()->OnChange = [&changes](TObject*) { ++changes; };
    ReadObjectStream(stream, copy);
    EXPECT_EQ(copy.Lines()->Text(), item.Lines()->Text()) << "cleared, then filled";
    EXPECT_EQ(changes, 1) << "one update";

    item.Lines()->Clear();
    stream = Write(item);
    EXPECT_EQ(FindIn(Parse(stream), "Lines.Strings"), nullptr);
}

TEST_F(ObjectStreamTest, CollectionItemsCarryTheirOwnPropertiesWithoutPositions) {
    TSampleItem item(nullptr);
    item.Entries()->Add()->SetSize(7);
    item.Entries()->Add()->Notes()->Add(u"n");
    TMemoryStream stream = Write(item);
    TStreamObject written = Parse(stream);
    const TStreamProperty* entries = FindIn(written, "Entries");
    ASSERT_NE(entries, nullptr);
    ASSERT_EQ(entries->Value.Items.size(), 2u);
    auto names = [](const TStreamCollectionItem& stored) {
        std::vector<std::string> result;
        for (const TStreamProperty& p : stored.Properties) {
            result.push_back(p.Name);
        }
        return result;
    };
    const std::vector<std::string> font = {"Font.Charset", "Font.Color", "Font.Height", "Font.Name", "Font.Style"};
    std::vector<std::string> first = {"Size"};
    first.insert(first.end(), font.begin(), font.end());
    std::vector<std::string> second = font;
    second.push_back("Notes.Strings");
    EXPECT_EQ(names(entries->Value.Items[0]), first);
    EXPECT_EQ(names(entries->Value.Items[1]), second);
    EXPECT_FALSE(entries->Value.Items[0].Position.has_value());

    // Positions in a stream are read past; the items come in stream order.
    TStreamValue collection = entries->Value;
    collection.Items[0].Position = TStreamValue::Integer(1);
    collection.Items[1].Position = TStreamValue::Integer(0);
    EXPECT_EQ(ReadError(Build(FormWith({{"Entries", collection}}))), "");
    ASSERT_EQ(m_form->Entries()->Count(), 2);
    EXPECT_EQ(m_form->Entries()->Items(0)->Size(), 7);
    EXPECT_EQ(m_form->Entries()->Items(1)->Notes()->Count(), 1);
}

TEST_F(ObjectStreamTest, LayoutTextWithListsAndCollectionsComesBackUnchanged) {
    const std::string font =
        "Font.Charset = DEFAULT_CHARSET\n%sFont.Color = clWindowText\n%sFont.Height = %s\n"
        "%sFont.Name = 'MS Sans Serif'\n%sFont.Style = []\n";
    auto fontAt = [&font](const std::string& indent, const std::string& height) {
        return indent + Format(font, {indent, indent, height, indent, indent});
    };
    std::string text = "object Form: TSampleForm\n  Big = 0\n  Flags = []\n" + fontAt("  ", "-11") +
                       "  Lines.Strings = (\n    'select *'\n    ''\n    #1046#1091#1082)\n"
                       "  Entries = <\n    item\n      Caption = 'One'\n      Size = 2\n" +
                       fontAt("      ", "-20") +
                       "      Notes.Strings = (\n        'a')\n      Buddy = Form\n    end\n    item\n" +
                       fontAt("      ", "-11") + "    end>\nend\n";
    std::string crlf;
    for (char c : text) {
        crlf += c == '\n' ? "\r\n" : std::string(1, c);
    }
    std::vector<uint8_t> binary = TextToBinary(crlf);
    TSampleForm form(nullptr);
    TBytesStream input(binary);
    ReadObjectStream(input, form);
    ASSERT_EQ(form.Entries()->Count(), 2);
    EXPECT_EQ(form.Entries()->Items(0)->Buddy(), &form);
    EXPECT_EQ(form.Lines()->Get(2), u"Жук");
    TMemoryStream written = Write(form);
    EXPECT_EQ(BinaryToText(written.Bytes()), crlf);
}

TEST_F(ObjectStreamTest, ListsAndCollectionsRefuseOtherValueKinds) {
    TStreamValue keep;
    keep.Type = vaList;
    keep.List = {AnsiStringValue("keep")};
    TStreamValue mixed = keep;
    mixed.List = {AnsiStringValue("x"), TStreamValue::Integer(5)};
    EXPECT_EQ(ReadError(Build(FormWith({{"Lines.Strings", keep}, {"Lines.Strings", mixed}}))),
              "Error reading Form.Lines.Strings: Invalid property value");
    EXPECT_EQ(m_form->Lines()->Text(), u"keep") << "a bad element leaves the lines as they were";
    EXPECT_EQ(ReadError(Build(FormWith({{"Lines.Strings", AnsiStringValue("x")}}))),
              "Error reading Form.Lines.Strings: Invalid property value");
    EXPECT_EQ(ReadError(Build(FormWith({{"Lines", keep}}))), "Error reading Form.Lines: Invalid property value");

    TStreamValue items;
    items.Type = vaCollection;
    items.Items.push_back({std::nullopt, {{"Nothing", TStreamValue::Integer(1)}}});
    EXPECT_EQ(ReadError(Build(FormWith({{"Entries", items}}))),
              "Error reading Form.Entries: Property Nothing does not exist");
    items.Items[0].Properties = {{"Size", AnsiStringValue("big")}};
    EXPECT_EQ(ReadError(Build(FormWith({{"Entries", items}}))), "Error reading Form.Entries: Invalid property value");
    items.Items[0].Properties = {{"Buddy", Ident("Nobody")}};
    EXPECT_EQ(ReadError(Build(FormWith({{"Entries", items}}))), "Error reading Form.Entries: Invalid property value");
    EXPECT_EQ(ReadError(Build(FormWith({{"Entries", keep}}))), "Error reading Form.Entries: Invalid property value");
    EXPECT_EQ(ReadError(Build(FormWith({{"Entries.Size", TStreamValue::Integer(1)}}))),
              "Error reading Form.Entries.Size: Invalid property path");
}

// A reference read inside an item waits for the end of the read; the item may be gone by then.
TEST_F(ObjectStreamTest, ReferenceInAnItemReadAgainIsDropped) {
    TStreamValue withReference;
    withReference.Type = vaCollection;
    withReference.Items.push_back({std::nullopt, {{"Buddy", Ident("Form")}}});
    TStreamValue empty;
    empty.Type = vaCollection;
    EXPECT_EQ(ReadError(Build(FormWith({{"Entries", withReference}, {"Entries", empty}}))), "");
    EXPECT_EQ(m_form->Entries()->Count(), 0);

    TStreamValue nested = withReference;
    nested.Items[0].Properties.push_back({"Size", TStreamValue::Integer(3)});
    EXPECT_EQ(ReadError(Build(FormWith({{"Entries", withReference}, {"Entries", nested}}))), "");
    ASSERT_EQ(m_form->Entries()->Count(), 1);
    EXPECT_EQ(m_form->Entries()->Items(0)->Buddy(), m_form.get());
}

TEST_F(ObjectStreamTest, RedeclaredPropertyIsWrittenOnceWithTheNewDefault) {
    TSampleButton button(nullptr);
    TMemoryStream stream = Write(button);
    EXPECT_EQ(FindIn(Parse(stream), "Shape"), nullptr) << "shCircle is the button's default";

    button.SetShape(shNone);
    stream = Write(button);
    TStreamObject object = Parse(stream);
    ASSERT_GE(object.Properties.size(), 2u);
    EXPECT_EQ(object.Properties[0].Name, "Big");
    EXPECT_EQ(object.Properties[1].Name, "Shape") << "at the ancestor's place, once";
    int shapes = 0;
    for (const TStreamProperty& p : object.Properties) {
        shapes += p.Name == "Shape";
    }
    EXPECT_EQ(shapes, 1);

    TSampleButton copy(nullptr);
    ReadObjectStream(stream, copy);
    EXPECT_EQ(copy.Shape(), shNone);
    EXPECT_EQ(copy.KindSets, 1) << "read through the button's own setter";
}

TEST_F(ObjectStreamTest, DeeplyNestedRecordsAreRefused) {
    TStreamObject form = FormWith({});
    TStreamObject* level = &form;
    for (int i = 0; i < kMaxNesting + 5; ++i) {
        TStreamObject child;
        child.ClassName = "TSampleItem";
        level->Children.push_back(child);
        level = &level->Children.back();
    }
    TMemoryStream stream;
    TBinaryWriter writer(stream);
    writer.WriteSignature();
    writer.WriteObject(form);
    stream.SetPosition(0);
    EXPECT_EQ(ReadError(std::move(stream)), "Invalid stream format");
}

}  // namespace
}  // namespace zaprelay::test

namespace zaprelay::test {
namespace {

// Integer values with names, and a property written only while another one allows it.
bool LevelToIdent(int32_t value, std::string& name) {
    if (value == -21) {
        name = "lvHigh";
        return true;
    }
    return false;
}
bool IdentToLevel(std::string_view name, int32_t& value) {
    if (SameText(name, "lvHigh")) {
        value = -21;
        return true;
    }
    return false;
}

class TGauge : public TComponent {
public:
    using TComponent::TComponent;
    static const TClassInfo& StaticClassInfo() {
        static const TClassInfo info = [] {
            TClassInfo i = NewClassInfo<TGauge, TComponent>("TGauge");
            TClassBuilder<TGauge>(i)
                .Integer("Level", &TGauge::Level, &TGauge::SetLevel, 0)
                .Idents(&LevelToIdent, &IdentToLevel)
                .Boolean("Inherit", &TGauge::Inherit, &TGauge::SetInherit, true)
                .Integer("Own", &TGauge::Own, &TGauge::SetOwn)
                .StoredWhen([](const TGauge& g) { return !g.Inherit(); })
                .Color("Tint", &TGauge::Tint, &TGauge::SetTint, clWhite);
            return i;
        }();
        return info;
    }
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    int32_t Level() const { return m_level; }
    void SetLevel(int32_t v) { m_level = v; }
    bool Inherit() const { return m_inherit; }
    void SetInherit(bool v) { m_inherit = v; }
    int32_t Own() const { return m_own; }
    void SetOwn(int32_t v) { m_own = v; }
    TColor Tint() const { return m_tint; }
    void SetTint(TColor v) { m_tint = v; }

private:
    int32_t m_level = 0;
    bool m_inherit = true;
    int32_t m_own = 5;
    TColor m_tint = clWhite;
};

std::string GaugeText(TGauge& gauge) {
    TMemoryStream binary;
    WriteObjectStream(binary, gauge);
    binary.SetPosition(0);
    TMemoryStream text;
    StreamBinaryToText(binary, text);
    return std::string(text.Bytes().begin(), text.Bytes().end());
}

void ReadGauge(TGauge& gauge, const std::string& text) {
    std::vector<uint8_t> bytes(text.begin(), text.end());
    TBytesStream source(bytes);
    TMemoryStream binary;
    StreamTextToBinary(source, binary);
    binary.SetPosition(0);
    ReadObjectStream(binary, gauge);
}

TEST(ObjectStreamExtras, NamedIntegersAreWrittenAndReadByName) {
    TGauge gauge(nullptr);
    gauge.SetLevel(-21);
    EXPECT_NE(GaugeText(gauge).find("Level = lvHigh"), std::string::npos);
    gauge.SetLevel(7);
    EXPECT_NE(GaugeText(gauge).find("Level = 7"), std::string::npos);

    TGauge read(nullptr);
    ReadGauge(read, "object G: TGauge\n  Level = lvHigh\nend\n");
    EXPECT_EQ(read.Level(), -21);
    EXPECT_THROW(ReadGauge(read, "object G: TGauge\n  Level = lvLow\nend\n"), EReadError);
}

TEST(ObjectStreamExtras, StoredWhenWritesOnlyWhileItAllows) {
    TGauge gauge(nullptr);
    EXPECT_EQ(GaugeText(gauge).find("Own"), std::string::npos) << "inherited: not written";
    gauge.SetInherit(false);
    std::string text = GaugeText(gauge);
    EXPECT_NE(text.find("Inherit = False"), std::string::npos);
    EXPECT_NE(text.find("Own = 5"), std::string::npos);
    // Reading is not affected: a stored value is taken whatever the other says.
    TGauge read(nullptr);
    ReadGauge(read, "object G: TGauge\n  Own = 9\nend\n");
    EXPECT_EQ(read.Own(), 9);
}

TEST(ObjectStreamExtras, ColourTakesAnyThirtyTwoBitPattern) {
    TGauge gauge(nullptr);
    ReadGauge(gauge, "object G: TGauge\n  Tint = $FF00000F\nend\n");
    EXPECT_EQ(gauge.Tint(), clBtnFace);
    EXPECT_NE(GaugeText(gauge).find("Tint = clBtnFace"), std::string::npos);
    ReadGauge(gauge, "object G: TGauge\n  Tint = $00FF00\nend\n");
    EXPECT_EQ(gauge.Tint(), 0x00FF00);
    EXPECT_THROW(ReadGauge(gauge, "object G: TGauge\n  Tint = $1FFFFFFFF\nend\n"), EReadError);
}

}  // namespace
}  // namespace zaprelay::test
