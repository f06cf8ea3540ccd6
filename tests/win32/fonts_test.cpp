// The fonts the skin library asks for by name resolve to themselves in the Wine prefix,
// not to a fallback: layouts use "MS Sans Serif", "Tahoma" and "Arial", and caption
// buttons draw their symbols with "Marlett".
#include "tests/win32/test_support.h"

#include <gtest/gtest.h>
#include <string>

namespace zaprelay::test {
namespace {

std::wstring ResolvedFace(const wchar_t* face, BYTE charset) {
    HDC dc = GetDC(nullptr);
    HFONT font = CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH, face);
    HGDIOBJ old = SelectObject(dc, font);
    wchar_t name[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, name);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    return name;
}

TEST(Fonts, NamedFacesResolveToThemselves) {
    EXPECT_EQ(ResolvedFace(L"MS Sans Serif", DEFAULT_CHARSET), L"MS Sans Serif");
    EXPECT_EQ(ResolvedFace(L"Tahoma", DEFAULT_CHARSET), L"Tahoma");
    EXPECT_EQ(ResolvedFace(L"Arial", DEFAULT_CHARSET), L"Arial");
    EXPECT_EQ(ResolvedFace(L"Marlett", SYMBOL_CHARSET), L"Marlett");
}

}  // namespace
}  // namespace zaprelay::test
