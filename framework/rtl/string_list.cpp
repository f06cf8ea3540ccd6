#include "framework/rtl/string_list.h"

#include "framework/rtl/exceptions.h"

namespace zaprelay {

const TClassInfo& TStrings::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TStrings, TPersistent>("TStrings");
        TClassBuilder<TStrings>(i).Strings("Strings", [](TStrings& self) { return &self; });
        return i;
    }();
    return info;
}

void TStrings::IndexError(int index) {
    throw EListError(Format(msg::kListIndexError, {std::to_string(index)}));
}

int TStrings::Add(const std::u16string& text) {
    int index = Count();
    Insert(index, text);
    return index;
}

int TStrings::IndexOf(std::u16string_view text) const {
    for (int i = 0, count = Count(); i < count; ++i) {
        if (Get(i) == text) {
            return i;
        }
    }
    return -1;
}

bool TStrings::Equals(const TStrings& other) const {
    if (Count() != other.Count()) {
        return false;
    }
    for (int i = 0, count = Count(); i < count; ++i) {
        if (Get(i) != other.Get(i)) {
            return false;
        }
    }
    return true;
}

std::u16string TStrings::Text() const {
    std::u16string text;
    for (int i = 0, count = Count(); i < count; ++i) {
        if (i > 0) {
            text += u"\r\n";
        }
        text += Get(i);
    }
    return text;
}

void TStrings::SetText(std::u16string_view text) {
    WithinUpdate(*this, [&] {
        Clear();
        if (text.empty()) {
            return;
        }
        std::size_t start = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] != u'\r' && text[i] != u'\n') {
                continue;
            }
            Add(std::u16string(text.substr(start, i - start)));
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
            start = i + 1;
        }
        Add(std::u16string(text.substr(start)));
    });
}

void TStrings::AddStrings(const TStrings& source) {
    // Counted first, so that adding a list to itself doubles it once.
    const int count = source.Count();
    WithinUpdate(*this, [&] {
        for (int i = 0; i < count; ++i) {
            Add(source.Get(i));
        }
    });
}

void TStrings::BeginUpdate() {
    if (m_updateCount++ == 0) {
        SetUpdateState(true);
    }
}

void TStrings::EndUpdate() {
    if (m_updateCount > 0 && --m_updateCount == 0) {
        SetUpdateState(false);
    }
}

void TStrings::SetUpdateState(bool) {}

void TStrings::CopyFrom(const TPersistent& source) {
    const auto* lines = dynamic_cast<const TStrings*>(&source);
    if (lines == nullptr) {
        TPersistent::CopyFrom(source);
        return;
    }
    if (lines == this) {
        return;  // clearing first would lose the lines
    }
    WithinUpdate(*this, [&] {
        Clear();
        AddStrings(*lines);
    });
}

// ---------------------------------------------------------------- TStringList

const TClassInfo& TStringList::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TStringList, TStrings>("TStringList");
    return info;
}

std::u16string TStringList::Get(int index) const {
    if (index < 0 || index >= Count()) {
        IndexError(index);
    }
    return m_lines[static_cast<std::size_t>(index)];
}

void TStringList::Put(int index, const std::u16string& text) {
    if (index < 0 || index >= Count()) {
        IndexError(index);
    }
    std::u16string& line = m_lines[static_cast<std::size_t>(index)];
    if (line != text) {
        line = text;
        Changed();
    }
}

void TStringList::Insert(int index, const std::u16string& text) {
    if (index < 0 || index > Count()) {
        IndexError(index);
    }
    m_lines.insert(m_lines.begin() + index, text);
    Changed();
}

void TStringList::Delete(int index) {
    if (index < 0 || index >= Count()) {
        IndexError(index);
    }
    m_lines.erase(m_lines.begin() + index);
    Changed();
}

void TStringList::Clear() {
    if (!m_lines.empty()) {
        m_lines.clear();
        Changed();
    }
}

void TStringList::SetUpdateState(bool updating) {
    if (!updating && m_changedWhileUpdating) {
        m_changedWhileUpdating = false;
        if (OnChange) {
            OnChange(this);
        }
    }
}

void TStringList::Changed() {
    if (Updating()) {
        m_changedWhileUpdating = true;
    } else if (OnChange) {
        OnChange(this);
    }
}

}  // namespace zaprelay
