// Lists of text lines: TStrings, the interface that list boxes, memos and layouts share, and
// TStringList, the one that keeps its lines in memory.
#pragma once

#include "framework/rtl/persistent.h"

#include <string>
#include <string_view>
#include <vector>

namespace zaprelay {

// Lines of UTF-16 text (list rows and memo lines are read by people, so they stay wide).
// A descendant keeps the lines where it likes (in memory, in a window) and implements the
// six virtual operations; everything else is built on them. Publishes one property,
// Strings, so an owner that publishes a TStrings sub-object "Items" streams it as
// "Items.Strings": a list of strings, written only when there are lines.
class TStrings : public TPersistent {
public:
    TStrings() = default;
    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    virtual int Count() const = 0;
    // index is 0..Count()-1, else EListError "List index out of bounds (index)".
    virtual std::u16string Get(int index) const = 0;
    virtual void Put(int index, const std::u16string& text) = 0;
    // index is 0..Count() (Count() appends), else EListError.
    virtual void Insert(int index, const std::u16string& text) = 0;
    // index is 0..Count()-1, else EListError.
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    // Appends a line; returns its index.
    int Add(const std::u16string& text);
    // The first line equal to text (letter case counts); -1 when none.
    int IndexOf(std::u16string_view text) const;
    bool Equals(const TStrings& other) const;

    // The lines joined by CR LF, with none after the last.
    std::u16string Text() const;
    // Replaces the lines by text split at CR LF, LF or CR: an empty text is no lines, and a
    // line end at the very end leaves an empty last line (so Text() gives text back).
    void SetText(std::u16string_view text);
    // Appends the lines of source (which may be this list) inside one update.
    void AddStrings(const TStrings& source);

    // Updates nest; SetUpdateState hears only the outermost begin and end. An EndUpdate
    // without a BeginUpdate is ignored.
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return m_updateCount > 0; }

    // From any TStrings: clears, then adds every line of source, inside one update.
    void CopyFrom(const TPersistent& source) override;

protected:
    // True as the outermost update begins, false as it ends: a list shown in a window stops
    // and restarts drawing here; TStringList sends its deferred change.
    virtual void SetUpdateState(bool updating);

    [[noreturn]] static void IndexError(int index);

private:
    int m_updateCount = 0;
};

class TStringList : public TStrings {
public:
    TStringList() = default;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    int Count() const override { return static_cast<int>(m_lines.size()); }
    std::u16string Get(int index) const override;
    void Put(int index, const std::u16string& text) override;
    void Insert(int index, const std::u16string& text) override;
    void Delete(int index) override;
    void Clear() override;

    const std::vector<std::u16string>& Lines() const { return m_lines; }

    // After each change, with this list as the sender; during an update, once at its end
    // and only when something changed. Storing an equal line or clearing an empty list is
    // no change.
    TNotifyEvent OnChange;

protected:
    void SetUpdateState(bool updating) override;

private:
    void Changed();

    std::vector<std::u16string> m_lines;
    bool m_changedWhileUpdating = false;
};

}  // namespace zaprelay
