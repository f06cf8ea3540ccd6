#include "skin/objects/skin_object.h"

#include "framework/graphics/pixel.h"
#include "framework/graphics/raster_canvas.h"
#include "framework/rtl/exceptions.h"
#include "framework/rtl/object_stream.h"
#include "framework/rtl/streams.h"
#include "skin/objects/skin_object_io.h"
#include "skin/objects/skin_object_text.h"
#include "tests/support/skin_tree.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace zaprelay::skin {
namespace {

using ::testing::HasSubstr;

// A kind of its own, to see that class identity survives streaming and cloning.
class TTestKindObject : public TVxSkinObject {
public:
    using TVxSkinObject::TVxSkinObject;
    static const TClassInfo& StaticClassInfo() {
        static const TClassInfo info = [] {
            TClassInfo i = NewClassInfo<TTestKindObject, TVxSkinObject>("TTestKindObject");
            TClassBuilder<TTestKindObject>(i).Creatable();
            return i;
        }();
        return info;
    }
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

struct Deleter {
    void operator()(TVxSkinObject* o) const { o->Free(); }
};
using Owned = std::unique_ptr<TVxSkinObject, Deleter>;

class SkinObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        UnregisterSkinObjectClasses();
        RegisterSkinObjectClass(TVxSkinObject::StaticClassInfo());
        RegisterSkinObjectClass(TTestKindObject::StaticClassInfo());
    }
    void TearDown() override {
        UnregisterSkinObjectClasses();
        SetSkinTextMeasure(nullptr);
        SetSystemReadsRightToLeft(false);
    }
};

TVxSkinObject* Child(TVxSkinObject* parent, const std::string& name, TVxAlign align, TRect bounds) {
    auto* child = new TVxSkinObject(parent);
    child->SetName(name);
    child->SetAlign(align);
    child->SetBounds(bounds);
    return child;
}

// Every published value away from its default.
void SetAll(TVxSkinObject& o, int seed) {
    o.SetAlign(saBottomLeft);
    o.SetColor(0x123456 + seed);
    o.SetDrawIfOwner(true);
    TFontData font;
    font.Name = "Tahoma";
    font.Height = -13 - seed;
    font.Color = 0x00FF00;
    font.Style = FontStyleBit(fsBold);
    o.Font().SetData(font);
    o.SetKind(skTranparent);
    o.SetMasked(false);
    o.SetBounds(Bounds(3 + seed, 4, 50, 60));
    o.SetMarginLeft(1);
    o.SetMarginRight(2);
    o.SetMarginTop(3);
    o.SetMarginBottom(4);
    o.SetTextAlign(taBottomRight);
    o.SetTextEffect(teShadow);
    o.SetTextMarginLeft(5);
    o.SetTextMarginRight(6);
    o.SetTextMarginTop(7);
}

// Published values and font, then the children in order.
void ExpectSameTree(TVxSkinObject& a, TVxSkinObject& b) {
    EXPECT_EQ(a.ClassName(), b.ClassName());
    EXPECT_EQ(a.Name(), b.Name());
    for (const TPropInfo* p : a.ClassInfo().Properties()) {
        if (p->IsOrdinal()) {
            EXPECT_EQ(p->GetOrd(a), p->GetOrd(b)) << a.Name() << "." << p->Name;
        }
    }
    EXPECT_EQ(a.Font().Data(), b.Font().Data()) << a.Name();
    ASSERT_EQ(a.ChildCount(), b.ChildCount()) << a.Name();
    for (int i = 0; i < a.ChildCount(); ++i) {
        ExpectSameTree(*a.GetChild(i), *b.GetChild(i));
    }
}

std::vector<uint8_t> BinaryRecord(TVxSkinObject& o) {
    TMemoryStream s;
    WriteSkinObjectBinary(s, o);
    return s.Bytes();
}

std::vector<uint8_t> TextRecord(TVxSkinObject& o) {
    TMemoryStream s;
    WriteSkinObject(s, o);
    return s.Bytes();
}

Owned ReadText(const std::vector<uint8_t>& bytes) {
    TBytesStream s(bytes);
    return Owned(ReadSkinObject(s, nullptr));
}

Owned ReadBinary(const std::vector<uint8_t>& bytes) {
    TBytesStream s(bytes);
    return Owned(ReadSkinObjectBinary(s, nullptr));
}

// The text body of a text record.
std::string TextBody(const std::vector<uint8_t>& record) {
    TBytesStream s(record);
    ReadSkinString(s);
    return ReadSkinString(s);
}

// A tree three levels deep with every property set at each level.
Owned MakeTree() {
    Owned root(new TVxSkinObject(nullptr));
    root->SetName("Form");
    SetAll(*root, 0);
    auto* caption = new TTestKindObject(root.get());
    caption->SetName("Caption");
    SetAll(*caption, 1);
    auto* text = new TVxSkinObject(caption);
    text->SetName("Text");
    SetAll(*text, 2);
    auto* client = new TVxSkinObject(root.get());
    client->SetName("Client");
    client->SetKind(skClient);
    return root;
}

