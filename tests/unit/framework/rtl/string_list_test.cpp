#include "framework/rtl/string_list.h"

#include "framework/rtl/exceptions.h"
#include "framework/rtl/font.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zaprelay {
namespace {

std::vector<std::u16string> LinesOf(const TStringList& list) {
    return list.Lines();
}

// Lines kept elsewhere, as a list box keeps its rows in its window: records the calls the
// shared operations make, and can be told to fail.
class TRecordingStrings : public TStrings {
public:
    int Count() const override { return static_cast<int>(m_rows.size()); }
    std::u16string Get(int index) const override {
        if (index < 0 || index >= Count()) {
            IndexError(index);
        }
        return m_rows[static_cast<std::size_t>(index)];
    }
    void Put(int index, const std::u16string& text) override { m_rows.at(static_cast<std::size_t>(index)) = text; }
    void Insert(int index, const std::u16string& text) override {
        if (!FailOn.empty() && FailOn == text) {
            throw std::runtime_error("refused");
        }
        m_rows.insert(m_rows.begin() + index, text);
        Calls.push_back("insert");
    }
    void Delete(int index) override { m_rows.erase(m_rows.begin() + index); }
    void Clear() override {
        m_rows.clear();
        Calls.push_back("clear");
    }

    std::vector<std::string> Calls;
    std::u16string_view FailOn;

protected:
    void SetUpdateState(bool updating) override { Calls.push_back(updating ? "begin" : "end"); }

private:
    std::vector<std::u16string> m_rows;
};

TEST(StringList, EditsByIndexAndRefusesIndexesOutside) {
    TStringList list;
    EXPECT_EQ(list.Add(u"b"), 0);
    EXPECT_EQ(list.Add(u"d"), 1);
    list.Insert(0, u"a");
    list.Insert(2, u"c");
    list.Insert(4, u"e");
    EXPECT_EQ(LinesOf(list), (std::vector<std::u16string>{u"a", u"b", u"c", u"d", u"e"}));
    list.Put(4, u"E");
    list.Delete(0);
    EXPECT_EQ(list.Get(3), u"E");
    EXPECT_EQ(list.IndexOf(u"E"), 3);
    EXPECT_EQ(list.IndexOf(u"e"), -1) << "letter case counts";
    EXPECT_EQ(list.IndexOf(u"zz"), -1);

    for (int bad : {-1, 4}) {
        EXPECT_THROW(list.Get(bad), EListError);
        EXPECT_THROW(list.Put(bad, u"x"), EListError);
        EXPECT_THROW(list.Delete(bad), EListError);
    }
    EXPECT_THROW(list.Insert(5, u"x"), EListError);
    try {
        list.Get(7);
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (7)");
    }
    EXPECT_EQ(list.Count(), 4);
}

TEST(StringList, TextJoinsByCrLfAndSplitsAtAnyLineEnd) {
    TStringList list;
    list.SetText(u"a\r\nb\nc\rd");
    EXPECT_EQ(LinesOf(list), (std::vector<std::u16string>{u"a", u"b", u"c", u"d"}));
    EXPECT_EQ(list.Text(), u"a\r\nb\r\nc\r\nd");
    list.SetText(u"\n\r\n\r");
    EXPECT_EQ(LinesOf(list), (std::vector<std::u16string>(4, u"")));
    list.SetText(u"");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Text(), u"");

    // Whatever the lines (but a single empty one), Text reads back to the same lines.
    const std::vector<std::vector<std::u16string>> cases = {
        {u"x"}, {u"x", u""}, {u"", u"x"}, {u"", u""}, {u"Строка", u"", u"три"}};
    for (const auto& lines : cases) {
        TStringList source;
        for (const auto& line : lines) {
            source.Add(line);
        }
        TStringList back;
        back.SetText(source.Text());
        EXPECT_TRUE(back.Equals(source)) << lines.size() << " lines";
    }
}

TEST(StringList, OnChangeFollowsEachChangeOrEachUpdateThatChanged) {
    TStringList list;
    std::vector<TObject*> senders;
    list.OnChange = [&senders](TObject* sender) { senders.push_back(sender); };
    list.Add(u"a");
    list.Put(0, u"b");
    list.Put(0, u"b");  // the same text: no change
    list.Delete(0);
    list.Clear();  // already empty
    EXPECT_EQ(senders, (std::vector<TObject*>{&list, &list, &list}));

    senders.clear();
    list.BeginUpdate();
    list.BeginUpdate();
    list.Add(u"x");
    list.Add(u"y");
    list.EndUpdate();
    EXPECT_TRUE(senders.empty()) << "the outer update is still open";
    list.EndUpdate();
    EXPECT_EQ(senders.size(), 1u);

    list.BeginUpdate();
    list.Put(0, u"x");
    list.EndUpdate();
    list.EndUpdate();  // unmatched: ignored
    EXPECT_EQ(senders.size(), 1u) << "an update without a change sends nothing";
    EXPECT_FALSE(list.Updating());

    list.SetText(u"1\r\n2\r\n3");
    list.AddStrings(list);
    EXPECT_EQ(senders.size(), 3u) << "one change per call";
}

TEST(StringList, SharedOperationsRunInsideOneUpdateOfTheDescendant) {
    TRecordingStrings rows;
    rows.SetText(u"a\nb");
    EXPECT_EQ(rows.Calls, (std::vector<std::string>{"begin", "clear", "insert", "insert", "end"}));

    TStringList source;
    source.SetText(u"x\ny\nz");
    rows.Calls.clear();
    rows.CopyFrom(source);
    EXPECT_EQ(rows.Calls, (std::vector<std::string>{"begin", "clear", "insert", "insert", "insert", "end"}));
    EXPECT_TRUE(rows.Equals(source));

    TStringList back;
    back.CopyFrom(rows);
    EXPECT_EQ(back.Text(), u"x\r\ny\r\nz") << "from any TStrings";

    // An error part-way still ends the update.
    rows.Calls.clear();
    rows.FailOn = u"y";
    EXPECT_THROW(rows.AddStrings(source), std::runtime_error);
    EXPECT_FALSE(rows.Updating());
    EXPECT_EQ(rows.Calls.back(), "end");
}

TEST(StringList, CopyFromItselfKeepsTheLinesAndOtherClassesAreRefused) {
    TStringList list;
    list.SetText(u"one\ntwo");
    list.CopyFrom(list);
    EXPECT_EQ(list.Text(), u"one\r\ntwo");
    list.AddStrings(list);
    EXPECT_EQ(list.Count(), 4) << "added once";
    TFont font;
    EXPECT_THROW(list.CopyFrom(font), EConvertError);
    EXPECT_THROW(font.CopyFrom(list), EConvertError);
    EXPECT_EQ(list.Count(), 4);
}

}  // namespace
}  // namespace zaprelay
