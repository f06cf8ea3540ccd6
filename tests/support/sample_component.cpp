#include "tests/support/sample_component.h"

#include "framework/rtl/class_registry.h"
#include "framework/rtl/streams.h"

namespace zaprelay::test {

const TEnumInfo kSampleShapeNames = MakeEnumInfo<shSquare>("TSampleShape", {"shNone", "shCircle", "shSquare"});
const TEnumInfo kSampleFlagNames = MakeEnumInfo<sfC>("TSampleFlag", {"sfA", "sfB", "sfC"});

const TClassInfo& TSampleEntry::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TSampleEntry, TCollectionItem>("TSampleEntry");
        TClassBuilder<TSampleEntry>(i)
            .WideString("Caption", &TSampleEntry::Caption, &TSampleEntry::SetCaption)
            .Integer("Size", &TSampleEntry::Size, &TSampleEntry::SetSize, 0)
            .Object("Font", &TSampleEntry::Font)
            .Object("Notes", &TSampleEntry::Notes)
            .Component("Buddy", &TSampleEntry::Buddy, &TSampleEntry::SetBuddy);
        return i;
    }();
    return info;
}

void TSampleEntry::CopyFrom(const TPersistent& source) {
    const auto* entry = dynamic_cast<const TSampleEntry*>(&source);
    if (entry == nullptr) {
        TCollectionItem::CopyFrom(source);
        return;
    }
    SetCaption(entry->m_caption);
    SetSize(entry->m_size);
    m_font.CopyFrom(entry->m_font);
    m_notes.CopyFrom(entry->m_notes);
    SetBuddy(entry->m_buddy);
}

void TSampleEntry::SetCaption(const std::u16string& value) {
    m_caption = value;
    Changed();
}

void TSampleEntry::SetSize(int32_t value) {
    m_size = value;
    Changed();
}

void TSampleEntry::SetBuddy(TComponent* value) {
    if (auto* holder = dynamic_cast<TComponent*>(Collection()->Owner())) {
        ReplaceReference(holder, m_buddy, value);
    } else {
        m_buddy = value;
    }
}

TSampleItem::TSampleItem(TComponent* owner) : TComponent(owner), m_entries(this) {}

TSampleItem::~TSampleItem() {
    SetBuddy(nullptr);
}

const TClassInfo& TSampleItem::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TSampleItem, TComponent>("TSampleItem");
        TClassBuilder<TSampleItem>(i)
            .Integer("Count", &TSampleItem::Count, &TSampleItem::SetCount, 0)
            .Integer("Big", &TSampleItem::Big, &TSampleItem::SetBig)
            .Enum("Shape", kSampleShapeNames, &TSampleItem::Shape, &TSampleItem::SetShape, shNone)
            .Boolean("Visible", &TSampleItem::Visible, &TSampleItem::SetVisible, true)
            .Set("Flags", kSampleFlagNames, &TSampleItem::Flags, &TSampleItem::SetFlags)
            .String("Caption", &TSampleItem::Caption, &TSampleItem::SetCaption)
            .WideString("Title", &TSampleItem::Title, &TSampleItem::SetTitle)
            .Color("Color", &TSampleItem::Color, &TSampleItem::SetColor, clWhite)
            .Charset("Charset", &TSampleItem::Charset, &TSampleItem::SetCharset, DEFAULT_CHARSET)
            .Object("Font", &TSampleItem::Font)
            .Component("Buddy", &TSampleItem::Buddy, &TSampleItem::SetBuddy)
            .Event("OnClick", &TSampleItem::OnClick)
            .Event("OnValue", &TSampleItem::OnValue)
            .Object("Lines", &TSampleItem::Lines)
            .Collection("Entries", &TSampleItem::Entries)
            .Creatable();
        return i;
    }();
    return info;
}

void TSampleItem::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
    for (TComponent* c : root->ComponentList()) {
        auto* item = dynamic_cast<TSampleItem*>(c);
        if (item != nullptr && item->ParentComponent() == this) {
            proc(item);
        }
    }
}

void TSampleItem::DeclareProperties(TPropertyDeclarations& declarations) {
    declarations.DefineBinaryProperty(
        "Data",
        [this](TStream& stream) {
            m_data.resize(static_cast<std::size_t>(stream.Size()));
            stream.ReadBuffer(m_data.data(), static_cast<int64_t>(m_data.size()));
        },
        [this](TStream& stream) { stream.WriteBuffer(m_data.data(), static_cast<int64_t>(m_data.size())); },
        !m_data.empty());
}

const TClassInfo& TSampleForm::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TSampleForm, TSampleItem>("TSampleForm");
        TClassBuilder<TSampleForm>(i)
            .Method<void(TObject*)>("ItemClick", &TSampleForm::ItemClick)
            .Method<void(TObject*, int)>("ValueChanged", &TSampleForm::ValueChanged)
            .Creatable();
        return i;
    }();
    return info;
}

const TClassInfo& TSampleButton::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TSampleButton, TSampleItem>("TSampleButton");
        TClassBuilder<TSampleButton>(i)
            .Enum("Shape", kSampleShapeNames, &TSampleButton::Shape, &TSampleButton::SetKind, shCircle)
            .Creatable();
        return i;
    }();
    return info;
}

void RegisterSampleClasses() {
    RegisterClass(TSampleItem::StaticClassInfo());
    RegisterClass(TSampleForm::StaticClassInfo());
    RegisterClass(TSampleButton::StaticClassInfo());
}

}  // namespace zaprelay::test