TEST_F(SkinObjectTest, NewObjectWritesNothingButItsFontAndChildren) {
    // Every published value of a new object equals its stream default, so only the font
    // (which has no defaults) and the always-written children appear.
    Owned o(new TVxSkinObject(nullptr));
    EXPECT_EQ(o->Font().Data(), DefaultFontData());
    std::string body = TextBody(TextRecord(*o));
    EXPECT_EQ(body.rfind("object TVxSkinObject\r\n  Font.Charset", 0), 0u) << body;
    std::string rest = body.substr(body.find("Objects"));
    EXPECT_EQ(rest, "Objects = {00000F00}\r\nend\r\n");
    EXPECT_EQ(body.find("\r\n  ", body.find("Font.Style")), body.find("\r\n  Objects")) << body;
    EXPECT_TRUE(o->Visible && o->Enabled && o->Masked());
    EXPECT_FALSE(o->Active);
    EXPECT_EQ(o->GetChild(-1), nullptr);
}

TEST_F(SkinObjectTest, TreeSurvivesTextAndBinaryRecordsInStreamOrder) {
    Owned tree = MakeTree();
    std::vector<uint8_t> text = TextRecord(*tree);
    std::string body = TextBody(text);
    EXPECT_EQ(body.rfind("object Form: TVxSkinObject\r\n", 0), 0u) << body;
    // Published properties in declaration order, then the children.
    std::size_t last = 0;
    for (const char* name :
         {"Align",     "Color",      "DrawIfOwner",    "Font.",           "Kind",          "Masked",    "Left",
          "Top",       "Height",     "Width",          "MarginLeft",      "MarginRight",   "MarginTop", "MarginBottom",
          "TextAlign", "TextEffect", "TextMarginLeft", "TextMarginRight", "TextMarginTop", "Objects"}) {
        std::size_t at = body.find(std::string("\r\n  ") + name);
        ASSERT_NE(at, std::string::npos) << name;
        EXPECT_GT(at, last) << name;
        last = at;
    }
    EXPECT_THAT(body, HasSubstr("Kind = skTranparent"));

    Owned fromText = ReadText(text);
    ASSERT_NE(fromText, nullptr);
    ExpectSameTree(*tree, *fromText);
    Owned fromBinary = ReadBinary(BinaryRecord(*fromText));
    ASSERT_NE(fromBinary, nullptr);
    ExpectSameTree(*tree, *fromBinary);
    EXPECT_EQ(TextRecord(*fromBinary), text);
    EXPECT_EQ(fromBinary->GetChild(0)->ClassName(), "TTestKindObject");
}

TEST_F(SkinObjectTest, ReadingSetsTheDefaultCharsetThroughTheTree) {
    Owned tree = MakeTree();
    tree->SetCharset(RUSSIAN_CHARSET);
    EXPECT_THAT(TextBody(TextRecord(*tree)), HasSubstr("RUSSIAN_CHARSET"));
    Owned read = ReadBinary(BinaryRecord(*tree));
    EXPECT_EQ(read->Font().Charset(), DEFAULT_CHARSET);
    EXPECT_EQ(read->FindObject("Text")->Font().Charset(), DEFAULT_CHARSET);
}

// The binary body of a record, and where the "Objects" value (after its vaBinary and size)
// starts in it.
struct Body {
    std::vector<uint8_t> Bytes;
    std::size_t Value = 0;
};

Body BodyOf(TVxSkinObject& o) {
    std::vector<uint8_t> record = BinaryRecord(o);
    Body body;
    body.Bytes.assign(record.begin() + 4 + static_cast<long>(o.ClassName().size()) + 4, record.end());
    const std::string key = "Objects";
    auto at = std::search(body.Bytes.begin(), body.Bytes.end(), key.begin(), key.end());
    EXPECT_NE(at, body.Bytes.end());
    body.Value = static_cast<std::size_t>(at - body.Bytes.begin()) + key.size() + 5;
    return body;
}

// A binary record of o whose "Objects" value is replaced by value.
std::vector<uint8_t> WithObjects(TVxSkinObject& o, const std::vector<uint8_t>& value) {
    Body body = BodyOf(o);
    std::vector<uint8_t> bytes(body.Bytes.begin(), body.Bytes.begin() + static_cast<long>(body.Value) - 4);
    TMemoryStream size;
    size.WriteInt32(static_cast<int32_t>(value.size()));
    bytes.insert(bytes.end(), size.Bytes().begin(), size.Bytes().end());
    bytes.insert(bytes.end(), value.begin(), value.end());
    bytes.insert(bytes.end(), body.Bytes.begin() + static_cast<long>(body.Value) + 4, body.Bytes.end());
    TMemoryStream record;
    WriteSkinString(record, o.ClassName());
    record.WriteInt32(static_cast<int32_t>(bytes.size()));
    record.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    return record.Bytes();
}

