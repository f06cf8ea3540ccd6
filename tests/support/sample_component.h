// Components with one published property of every kind, for the tests and the fuzz
// target of the component stream.
#pragma once

#include "framework/rtl/collection.h"
#include "framework/rtl/component.h"
#include "framework/rtl/font.h"
#include "framework/rtl/string_list.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zaprelay::test {

enum TSampleShape { shNone, shCircle, shSquare };
enum TSampleFlag { sfA, sfB, sfC };
extern const TEnumInfo kSampleShapeNames;
extern const TEnumInfo kSampleFlagNames;

// A collection item with a property of each kind an item is likely to hold: text, a number,
// a sub-object, a string list and a reference to a component of the holder's root.
class TSampleEntry : public TCollectionItem {
public:
    explicit TSampleEntry(TCollection& collection) : TCollectionItem(collection) {}

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    const std::u16string& Caption() const { return m_caption; }
    void SetCaption(const std::u16string& value);
    int32_t Size() const { return m_size; }
    void SetSize(int32_t value);
    TFont* Font() { return &m_font; }
    TStringList* Notes() { return &m_notes; }
    TComponent* Buddy() const { return m_buddy; }
    // Watched through the component that holds the collection, when there is one.
    void SetBuddy(TComponent* value);

private:
    std::u16string m_caption;
    int32_t m_size = 0;
    TFont m_font;
    TStringList m_notes;
    TComponent* m_buddy = nullptr;
};

class TSampleItem : public TComponent {
public:
    explicit TSampleItem(TComponent* owner);
    ~TSampleItem() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    int32_t Count() const { return m_count; }
    void SetCount(int32_t value) { m_count = value; }
    int32_t Big() const { return m_big; }
    void SetBig(int32_t value) { m_big = value; }
    TSampleShape Shape() const { return m_shape; }
    void SetShape(TSampleShape value) { m_shape = value; }
    bool Visible() const { return m_visible; }
    void SetVisible(bool value) { m_visible = value; }
    uint32_t Flags() const { return m_flags; }
    void SetFlags(uint32_t value) { m_flags = value; }
    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& value) { m_caption = value; }
    const std::u16string& Title() const { return m_title; }
    void SetTitle(const std::u16string& value) { m_title = value; }
    TColor Color() const { return m_color; }
    void SetColor(TColor value) { m_color = value; }
    int32_t Charset() const { return m_charset; }
    void SetCharset(int32_t value) { m_charset = value; }
    TFont* Font() { return &m_font; }
    TComponent* Buddy() const { return m_buddy; }
    void SetBuddy(TComponent* value) { ReplaceReference<TComponent>(this, m_buddy, value); }
    std::vector<uint8_t>& Data() { return m_data; }
    TStringList* Lines() { return &m_lines; }
    TOwnedCollection<TSampleEntry>* Entries() { return &m_entries; }

    TNotifyEvent OnClick;
    TEvent<void(TObject*, int)> OnValue;

    TComponent* ParentComponent() const { return m_parent; }
    void SetParentComponent(TComponent* parent) override { m_parent = parent; }
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
    void DeclareProperties(TPropertyDeclarations& declarations) override;
    void AfterRead() override {
        ++AfterReadCalls;
        BuddyAtAfterRead = m_buddy;
        LoadingAtAfterRead = HasState(csLoading);
    }

    int AfterReadCalls = 0;
    TComponent* BuddyAtAfterRead = nullptr;
    bool LoadingAtAfterRead = true;

private:
    int32_t m_count = 0;
    int32_t m_big = 0;
    TSampleShape m_shape = shNone;
    bool m_visible = true;
    uint32_t m_flags = 0;
    std::string m_caption;
    std::u16string m_title;
    TColor m_color = clWhite;
    int32_t m_charset = DEFAULT_CHARSET;
    TFont m_font;
    TComponent* m_buddy = nullptr;
    std::vector<uint8_t> m_data;
    TStringList m_lines;
    TOwnedCollection<TSampleEntry> m_entries;
    TComponent* m_parent = nullptr;
};

// Declares Shape again, with another default and its own setter.
class TSampleButton : public TSampleItem {
public:
    explicit TSampleButton(TComponent* owner) : TSampleItem(owner) { SetShape(shCircle); }
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    void SetKind(TSampleShape value) {
        SetShape(value);
        ++KindSets;
    }
    int KindSets = 0;
};

// A root whose methods events can name.
class TSampleForm : public TSampleItem {
public:
    using TSampleItem::TSampleItem;
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    void ItemClick(TObject* sender) { Clicks.push_back(sender); }
    void ValueChanged(TObject*, int value) { Values.push_back(value); }

    std::vector<TObject*> Clicks;
    std::vector<int> Values;
};

// Registers the creatable classes for nested records; UnregisterAllClasses undoes it.
void RegisterSampleClasses();

}  // namespace zaprelay::test
