// Collections: ordered lists of items of one class that a persistent owns and streams as a
// property (a form's skins, a list view's columns). Each item streams its own published
// properties.
#pragma once

#include "framework/rtl/persistent.h"

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace zaprelay {

class TCollection;

// An item of a collection; the collection owns it. Its published properties are its own
// class's table.
class TCollectionItem : public TPersistent {
public:
    // Collection() is set from the start, but the item joins the list only once the
    // collection's Add or Insert has made it (Index() is -1 until then).
    explicit TCollectionItem(TCollection& collection) : m_collection(&collection) {}
    TCollectionItem(const TCollectionItem&) = delete;
    TCollectionItem& operator=(const TCollectionItem&) = delete;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    TCollection* Collection() const { return m_collection; }
    int Index() const;
    // Moves the item to index (0..Count()-1, else EListError), shifting the others.
    void SetIndex(int index);
    // The item as a list of items shows it; the class name unless a descendant knows better.
    virtual std::string DisplayName() const;

protected:
    // Tells the collection that this item's values changed; allItems when the change
    // concerns the other items too.
    void Changed(bool allItems = false);

private:
    TCollection* m_collection;
};

// Makes an item of one class for the given collection.
using TCollectionItemFactory = std::function<std::unique_ptr<TCollectionItem>(TCollection& collection)>;

struct TCollectionItemClass {
    const TClassInfo* Info = nullptr;
    TCollectionItemFactory Create;
};

template <typename TItem>
TCollectionItemClass CollectionItemClass() {
    static_assert(std::is_base_of_v<TCollectionItem, TItem>, "collections hold TCollectionItem descendants");
    return {&TItem::StaticClassInfo(), [](TCollection& collection) -> std::unique_ptr<TCollectionItem> {
                return std::make_unique<TItem>(collection);
            }};
}

class TCollection : public TPersistent {
public:
    // owner: the object whose property this collection is, if any (not owned).
    explicit TCollection(TCollectionItemClass itemClass, TPersistent* owner = nullptr);
    ~TCollection() override;
    TCollection(const TCollection&) = delete;
    TCollection& operator=(const TCollection&) = delete;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    const TClassInfo& ItemClass() const { return *m_itemClass.Info; }
    TPersistent* Owner() const { return m_owner; }

    int Count() const { return static_cast<int>(m_items.size()); }
    // index is 0..Count()-1, else EListError "List index out of bounds (index)".
    TCollectionItem* Items(int index) const;
    int IndexOf(const TCollectionItem* item) const;

    // A new item of the item class at the end / at index (0..Count(), else EListError).
    TCollectionItem* Add();
    TCollectionItem* Insert(int index);
    // Destroys the item at index (0..Count()-1, else EListError).
    void Delete(int index);
    // Destroys every item, last first.
    void Clear();
    void MoveItem(int from, int to);

    // Updates nest; while one is open, Update is held back and called once, with no item,
    // when the outermost one ends after a change. An EndUpdate without a BeginUpdate is
    // ignored.
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return m_updateCount > 0; }

    // From a collection of the same item class: its items' copies replace this one's items
    // (each made by the item class's CopyFrom). Others raise EConvertError. If an item
    // refuses to copy, this collection keeps its items.
    void CopyFrom(const TPersistent& source) override;

protected:
    // Called after each change while no update is open: item is the one item whose own
    // values changed, or none when items were added, removed or moved, or all changed.
    virtual void Update(TCollectionItem* item);

private:
    friend class TCollectionItem;

    void Changed(TCollectionItem* item);
    std::unique_ptr<TCollectionItem> MakeItem();
    [[noreturn]] static void IndexError(int index);

    TCollectionItemClass m_itemClass;
    TPersistent* m_owner;
    std::vector<std::unique_ptr<TCollectionItem>> m_items;
    int m_updateCount = 0;
    bool m_changedWhileUpdating = false;
};

// A collection of TItem with typed access.
template <typename TItem>
class TOwnedCollection : public TCollection {
public:
    explicit TOwnedCollection(TPersistent* owner = nullptr) : TCollection(CollectionItemClass<TItem>(), owner) {}

    TItem* Items(int index) const { return static_cast<TItem*>(TCollection::Items(index)); }
    TItem* Add() { return static_cast<TItem*>(TCollection::Add()); }
    TItem* Insert(int index) { return static_cast<TItem*>(TCollection::Insert(index)); }
};

}  // namespace zaprelay