TEST_F(SkinObjectTest, ObjectsCountWordSelectsTheRecordForm) {
    Owned leaf(new TVxSkinObject(nullptr));
    leaf->SetName("Leaf");
    Body empty = BodyOf(*leaf);
    EXPECT_EQ(empty.Bytes[empty.Value - 5], 10);  // a binary value of four bytes
    EXPECT_EQ(std::vector<uint8_t>(empty.Bytes.begin() + static_cast<long>(empty.Value) - 4,
                                   empty.Bytes.begin() + static_cast<long>(empty.Value) + 4),
              (std::vector<uint8_t>{4, 0, 0, 0, 0x00, 0x00, 0x0F, 0x00}));

    Owned a(new TVxSkinObject(nullptr));
    a->SetName("A");
    a->SetColor(clRed);
    Owned b(new TTestKindObject(nullptr));
    b->SetName("B");

    // Unflagged: text records.
    TMemoryStream textChildren;
    textChildren.WriteInt32(2);
    WriteSkinObject(textChildren, *a);
    WriteSkinObject(textChildren, *b);
    Owned fromText = ReadBinary(WithObjects(*leaf, textChildren.Bytes()));
    ASSERT_EQ(fromText->ChildCount(), 2);
    EXPECT_EQ(fromText->GetChild(0)->Color(), clRed);
    EXPECT_EQ(fromText->GetChild(1)->ClassName(), "TTestKindObject");

    // Flagged: binary records, and the writer's own form.
    TMemoryStream binaryChildren;
    binaryChildren.WriteInt32(kChildFormatFlag | 2);
    WriteSkinObjectBinary(binaryChildren, *a);
    WriteSkinObjectBinary(binaryChildren, *b);
    Owned fromBinary = ReadBinary(WithObjects(*leaf, binaryChildren.Bytes()));
    ASSERT_EQ(fromBinary->ChildCount(), 2);
    EXPECT_EQ(fromBinary->GetChild(1)->Name(), "B");
    Body written = BodyOf(*fromBinary);
    EXPECT_EQ(std::vector<uint8_t>(written.Bytes.begin() + static_cast<long>(written.Value),
                                   written.Bytes.begin() + static_cast<long>(written.Value) + 4),
              (std::vector<uint8_t>{0x02, 0x00, 0x0F, 0x00}));
    EXPECT_EQ(WithObjects(*leaf, binaryChildren.Bytes()), BinaryRecord(*fromBinary));
}

TEST_F(SkinObjectTest, BadCountsAndSizesRaiseReadErrors) {
    Owned leaf(new TVxSkinObject(nullptr));
    for (int32_t word : {kChildFormatFlag | 5, 3, -1, static_cast<int32_t>(0x800F0001)}) {
        TMemoryStream children;
        children.WriteInt32(word);
        EXPECT_THROW(ReadBinary(WithObjects(*leaf, children.Bytes())), EReadError) << word;
    }
    std::vector<uint8_t> record = BinaryRecord(*leaf);
    // Size larger than the stream, negative size, truncated body, truncated class name.
    std::vector<uint8_t> big = record;
    big[4 + 13 + 3] = 0x7F;
    EXPECT_THROW(ReadBinary(big), EReadError);
    std::vector<uint8_t> negative = record;
    negative[4 + 13 + 3] = 0xFF;
    EXPECT_THROW(ReadBinary(negative), EReadError);
    EXPECT_THROW(ReadBinary(std::vector<uint8_t>(record.begin(), record.end() - 3)), EReadError);
    EXPECT_THROW(ReadBinary(std::vector<uint8_t>(record.begin(), record.begin() + 9)), EReadError);
    std::vector<uint8_t> text = TextRecord(*leaf);
    EXPECT_THROW(ReadText(std::vector<uint8_t>(text.begin(), text.end() - 1)), EReadError);
}

TEST_F(SkinObjectTest, RegistryMatchesExactCaseAndUnknownClassesAreHandled) {
    EXPECT_EQ(FindSkinObjectClass("TVxSkinObject"), &TVxSkinObject::StaticClassInfo());
    EXPECT_EQ(FindSkinObjectClass("TVXSKINOBJECT"), nullptr);
    EXPECT_EQ(FindSkinObjectClass("tvxskinobject"), nullptr);
    EXPECT_THROW(RegisterSkinObjectClass(TFont::StaticClassInfo()), std::logic_error);

    // Top level: none, with the body left for the loader to reject.
    Owned tree = MakeTree();
    std::vector<uint8_t> record = BinaryRecord(*tree);
    record[4 + 3] = 'X';  // "TVxXkinObject"
    TBytesStream top(record);
    EXPECT_EQ(ReadSkinObjectBinary(top, nullptr), nullptr);
    EXPECT_EQ(top.Position(), 4 + 13);

    // Inside a tree: an error naming the class.
    std::vector<uint8_t> good = BinaryRecord(*tree);
    UnregisterSkinObjectClasses();
    RegisterSkinObjectClass(TVxSkinObject::StaticClassInfo());
    try {
        ReadBinary(good);
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_THAT(e.Message(), HasSubstr("TTestKindObject"));
    }
    EXPECT_EQ(CloneSkinObject(*tree->GetChild(0), nullptr), nullptr);
}

