// Push button captions as the button draws them: wrapped at the button's width in its own
// font, centred, whole (no line or letter lost) whether enabled or not, and the button's
// roles that the drawing must not change (default frame, double clicks).
#include "framework/win32/font_cache.h"
#include "framework/win32/gdi_handles.h"
#include "tests/win32/demo/demo_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace zaprelay::test {
namespace {

using win32::TBitmapHandle;
using win32::TMemoryDC;
using win32::TSelectObject;
using win32::TWindowDC;

const std::u16string kDeleteCaption = u"Delete DCD Code Selected Command Удалить код выбранной команды";
const std::u16string kPluginCaption = u"DCD PlugIn settings Настройка Плагина";

// A picture taken from a painting function.
class TSnapshot {
public:
    TSnapshot(int width, int height, const std::function<void(HDC)>& paint) : m_width(width), m_height(height) {
        TWindowDC screen(nullptr);
        TMemoryDC dc(CreateCompatibleDC(screen.Get()));
        TBitmapHandle bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
        TSelectObject selected(dc.Get(), bitmap.Get());
        paint(dc.Get());
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                m_pixels.push_back(GetPixel(dc.Get(), x, y));
            }
        }
    }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    COLORREF At(int x, int y) const { return m_pixels[static_cast<std::size_t>(y * m_width + x)]; }

private:
    int m_width;
    int m_height;
    std::vector<COLORREF> m_pixels;
};

// A window's client area as the window paints it.
TSnapshot Shoot(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return TSnapshot(r.right, r.bottom, [&](HDC dc) {
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    });
}

int Brightness(COLORREF c) {
    return (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3;
}

// Clearly darker than the button face (an embossed caption's light shadow does not count).
bool IsInk(COLORREF c) {
    return Brightness(c) < Brightness(GetSysColor(COLOR_BTNFACE)) - 40;
}

// Where the caption's letters are.
struct TInk {
    int Count = 0;
    int Left = 1 << 20, Top = 1 << 20, Right = -1, Bottom = -1;
    std::vector<std::pair<int, int>> Lines;  // first and last row of each band of rows with ink
};

TInk FindInk(const TSnapshot& shot, RECT within) {
    TInk ink;
    for (int y = within.top; y < within.bottom; ++y) {
        bool row = false;
        for (int x = within.left; x < within.right; ++x) {
            if (IsInk(shot.At(x, y))) {
                row = true;
                ++ink.Count;
                ink.Left = std::min(ink.Left, x);
                ink.Right = std::max(ink.Right, x);
                ink.Top = std::min(ink.Top, y);
                ink.Bottom = std::max(ink.Bottom, y);
            }
        }
        if (row && (ink.Lines.empty() || ink.Lines.back().second != y - 1)) {
            ink.Lines.emplace_back(y, y);
        } else if (row) {
            ink.Lines.back().second = y;
        }
    }
    return ink;
}

// The ink of the caption written on one line in the same font and colour, with room to spare.
int ReferenceInk(const TFontData& font, const std::u16string& caption, int colourIndex) {
    TSnapshot line(600, 40, [&](HDC dc) {
        TSelectObject chosen(dc, win32::CachedFont(font));
        RECT r{0, 0, 600, 40};
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(colourIndex));
        InflateRect(&r, -10, -10);
        DrawTextW(dc, WidePtr(caption), -1, &r, DT_SINGLELINE | DT_NOPREFIX);
    });
    return FindInk(line, {0, 0, 600, 40}).Count;
}

class ButtonCaptionTest : public DemoFormTest {
protected:
    // A button on the demo form with the main window's caption font (bold when asked).
    TButton* AddButton(const std::u16string& caption, int width, int height, bool wordWrap, bool bold) {
        auto* button = new TButton(form);
        button->SetParent(form);
        button->SetBounds(8, 8, width, height);
        button->SetCaption(caption);
        button->Font()->SetName("MS Sans Serif");
        button->Font()->SetHeight(-11);
        button->Font()->SetCharset(DEFAULT_CHARSET);
        button->Font()->SetStyle(bold ? FontStyleBit(fsBold) : 0);
        button->SetWordWrap(wordWrap);
        return button;
    }

