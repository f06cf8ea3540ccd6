#include "framework/rtl/object_stream.h"

#include "framework/rtl/class_registry.h"
#include "framework/rtl/exceptions.h"
#include "framework/rtl/stream_value.h"
#include "tests/support/sample_component.h"

#include <gtest/gtest.h>
#include <memory>

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

    ASSERT_EQ(copy.ComponentCount(), 2);
    auto* panelCopy = dynamic_cast<TSampleItem*>(copy.FindComponent("Panel"));
    auto* buttonCopy = dynamic_cast<TSampleItem*>(copy.FindComponent("Button"));
    ASSERT_TRUE(panelCopy && buttonCopy);
    EXPECT_EQ(panelCopy->ParentComponent(), &copy);
    EXPECT_EQ(buttonCopy->ParentComponent(), panelCopy);
    EXPECT_EQ(buttonCopy->Buddy(), panelCopy);

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
                                               "Font.Style"}));
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