// A chain of count objects, each the only child of the one before.
Owned Chain(int count) {
    Owned root(new TVxSkinObject(nullptr));
    TVxSkinObject* last = root.get();
    for (int i = 1; i < count; ++i) {
        last = new TVxSkinObject(last);
        last->SetName("N" + std::to_string(i));
    }
    return root;
}

TEST_F(SkinObjectTest, DeepNestingIsRefusedWithAClearError) {
    Owned fits = ReadBinary(BinaryRecord(*Chain(kMaxSkinObjectDepth)));
    ASSERT_NE(fits, nullptr);
    EXPECT_NE(fits->FindObject("N" + std::to_string(kMaxSkinObjectDepth - 1)), nullptr);

    std::vector<uint8_t> deep = BinaryRecord(*Chain(kMaxSkinObjectDepth + 1));
    try {
        ReadBinary(deep);
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_THAT(e.Message(), HasSubstr("nested deeper than 64 levels"));
    }
    // The guard unwinds: a later read starts from the top again.
    EXPECT_NE(ReadBinary(BinaryRecord(*Chain(kMaxSkinObjectDepth))), nullptr);
}

TEST_F(SkinObjectTest, LookupsIgnoreCaseAndGoDepthFirst) {
    Owned tree = MakeTree();
    TVxSkinObject* text = tree->GetChild(0)->GetChild(0);
    EXPECT_EQ(tree->FindObject("text"), text);
    EXPECT_EQ(tree->FindObject("FORM"), tree.get());
    EXPECT_EQ(tree->FindObject("Missing"), nullptr);
    // The caption comes before its own child and before the later sibling.
    EXPECT_EQ(tree->FindObjectByKind(skTranparent), tree.get());
    tree->SetKind(skForm);
    EXPECT_EQ(tree->FindObjectByKind(skTranparent), tree->GetChild(0));
    EXPECT_EQ(tree->FindObjectByKind(skClient), tree->GetChild(1));
    EXPECT_EQ(tree->FindObjectByKind(skMenuBar), nullptr);
}

TEST_F(SkinObjectTest, EdgeCentreAndClientRulesShareTheFreeArea) {
    Owned p(new TVxSkinObject(nullptr));
    TVxSkinObject* client = Child(p.get(), "Client", saClient, {});
    TVxSkinObject* top = Child(p.get(), "Top", saTop, Bounds(0, 0, 1, 5));
    TVxSkinObject* left = Child(p.get(), "Left", saLeft, Bounds(0, 0, 3, 1));
    TVxSkinObject* mostTop = Child(p.get(), "MostTop", saMostTop, Bounds(0, 0, 1, 10));
    TVxSkinObject* mostLeft = Child(p.get(), "MostLeft", saMostLeft, Bounds(0, 0, 7, 1));
    TVxSkinObject* right = Child(p.get(), "Right", saRight, Bounds(0, 0, 4, 1));
    TVxSkinObject* bottom = Child(p.get(), "Bottom", saBottom, Bounds(0, 0, 1, 6));
    TVxSkinObject* mostBottom = Child(p.get(), "MostBottom", saMostBottom, Bounds(0, 0, 1, 2));
    TVxSkinObject* mostRight = Child(p.get(), "MostRight", saMostRight, Bounds(0, 0, 8, 1));
    TVxSkinObject* centre = Child(p.get(), "Centre", saCenter, Bounds(0, 0, 10, 11));
    TVxSkinObject* fixed = Child(p.get(), "Fixed", saTopLeft, Bounds(1, 2, 3, 4));
    TVxSkinObject* hidden = Child(p.get(), "Hidden", saClient, Bounds(0, 0, 1, 1));
    hidden->Visible = false;

    p->SetBounds({100, 200, 200, 280});
    EXPECT_EQ(mostTop->BoundsRect(), (TRect{100, 200, 200, 210}));
    EXPECT_EQ(mostBottom->BoundsRect(), (TRect{100, 278, 200, 280}));
    EXPECT_EQ(mostLeft->BoundsRect(), (TRect{100, 210, 107, 278}));
    EXPECT_EQ(mostRight->BoundsRect(), (TRect{192, 210, 200, 278}));
    EXPECT_EQ(top->BoundsRect(), (TRect{107, 210, 192, 215}));
    EXPECT_EQ(bottom->BoundsRect(), (TRect{107, 272, 192, 278}));
    EXPECT_EQ(left->BoundsRect(), (TRect{107, 215, 110, 272}));
    EXPECT_EQ(right->BoundsRect(), (TRect{188, 215, 192, 272}));
    // Free area 110..188 x 215..272: 78 - 10 and 57 - 11 halve to 34 and 23.
    EXPECT_EQ(centre->BoundsRect(), Bounds(144, 238, 10, 11));
    EXPECT_EQ(client->BoundsRect(), (TRect{110, 215, 188, 272}));
    EXPECT_EQ(fixed->BoundsRect(), Bounds(1, 2, 3, 4));
    EXPECT_EQ(hidden->BoundsRect(), Bounds(0, 0, 1, 1));

    // A free area narrower than the child: the free area is 10..9 wide, so the centre's
    // offset (-1 - 10) / 2 truncates to -5, not -6, and the client's width is raised to 0.
    p->SetBounds({0, 0, 21, 22});
    EXPECT_EQ(client->Left(), 10);
    EXPECT_EQ(client->Width(), 0);
    EXPECT_EQ(centre->Left(), 5);
}