    // Checks that the whole caption shows in the given number of lines, centred and clear
    // of the button's edges, enabled and disabled.
    void ExpectWholeCaption(TButton* button, std::size_t lines) {
        ShowActive();
        for (bool enabled : {true, false}) {
            SCOPED_TRACE(enabled ? "enabled" : "disabled");
            button->SetEnabled(enabled);
            TSnapshot shot = Shoot(button->WindowHandle());
            TInk ink = FindInk(shot, {2, 2, shot.Width() - 2, shot.Height() - 2});
            ASSERT_EQ(ink.Lines.size(), lines);
            // Clear of the raised edge: nothing cut at the button's border.
            EXPECT_GT(ink.Top, 2);
            EXPECT_LT(ink.Bottom, shot.Height() - 3);
            // Centred: fonts leave some blank after the last letter, so the letters sit a few
            // pixels left of the middle, far from the edge a left-aligned caption would hug.
            EXPECT_LE(std::abs(ink.Left - (shot.Width() - 1 - ink.Right)), 12);
            // Every letter is there: as much ink as the caption written on one line.
            int reference =
                ReferenceInk(button->Font()->Data(), button->Caption(), enabled ? COLOR_BTNTEXT : COLOR_BTNSHADOW);
            EXPECT_NEAR(ink.Count, reference, reference / 20 + 1);
        }
    }
};

TEST_F(ButtonCaptionTest, LongWrappedCaptionShowsWholeOnTwoLines) {
    ExpectWholeCaption(AddButton(kDeleteCaption, 257, 41, true, true), 2);
}

TEST_F(ButtonCaptionTest, ShortWrappedCaptionShowsWholeInALowButton) {
    ExpectWholeCaption(AddButton(kPluginCaption, 177, 33, true, true), 2);
}

TEST_F(ButtonCaptionTest, ShortCaptionShowsEveryDot) {
    TButton* button = AddButton(u"...", 27, 25, false, false);
    ExpectWholeCaption(button, 1);
    // Three dots, three separate marks, enabled or not.
    for (bool enabled : {true, false}) {
        button->SetEnabled(enabled);
        TSnapshot shot = Shoot(button->WindowHandle());
        int marks = 0;
        bool inMark = false;
        for (int x = 2; x < shot.Width() - 2; ++x) {
            bool dark = false;
            for (int y = 2; y < shot.Height() - 2; ++y) {
                dark = dark || IsInk(shot.At(x, y));
            }
            marks += dark && !inMark ? 1 : 0;
            inMark = dark;
        }
        EXPECT_EQ(marks, 3) << (enabled ? "enabled" : "disabled");
    }
}

TEST_F(ButtonCaptionTest, PressedCaptionSinksByOnePixel) {
    TButton* button = AddButton(u"OK", 75, 25, false, false);
    ShowActive();
    RECT inside{2, 2, 73, 23};
    TInk up = FindInk(Shoot(button->WindowHandle()), inside);
    SendMessageW(button->WindowHandle(), BM_SETSTATE, TRUE, 0);
    TInk down = FindInk(Shoot(button->WindowHandle()), inside);
    SendMessageW(button->WindowHandle(), BM_SETSTATE, FALSE, 0);
    EXPECT_EQ(down.Left, up.Left + 1);
    EXPECT_EQ(down.Top, up.Top + 1);
}

using ButtonRoleTest = DemoFormTest;

TEST_F(ButtonRoleTest, DefaultButtonIsFramedAndSaysSoToTheSystem) {
    ShowActive();
    HWND ok = form->OkButton->WindowHandle();
    auto role = [ok] { return SendMessageW(ok, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON); };
    COLORREF frame = GetSysColor(COLOR_WINDOWFRAME);
    EXPECT_EQ(role(), DLGC_DEFPUSHBUTTON);
    EXPECT_EQ(Shoot(ok).At(10, 0), frame);
    // Another window asking for a plain push button gets the drawn button without the frame.
    SendMessageW(ok, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_EQ(role(), DLGC_UNDEFPUSHBUTTON);
    EXPECT_NE(Shoot(ok).At(10, 0), frame);
    EXPECT_EQ(GetWindowLongW(ok, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
}

TEST_F(ButtonRoleTest, DoubleClickClicksTwice) {
    ShowActive();
    HWND cancel = form->CancelButton->WindowHandle();
    LPARAM spot = MAKELPARAM(10, 10);
    for (UINT press : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}) {
        SendMessageW(cancel, press, MK_LBUTTON, spot);
        SendMessageW(cancel, WM_LBUTTONUP, 0, spot);
    }
    EXPECT_EQ(std::count(form->Events.begin(), form->Events.end(), "click CancelButton"), 2);
}

}  // namespace
}  // namespace zaprelay::test
