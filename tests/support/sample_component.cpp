#include "tests/support/sample_component.h"

#include "framework/rtl/class_registry.h"
#include "framework/rtl/streams.h"

namespace zaprelay::test {

const TEnumInfo kSampleShapeNames{"TSampleShape", {"shNone", "shCircle", "shSquare"}};
const TEnumInfo kSampleFlagNames{"TSampleFlag", {"sfA", "sfB", "sfC"}};

TSampleItem::TSampleItem(TComponent* owner) : TComponent(owner) {}

TSampleItem::~TSampleItem() {
    SetBuddy(nullptr);
}

const TClassInfo& TSampleItem::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TSampleItem", &TComponent::StaticClassInfo());
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
        TClassInfo i("TSampleForm", &TSampleItem::StaticClassInfo());
        TClassBuilder<TSampleForm>(i)
            .Method<void(TObject*)>("ItemClick", &TSampleForm::ItemClick)
            .Method<void(TObject*, int)>("ValueChanged", &TSampleForm::ValueChanged)
            .Creatable();
        return i;
    }();
    return info;
}

void RegisterSampleClasses() {
    RegisterClass(TSampleItem::StaticClassInfo());
    RegisterClass(TSampleForm::StaticClassInfo());
}

}  // namespace zaprelay::test