TEST_F(SkinObjectTest, CornerRulesKeepTheDistanceToTheFarEdge) {
    Owned designed(new TVxSkinObject(nullptr));
    designed->SetBounds(Bounds(0, 0, 375, 100));
    TVxSkinObject* buttons = Child(designed.get(), "Buttons", saTopRight, Bounds(167, 5, 204, 18));
    TVxSkinObject* corner = Child(designed.get(), "Corner", saBottomLeft, Bounds(0, 90, 4, 10));
    buttons->Visible = false;  // hidden children still follow the corner rules
    (void)corner;

    Owned copy(CloneSkinObject(*designed, nullptr));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->OldWidth, 0);
    copy->SetBounds(Bounds(0, 0, 500, 120));
    EXPECT_EQ(copy->FindObject("Buttons")->Left(), 292);
    EXPECT_EQ(copy->FindObject("Corner")->Top(), 110);
    copy->SetBounds(Bounds(0, 0, 400, 120));
    EXPECT_EQ(copy->FindObject("Buttons")->Left(), 192);

    // Without a recorded width the right rule waits; the bottom rule does not.
    Owned fresh(new TVxSkinObject(nullptr));
    TVxSkinObject* tr = Child(fresh.get(), "TR", saTopRight, Bounds(10, 0, 5, 5));
    TVxSkinObject* bl = Child(fresh.get(), "BL", saBottomLeft, Bounds(0, 10, 5, 5));
    fresh->SetBounds(Bounds(0, 0, 50, 40));
    EXPECT_EQ(tr->Left(), 10);
    EXPECT_EQ(bl->Top(), 50);
}

int32_t FixedWidthMeasure(const TFontData&, std::u16string_view text) {
    return static_cast<int32_t>(text.size()) * 7;
}

TEST_F(SkinObjectTest, TextRuleSizesToTheCaption) {
    SetSkinTextMeasure(&FixedWidthMeasure);
    Owned p(new TVxSkinObject(nullptr));
    TVxSkinObject* label = Child(p.get(), "Label", saText, Bounds(5, 6, 1, 9));
    label->Text = u"Hello";
    label->SetTextMarginLeft(2);
    label->SetTextMarginRight(3);
    p->SetBounds(Bounds(0, 0, 100, 100));
    EXPECT_EQ(label->BoundsRect(), Bounds(5, 6, 40, 9));
}

TEST_F(SkinObjectTest, CopyFromCopiesPublishedValuesAndClonesChildren) {
    Owned tree = MakeTree();
    tree->Visible = false;
    tree->Text = u"runtime";
    tree->State = 3;
    tree->GetChild(0)->SetAlign(saTopRight);
    tree->SetBounds(Bounds(0, 0, 90, 90));  // OldWidth is now set on the source

    Owned copy(new TVxSkinObject(nullptr));
    copy->CopyFrom(*tree);
    ExpectSameTree(*tree, *copy);
    EXPECT_TRUE(copy->Visible);
    EXPECT_TRUE(copy->Text.empty());
    EXPECT_EQ(copy->State, 0);
    EXPECT_EQ(copy->OldWidth, 0);
    EXPECT_NE(copy->GetChild(0), tree->GetChild(0));
    EXPECT_EQ(copy->GetChild(0)->ClassName(), "TTestKindObject");

    // Copying again appends to the children already there, and their names clash.
    EXPECT_THROW(copy->CopyFrom(*tree), EComponentError);
    EXPECT_EQ(copy->ChildCount(), 2);

    TFont font;
    try {
        copy->CopyFrom(font);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TFont to a TVxSkinObject");
    }

    // A sibling's name refuses the rename.
    TVxSkinObject* client = copy->FindObject("Client");
    EXPECT_THROW(client->CopyFrom(*tree->GetChild(0)), EComponentError);
    EXPECT_EQ(client->Kind(), skClient);
}

