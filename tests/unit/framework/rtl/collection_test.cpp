#include "framework/rtl/collection.h"

#include "framework/rtl/exceptions.h"
#include "tests/support/sample_component.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace zaprelay::test {
namespace {

// Records what Update hears.
class TWatchedEntries : public TOwnedCollection<TSampleEntry> {
public:
    using TOwnedCollection::TOwnedCollection;
    std::vector<TCollectionItem*> Updates;

protected:
    void Update(TCollectionItem* item) override { Updates.push_back(item); }
};

// An item that refuses to copy when told to.
class TPickyItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    static const TClassInfo& StaticClassInfo() {
        static const TClassInfo info = NewClassInfo<TPickyItem, TCollectionItem>("TPickyItem");
        return info;
    }
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override {
        const auto& other = dynamic_cast<const TPickyItem&>(source);
        if (other.Refuse) {
            throw EConvertError("refused");
        }
        Value = other.Value;
    }
    int Value = 0;
    bool Refuse = false;
};

std::vector<int> Sizes(const TOwnedCollection<TSampleEntry>& entries) {
    std::vector<int> sizes;
    for (int i = 0; i < entries.Count(); ++i) {
        sizes.push_back(entries.Items(i)->Size());
    }
    return sizes;
}

TEST(Collection, ItemsKnowTheirCollectionAndPlace) {
    TSampleItem owner(nullptr);
    TOwnedCollection<TSampleEntry> entries(&owner);
    EXPECT_EQ(entries.Owner(), &owner);
    EXPECT_EQ(&entries.ItemClass(), &TSampleEntry::StaticClassInfo());
    for (int size : {1, 2, 3}) {
        entries.Add()->SetSize(size);
    }
    entries.Insert(0)->SetSize(0);
    EXPECT_EQ(Sizes(entries), (std::vector<int>{0, 1, 2, 3}));
    TSampleEntry* two = entries.Items(2);
    EXPECT_EQ(two->Collection(), &entries);
    EXPECT_EQ(two->Index(), 2);
    EXPECT_EQ(two->DisplayName(), "TSampleEntry");

    two->SetIndex(0);
    EXPECT_EQ(Sizes(entries), (std::vector<int>{2, 0, 1, 3}));
    two->SetIndex(3);
    EXPECT_EQ(Sizes(entries), (std::vector<int>{0, 1, 3, 2}));
    EXPECT_THROW(two->SetIndex(4), EListError);
    entries.Delete(1);
    EXPECT_EQ(Sizes(entries), (std::vector<int>{0, 3, 2}));

    for (int bad : {-1, 3}) {
        EXPECT_THROW(entries.Items(bad), EListError);
        EXPECT_THROW(entries.Delete(bad), EListError);
    }
    EXPECT_THROW(entries.Insert(4), EListError);
    entries.Clear();
    EXPECT_EQ(entries.Count(), 0);
}

TEST(Collection, UpdateNamesTheChangedItemOrNoneAndWaitsForTheOutermostEnd) {
    TWatchedEntries entries;
    TSampleEntry* first = entries.Add();
    entries.Add();
    EXPECT_EQ(entries.Updates, (std::vector<TCollectionItem*>{nullptr, nullptr}));

    entries.Updates.clear();
    first->SetSize(5);
    EXPECT_EQ(entries.Updates, (std::vector<TCollectionItem*>{first}));

    entries.Updates.clear();
    entries.BeginUpdate();
    entries.BeginUpdate();
    first->SetSize(6);
    entries.Delete(1);
    entries.EndUpdate();
    EXPECT_TRUE(entries.Updates.empty());
    entries.EndUpdate();
    EXPECT_EQ(entries.Updates, (std::vector<TCollectionItem*>{nullptr}));

    entries.Updates.clear();
    entries.BeginUpdate();
    entries.EndUpdate();
    entries.EndUpdate();  // unmatched: ignored
    EXPECT_TRUE(entries.Updates.empty()) << "nothing changed";
    entries.Clear();
    entries.Clear();
    EXPECT_EQ(entries.Updates.size(), 1u) << "clearing an empty collection is no change";
}

TEST(Collection, CopyFromCopiesItemWiseInOneUpdate) {
    TOwnedCollection<TSampleEntry> source;
    source.Add()->SetSize(1);
    source.Add()->SetCaption(u"два");
    source.Items(1)->Notes()->Add(u"note");
    TWatchedEntries copy;
    copy.Add()->SetSize(99);
    copy.Updates.clear();
    copy.CopyFrom(source);
    EXPECT_EQ(copy.Updates, (std::vector<TCollectionItem*>{nullptr}));
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_EQ(copy.Items(0)->Size(), 1);
    EXPECT_EQ(copy.Items(1)->Caption(), u"два");
    EXPECT_EQ(copy.Items(1)->Notes()->Text(), u"note");
    EXPECT_EQ(copy.Items(1)->Collection(), &copy);

    copy.CopyFrom(copy);
    EXPECT_EQ(copy.Count(), 2) << "copying itself keeps the items";

    TOwnedCollection<TPickyItem> other;
    EXPECT_THROW(copy.CopyFrom(other), EConvertError) << "another item class";
    EXPECT_EQ(copy.Count(), 2);
}

TEST(Collection, ItemThatRefusesToCopyLeavesTheItemsAsTheyWere) {
    TOwnedCollection<TPickyItem> source;
    source.Add()->Value = 1;
    source.Add()->Refuse = true;
    TOwnedCollection<TPickyItem> target;
    target.Add()->Value = 7;
    EXPECT_THROW(target.CopyFrom(source), EConvertError);
    ASSERT_EQ(target.Count(), 1);
    EXPECT_EQ(target.Items(0)->Value, 7);
    EXPECT_FALSE(target.Updating());
}

TEST(Collection, FactoryMustMakeItemsOfTheItemClassForThisCollection) {
    TCollectionItemClass wrong{
        &TSampleEntry::StaticClassInfo(),
        [](TCollection& c) -> std::unique_ptr<TCollectionItem> { return std::make_unique<TPickyItem>(c); }};
    TCollection collection(wrong);
    EXPECT_THROW(collection.Add(), std::logic_error);
    EXPECT_EQ(collection.Count(), 0);
    EXPECT_THROW(TCollection(TCollectionItemClass{}), std::logic_error);
}

}  // namespace
}  // namespace zaprelay::test
