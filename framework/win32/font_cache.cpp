#include "framework/win32/font_cache.h"

#include "framework/win32/gdi_handles.h"

#include <cwchar>
#include <string>
#include <utility>
#include <vector>

namespace zaprelay::win32 {
namespace {

// Few distinct fonts exist in a program, so a list searched from the front is enough.
std::vector<std::pair<TFontData, TFontHandle>>& Cache() {
    static std::vector<std::pair<TFontData, TFontHandle>> cache;
    return cache;
}

// The face the system chose for a font, and whether it is a TrueType one.
std::wstring ChosenFace(HFONT font, bool& trueType) {
    TWindowDC screen(nullptr);
    TSelectObject selected(screen.Get(), font);
    TEXTMETRICW metrics{};
    trueType = GetTextMetricsW(screen.Get(), &metrics) && (metrics.tmPitchAndFamily & TMPF_TRUETYPE) != 0;
    wchar_t name[LF_FACESIZE] = {};
    GetTextFaceW(screen.Get(), LF_FACESIZE, name);
    return name;
}

TFontHandle MakeFont(const TFontData& font) {
    LOGFONTW log{};
    log.lfHeight = font.Height;
    log.lfWeight = (font.Style & FontStyleBit(fsBold)) ? FW_BOLD : FW_NORMAL;
    log.lfItalic = (font.Style & FontStyleBit(fsItalic)) ? TRUE : FALSE;
    log.lfUnderline = (font.Style & FontStyleBit(fsUnderline)) ? TRUE : FALSE;
    log.lfStrikeOut = (font.Style & FontStyleBit(fsStrikeOut)) ? TRUE : FALSE;
    log.lfCharSet = font.Charset;
    log.lfPitchAndFamily = font.Pitch == fpFixed      ? FIXED_PITCH
                           : font.Pitch == fpVariable ? VARIABLE_PITCH
                                                      : DEFAULT_PITCH;
    MultiByteToWideChar(CP_ACP, 0, font.Name.c_str(), -1, log.lfFaceName, LF_FACESIZE - 1);
    TFontHandle made(CreateFontIndirectW(&log));
    if (font.Charset != DEFAULT_CHARSET) {
        return made;
    }
    bool trueType = false;
    ChosenFace(made.Get(), trueType);
    if (trueType) {
        return made;
    }
    // A raster font ("MS Sans Serif") holds the letters of one code page only, and the
    // captions mix Latin and Cyrillic whatever the system's code page is: the system's
    // TrueType dialog fonts have both.
    for (const wchar_t* face : {L"Microsoft Sans Serif", L"Tahoma"}) {
        LOGFONTW other = log;
        wcsncpy(other.lfFaceName, face, LF_FACESIZE - 1);
        TFontHandle candidate(CreateFontIndirectW(&other));
        if (ChosenFace(candidate.Get(), trueType) == face && trueType) {
            return candidate;
        }
    }
    return made;
}

}  // namespace

HFONT CachedFont(const TFontData& data) {
    for (const auto& [font, handle] : Cache()) {
        if (font == data) {
            return handle.Get();
        }
    }
    Cache().emplace_back(data, MakeFont(data));
    return Cache().back().second.Get();
}

std::size_t CachedFontCount() {
    return Cache().size();
}

}  // namespace zaprelay::win32