TEST_F(SkinObjectTest, HitTestingAndMasksSkipHiddenAndTransparentObjects) {
    Owned p(new TVxSkinObject(nullptr));
    p->SetBounds(Bounds(0, 0, 100, 100));
    TVxSkinObject* a = Child(p.get(), "A", saNone, Bounds(10, 10, 50, 50));
    TVxSkinObject* b = Child(p.get(), "B", saNone, Bounds(30, 30, 50, 50));
    TVxSkinObject* glass = Child(p.get(), "Glass", saNone, Bounds(0, 0, 20, 20));
    glass->SetKind(skTranparent);
    Child(glass, "UnderGlass", saNone, Bounds(0, 0, 20, 20));

    EXPECT_EQ(p->ObjectAtPoint({40, 40}), b);
    EXPECT_EQ(p->ObjectAtPoint({15, 15}), a);
    EXPECT_EQ(p->ObjectAtPoint({5, 5}), p.get());
    EXPECT_EQ(p->ObjectAtPoint({100, 50}), nullptr);
    b->Visible = false;
    EXPECT_EQ(p->ObjectAtPoint({40, 40}), a);

    std::optional<TRegion> mask = p->CreateMaskRegion();
    ASSERT_TRUE(mask);
    EXPECT_TRUE(mask->Contains({12, 12}));
    EXPECT_FALSE(mask->Contains({75, 75}));  // only the hidden child covered it
    p->SetMasked(false);
    EXPECT_TRUE(p->CreateMaskRegion()->Contains({75, 75}));
}

TEST_F(SkinObjectTest, MaskTellsAShapeThatShowsNothingFromNoShape) {
    Owned p(new TVxSkinObject(nullptr));
    p->SetBounds(Bounds(0, 0, 100, 100));
    TVxSkinObject* only = Child(p.get(), "Only", saNone, Bounds(10, 10, 20, 20));
    // Its only child hidden, a masked parent has a shape, and it holds nothing.
    only->Visible = false;
    std::optional<TRegion> nothing = p->CreateMaskRegion();
    ASSERT_TRUE(nothing);
    EXPECT_TRUE(nothing->IsEmpty());
    // An object without area has no shape at all.
    Owned flat(new TVxSkinObject(nullptr));
    flat->SetBounds(Bounds(0, 0, 100, 0));
    EXPECT_FALSE(flat->CreateMaskRegion());
}

TEST_F(SkinObjectTest, SubtreeSettersRecurse) {
    Owned tree = MakeTree();
    TVxSkinObject* text = tree->FindObject("Text");
    tree->Active = true;
    tree->SetActive(true);
    EXPECT_FALSE(text->Active);  // the parent was already active: the children are not visited
    tree->SetActive(false);
    tree->SetActive(true);
    EXPECT_TRUE(text->Active);
    tree->SetState(2);
    EXPECT_EQ(text->State, 2);
    tree->SetBiDiMode(1);
    EXPECT_EQ(text->BiDiMode, 1);

    const TColor before = text->Color();
    tree->SetColor(clNone);
    tree->ChangeHue(40);
    EXPECT_EQ(tree->Color(), clNone);
    EXPECT_NE(text->Color(), before);
}

using Surface = test::TTestSurface;

TEST_F(SkinObjectTest, DrawFillsLeavesAndOwnersOnlyWhenAsked) {
    Owned p(new TVxSkinObject(nullptr));
    p->SetColor(clRed);
    p->SetBounds(Bounds(0, 0, 40, 40));
    TVxSkinObject* first = Child(p.get(), "First", saNone, Bounds(0, 0, 20, 20));
    first->SetColor(clBlue);
    TVxSkinObject* second = Child(p.get(), "Second", saNone, Bounds(10, 10, 20, 20));
    second->SetColor(clLime);
    TVxSkinObject* hidden = Child(p.get(), "Hidden", saNone, Bounds(30, 30, 10, 10));
    hidden->SetColor(clYellow);
    hidden->Visible = false;
    TVxSkinObject* glassy = Child(p.get(), "Glassy", saNone, Bounds(0, 30, 10, 10));
    glassy->SetColor(clNone);

    Surface s(40, 40);
    p->Draw(s.Canvas());
    EXPECT_EQ(s.At(35, 5), Surface::kBackground);  // an owner without DrawIfOwner
    EXPECT_EQ(s.At(5, 5), ColorToPixel(clBlue));
    EXPECT_EQ(s.At(15, 15), ColorToPixel(clLime));  // the later child wins
    EXPECT_EQ(s.At(35, 35), Surface::kBackground);
    EXPECT_EQ(s.At(5, 35), Surface::kBackground);

    p->SetDrawIfOwner(true);
    p->Draw(s.Canvas());
    EXPECT_EQ(s.At(35, 5), ColorToPixel(clRed));
    EXPECT_EQ(s.At(15, 15), ColorToPixel(clLime));
}

