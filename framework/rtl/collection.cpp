#include "framework/rtl/collection.h"

#include "framework/rtl/exceptions.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace zaprelay {

// ---------------------------------------------------------------- TCollectionItem

const TClassInfo& TCollectionItem::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TCollectionItem, TPersistent>("TCollectionItem");
    return info;
}

int TCollectionItem::Index() const {
    return m_collection->IndexOf(this);
}

void TCollectionItem::SetIndex(int index) {
    int current = Index();
    if (current >= 0) {
        m_collection->MoveItem(current, index);
    }
}

std::string TCollectionItem::DisplayName() const {
    return ClassName();
}

void TCollectionItem::Changed(bool allItems) {
    if (Index() >= 0) {
        m_collection->Changed(allItems ? nullptr : this);
    }
}

// ---------------------------------------------------------------- TCollection

const TClassInfo& TCollection::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TCollection, TPersistent>("TCollection");
    return info;
}

TCollection::TCollection(TCollectionItemClass itemClass, TPersistent* owner)
    : m_itemClass(std::move(itemClass)), m_owner(owner) {
    if (m_itemClass.Info == nullptr || !m_itemClass.Create) {
        throw std::logic_error("TCollection needs an item class and its factory");
    }
}

TCollection::~TCollection() {
    while (!m_items.empty()) {
        std::unique_ptr<TCollectionItem> last = std::move(m_items.back());
        m_items.pop_back();
    }
}

void TCollection::IndexError(int index) {
    throw EListError(Format(msg::kListIndexError, {std::to_string(index)}));
}

TCollectionItem* TCollection::Items(int index) const {
    if (index < 0 || index >= Count()) {
        IndexError(index);
    }
    return m_items[static_cast<std::size_t>(index)].get();
}

int TCollection::IndexOf(const TCollectionItem* item) const {
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].get() == item) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::unique_ptr<TCollectionItem> TCollection::MakeItem() {
    std::unique_ptr<TCollectionItem> item = m_itemClass.Create(*this);
    // Anything else would be streamed and copied through another class's table.
    if (item == nullptr || item->Collection() != this || &item->ClassInfo() != m_itemClass.Info) {
        throw std::logic_error("the item factory of a " + m_itemClass.Info->Name() + " collection made another item");
    }
    return item;
}

TCollectionItem* TCollection::Add() {
    return Insert(Count());
}

TCollectionItem* TCollection::Insert(int index) {
    if (index < 0 || index > Count()) {
        IndexError(index);
    }
    std::unique_ptr<TCollectionItem> item = MakeItem();
    TCollectionItem* added = item.get();
    m_items.insert(m_items.begin() + index, std::move(item));
    Changed(nullptr);
    return added;
}

void TCollection::Delete(int index) {
    if (index < 0 || index >= Count()) {
        IndexError(index);
    }
    // Out of the list before it goes, so that the item never sees itself half removed.
    std::unique_ptr<TCollectionItem> item = std::move(m_items[static_cast<std::size_t>(index)]);
    m_items.erase(m_items.begin() + index);
    item.reset();
    Changed(nullptr);
}

void TCollection::Clear() {
    if (m_items.empty()) {
        return;
    }
    while (!m_items.empty()) {
        std::unique_ptr<TCollectionItem> last = std::move(m_items.back());
        m_items.pop_back();
    }
    Changed(nullptr);
}

void TCollection::MoveItem(int from, int to) {
    if (from < 0 || from >= Count()) {
        IndexError(from);
    }
    if (to < 0 || to >= Count()) {
        IndexError(to);
    }
    if (from == to) {
        return;
    }
    auto first = m_items.begin();
    if (from < to) {
        std::rotate(first + from, first + from + 1, first + to + 1);
    } else {
        std::rotate(first + to, first + from, first + from + 1);
    }
    Changed(nullptr);
}

void TCollection::BeginUpdate() {
    ++m_updateCount;
}

void TCollection::EndUpdate() {
    if (m_updateCount > 0 && --m_updateCount == 0 && m_changedWhileUpdating) {
        m_changedWhileUpdating = false;
        Update(nullptr);
    }
}

void TCollection::Changed(TCollectionItem* item) {
    if (Updating()) {
        m_changedWhileUpdating = true;
    } else {
        Update(item);
    }
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::CopyFrom(const TPersistent& source) {
    const auto* other = dynamic_cast<const TCollection*>(&source);
    if (other == nullptr || other->m_itemClass.Info != m_itemClass.Info) {
        TPersistent::CopyFrom(source);
        return;
    }
    if (other == this) {
        return;
    }
    // The copies are made aside first: an item that refuses leaves this collection as it was.
    std::vector<std::unique_ptr<TCollectionItem>> copies;
    copies.reserve(other->m_items.size());
    for (const auto& item : other->m_items) {
        copies.push_back(MakeItem());
        copies.back()->CopyFrom(*item);
    }
    WithinUpdate(*this, [&] {
        Clear();
        m_items = std::move(copies);
        Changed(nullptr);
    });
}

}  // namespace zaprelay
