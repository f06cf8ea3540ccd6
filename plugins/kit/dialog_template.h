// Dialogs built in code: a plug-in DLL carries no resource script.
#pragma once

#include "framework/win32/platform.h"

#include <string>
#include <string_view>
#include <vector>

namespace zaprelay::dcd {

// Text for the wide calls from the plug-ins' own texts (names, codes, numbers), which are ASCII.
inline std::wstring Widen(std::string_view ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// Text in the system's ANSI code page (settings files, paths in messages) and back.
inline std::wstring WideFromAnsi(std::string_view text) {
    std::wstring wide(text.size(), L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                           static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return wide;
}

inline std::string AnsiFromWide(std::wstring_view text) {
    const int length =
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string ansi(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.data(), length, nullptr, nullptr);
    return ansi;
}

// A dialog template in memory: the header, then one item per control, each on a 4-byte
// boundary, texts as zero-terminated UTF-16.
class TDialogTemplate {
public:
    enum TControlClass : WORD { kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082 };

    TDialogTemplate(const wchar_t* title, DWORD style, short width, short height, const wchar_t* font, WORD points) {
        Dword(style);
        Dword(0);  // extended style
        m_countAt = m_words.size();
        Word(0);  // controls, filled in as they are added
        Word(0);
        Word(0);
        Word(static_cast<WORD>(width));
        Word(static_cast<WORD>(height));
        Word(0);  // no menu
        Word(0);  // the standard dialog class
        Text(title);
        Word(points);
        Text(font);
    }

    void Add(TControlClass kind, const std::wstring& text, int id, DWORD style, short x, short y, short cx, short cy) {
        if (m_words.size() % 2 != 0) {
            Word(0);
        }
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        for (short value : {x, y, cx, cy}) {
            Word(static_cast<WORD>(value));
        }
        Word(static_cast<WORD>(id));
        Word(0xFFFF);
        Word(kind);
        Text(text.c_str());
        Word(0);  // no creation data
        ++m_words[m_countAt];
    }

    // The row of buttons at the foot of a settings dialog: Defaults at the left, OK and Cancel
    // at the right.
    void AddFooterButtons(short dialogWidth, short top, int defaultsId) {
        Add(kButton, L"&Defaults", defaultsId, BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 7, top, 50, 14);
        AddOkCancel(dialogWidth, top);
    }

    // OK and Cancel at the right of a dialog's foot.
    void AddOkCancel(short dialogWidth, short top) {
        Add(kButton, L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, static_cast<short>(dialogWidth - 111), top,
            50, 14);
        Add(kButton, L"Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, static_cast<short>(dialogWidth - 57), top, 50,
            14);
    }

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    void Word(WORD value) { m_words.push_back(value); }
    void Dword(DWORD value) {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Text(const wchar_t* text) {
        for (; *text != L'\0'; ++text) {
            Word(static_cast<WORD>(*text));
        }
        Word(0);
    }

    std::vector<WORD> m_words;  // new'd storage: aligned for the template's DWORDs
    std::size_t m_countAt = 0;
};

}  // namespace zaprelay::dcd