TEST_F(SkinObjectTest, CaptionHonoursStateEffectAndSeparator) {
    TFontData font;
    font.Color = clBlue;
    Owned o(new TVxSkinObject(nullptr));
    o->Font().SetData(font);
    o->SetColor(clWhite);
    o->SetBounds(Bounds(0, 0, 60, 20));
    o->Text = u"-";
    Surface separator(60, 20);
    o->Draw(separator.Canvas());
    // One line at height / 2 - 1, three pixels in from each side.
    EXPECT_EQ(separator.Count(Bounds(0, 0, 60, 20), clBlue), 54);
    EXPECT_EQ(separator.Count(Bounds(3, 9, 54, 1), clBlue), 54);

    o->Text = u"Hi";
    o->SetTextMarginLeft(30);
    Surface plain(60, 20);
    o->Draw(plain.Canvas());
    EXPECT_EQ(plain.Count(Bounds(0, 0, 30, 20), clBlue), 0);  // inside the text margin
    EXPECT_GT(plain.Count(Bounds(30, 0, 30, 20), clBlue), 0);
    EXPECT_EQ(plain.Count(Bounds(0, 0, 60, 20), clBlack), 0);

    o->SetTextEffect(teShadow);
    Surface shadow(60, 20);
    o->Draw(shadow.Canvas());
    EXPECT_EQ(shadow.Count(Bounds(0, 0, 60, 20), clBlue), plain.Count(Bounds(0, 0, 60, 20), clBlue));
    EXPECT_GT(shadow.Count(Bounds(30, 0, 30, 20), clBlack), 0);

    o->SetTextEffect(teNone);
    o->Enabled = false;
    Surface disabled(60, 20);
    o->Draw(disabled.Canvas());
    EXPECT_EQ(disabled.Count(Bounds(0, 0, 60, 20), clBlue), 0);
    EXPECT_EQ(disabled.Count(Bounds(0, 0, 60, 20), clGray), plain.Count(Bounds(0, 0, 60, 20), clBlue));
}

TEST_F(SkinObjectTest, TitlesShortenAndRightToLeftFlagsMirror) {
    Surface s(10, 10);
    s.Canvas().SetFont(TFontData{});
    const int32_t advance = s.Canvas().TextExtent(u"W").X;
    EXPECT_EQ(FitTitleText(s.Canvas(), u"Hello world", 11 * advance), u"Hello world");
    EXPECT_EQ(FitTitleText(s.Canvas(), u"Hello world", 5 * advance + 1), u"He...");
    EXPECT_EQ(FitTitleText(s.Canvas(), u"Hello world", advance), u"...");
    // A surrogate pair is taken whole or not at all.
    EXPECT_EQ(FitTitleText(s.Canvas(), u"\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600", 4 * advance),
              u"\U0001F600...");

    Owned o(new TVxSkinObject(nullptr));
    o->BiDiMode = 1;
    EXPECT_EQ(o->DrawTextFlags(0x26), 0x26u);  // a left-to-right system changes nothing
    SetSystemReadsRightToLeft(true);
    EXPECT_EQ(o->DrawTextFlags(0x26), 0x24u | TextFormat::RtlReading);
    EXPECT_EQ(o->DrawTextFlags(0x24), 0x26u | TextFormat::RtlReading);
    EXPECT_EQ(o->DrawTextFlags(0x25), 0x25u | TextFormat::RtlReading);
    o->BiDiMode = 2;  // right to left, reading order left to right
    EXPECT_EQ(o->DrawTextFlags(0x20), 0x22u);
    o->BiDiMode = 0;
    EXPECT_EQ(o->DrawTextFlags(0x20), 0x20u);
    SetSystemReadsRightToLeft(false);
}

TEST_F(SkinObjectTest, ExtremeBoundsFromAFileStayExactAndHarmless) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    TMemoryStream record;
    WriteSkinString(record, "TVxSkinObject");
    WriteSkinString(
        record,
        "object Huge: TVxSkinObject\r\n  Left = 2147483647\r\n  Top = -2147483648\r\n"
        "  Height = 2147483647\r\n  Width = 2147483647\r\n  TextMarginLeft = -2147483648\r\n"
        "  TextMarginRight = 2147483647\r\n  TextMarginTop = 2147483647\r\n  Objects = {00000F00}\r\nend\r\n");
    Owned huge = ReadText(record.Bytes());
    ASSERT_NE(huge, nullptr);
    EXPECT_EQ(huge->Left(), kMax);
    EXPECT_EQ(huge->Top(), kMin);
    EXPECT_EQ(huge->Width(), kMax);
    EXPECT_EQ(huge->BoundsRect().Right, kMax);
    for (TVxAlign align : {saMostTop, saMostBottom, saMostLeft, saMostRight, saTop, saBottom, saLeft, saRight, saText,
                           saCenter, saClient, saTopRight, saBottomLeft, saBottomRight}) {
        Child(huge.get(), "C" + std::to_string(align), align, {})->SetBounds(kMin, kMax, kMax, kMax);
    }
    huge->SetBounds(kMin, kMax, kMax, kMax);
    huge->SetBounds(kMax, kMin, 1, kMax);
    huge->Text = u"-";
    huge->SetDrawIfOwner(true);
    Surface s(8, 8);
    huge->Draw(s.Canvas());
    huge->Text = u"Title";
    huge->SetKind(skTitle);
    huge->SetTextEffect(teShadow);
    huge->Draw(s.Canvas());
    huge->CreateMaskRegion();
    huge->ObjectAtPoint({kMax - 1, 0});

    Owned again = ReadBinary(BinaryRecord(*huge));
    ExpectSameTree(*huge, *again);
}

}  // namespace
}  // namespace zaprelay::skin

namespace zaprelay::skin {
namespace {

TEST_F(SkinObjectTest, HostBindingCarriesReadingOrderRepaintsAndTheForm) {
    test::OwnedSkinObject tree = test::TreeFromText(
        "object Form: TVxSkinObject\r\n"
        "  Width = 100\r\n"
        "  Height = 40\r\n"
        "  object Caption: TVxSkinObject\r\n"
        "    Align = saTop\r\n"
        "    Height = 20\r\n"
        "    object Text: TVxSkinObject\r\n"
        "      Align = saClient\r\n"
        "    end\r\n"
        "  end\r\n"
        "end\r\n");
    TVxSkinObject& text = test::Find(*tree, "text");
    ASSERT_EQ(tree->ChildCount(), 1);

    test::TFakeSkinHost host;
    test::TFakeFormActions form;
    host.Order = 1;
    tree->SetControl(&host);
    EXPECT_EQ(text.Control, &host);
    EXPECT_EQ(text.BiDiMode, 1);
    EXPECT_EQ(text.GetForm(), nullptr);
    host.Form = &form;
    EXPECT_EQ(text.GetForm(), &form);

    text.Invalidate();
    text.Visible = false;
    text.Invalidate();  // a hidden object asks for nothing
    EXPECT_EQ(host.Changed, std::vector<std::string>{"Text"});

    // Unbinding keeps the reading order the tree had.
    tree->SetControl(nullptr);
    EXPECT_EQ(text.Control, nullptr);
    EXPECT_EQ(text.BiDiMode, 1);
    text.Visible = true;
    text.Invalidate();
    EXPECT_EQ(host.Changed.size(), 1u);
}

TEST_F(SkinObjectTest, ShortcutTextTakesTheHostsOwnSideRule) {
    Owned item(new TVxSkinObject(nullptr));
    item->SetBounds(Bounds(0, 0, 120, 16));
    item->SetColor(clNone);
    item->ShortCutText = u"Ctrl+O";
    item->Font().SetColor(clBlack);
    auto inkAtLeft = [&] {
        Surface surface(120, 16);
        item->Draw(surface.Canvas());
        return surface.Count({0, 0, 60, 16}, clBlack) > 0;
    };
    EXPECT_FALSE(inkAtLeft());  // opposite the left-aligned caption: at the right
    test::TFakeSkinHost host;
    host.Order = 1;
    item->SetControl(&host);
    EXPECT_TRUE(inkAtLeft());
}

}  // namespace
}  // namespace zaprelay::skin

namespace zaprelay::skin {
namespace {

// The form an author edits keeps children as nested blocks, both ways, and says what it misses.
TEST_F(SkinObjectTest, AuthorTextNestsChildrenBothWays) {
    const std::string text =
        "object Form: TVxSkinObject\r\n"
        "  Width = 100\r\n"
        "  object Caption: TVxSkinObject\r\n"
        "    Align = saTop\r\n"
        "    Height = 20\r\n"
        "    object Title: TTestKindObject\r\n"
        "      Align = saClient\r\n"
        "    end\r\n"
        "  end\r\n"
        "  object Client: TVxSkinObject\r\n"
        "    Align = saClient\r\n"
        "  end\r\n"
        "end\r\n";
    Owned tree(SkinObjectFromText(text, nullptr));
    ASSERT_EQ(tree->ChildCount(), 2);
    EXPECT_EQ(tree->GetChild(0)->GetChild(0)->ClassName(), "TTestKindObject");
    const std::string written = SkinObjectToText(*tree);
    EXPECT_NE(written.find("\r\n    object Title: TTestKindObject\r\n"), std::string::npos) << written;
    EXPECT_EQ(written.find("Objects"), std::string::npos) << written;
    Owned again(SkinObjectFromText(written, nullptr));
    EXPECT_EQ(SkinObjectToText(*again), written);
    ExpectSameTree(*tree, *again);

    try {
        SkinObjectFromText("object A: TVxSkinObject\r\n  object B: TMissingKind\r\n  end\r\nend\r\n", nullptr);
        FAIL() << "an unknown class was read";
    } catch (const Exception& e) {
        EXPECT_THAT(e.what(), HasSubstr("TMissingKind"));
    }
    std::string deep;
    for (int i = 0; i < kMaxSkinObjectDepth + 2; ++i) {
        deep += "object O" + std::to_string(i) + ": TVxSkinObject\r\n";
    }
    for (int i = 0; i < kMaxSkinObjectDepth + 2; ++i) {
        deep += "end\r\n";
    }
    EXPECT_THROW(SkinObjectFromText(deep, nullptr), EReadError);
}

}  // namespace
}  // namespace zaprelay::skin
