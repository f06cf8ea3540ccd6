// The default frame look on pixels: each case paints a window-sized top-down 32-bit DIB with
// the client area excluded, as the form component does, and reads the result back.
#include "skin/form/default_frame_painter.h"

#include "framework/win32/dib_storage.h"
#include "framework/win32/gdi_handles.h"
#include "skin/form/caption_fonts.h"
#include "skin/form/frame_metrics.h"
#include "skin/form/window_theme.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace zaprelay::skin {
namespace {

constexpr TPoint kFormSize{520, 700};
// What the painter found before it painted: any pixel still this was left alone.
constexpr uint32_t kUntouched = 0x00010203;
constexpr TVxBorderIcons kMainWindowIcons = BorderIconSet({kbiClose, kbiTray});
constexpr TVxBorderIcons kAllIcons =
    BorderIconSet({kbiClose, kbiSystemMenu, kbiMinimize, kbiMaximize, kbiHelp, kbiRollup, kbiTray});

uint32_t PixelOf(COLORREF color) {
    return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

class TFrameSurface {
public:
    explicit TFrameSurface(TPoint size = kFormSize) : m_size(size) {
        BITMAPINFO info = win32::TopDownDibInfo(size.X, size.Y);
        m_bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &m_bits, nullptr, 0));
        m_dc.Reset(CreateCompatibleDC(nullptr));
        m_old = SelectObject(m_dc.Get(), m_bitmap.Get());
    }
    ~TFrameSurface() { SelectObject(m_dc.Get(), m_old); }
    TFrameSurface(const TFrameSurface&) = delete;
    TFrameSurface& operator=(const TFrameSurface&) = delete;

    void Paint(const TDefaultFrame& frame) {
        std::fill(Pixels(), Pixels() + Count(), kUntouched);
        const TRect client = DefaultClientArea(frame.Style, frame.FormSize, frame.Metrics);
        win32::TSavedDC saved(m_dc.Get());
        ExcludeClipRect(m_dc.Get(), client.Left, client.Top, client.Right, client.Bottom);
        PaintDefaultFrame(m_dc.Get(), frame);
        GdiFlush();
    }

    uint32_t At(int32_t x, int32_t y) const { return Pixels()[y * m_size.X + x] & 0xFFFFFF; }
    std::vector<uint32_t> Copy() const {
        std::vector<uint32_t> out(Pixels(), Pixels() + Count());
        for (uint32_t& p : out) {
            p &= 0xFFFFFF;
        }
        return out;
    }
    // Counts the pixels of `area` that pass `test`.
    template <typename Test>
    int Count(const TRect& area, Test test) const {
        int count = 0;
        for (int32_t y = area.Top; y < area.Bottom; ++y) {
            for (int32_t x = area.Left; x < area.Right; ++x) {
                count += test(x, y, At(x, y)) ? 1 : 0;
            }
        }
        return count;
    }
    TPoint Size() const { return m_size; }
    HDC Dc() const { return m_dc.Get(); }

    // A BMP file a person can look at, the client area filled with the button face.
    void Save(const std::string& path, const TRect& client) {
        RECT r{client.Left, client.Top, client.Right, client.Bottom};
        FillRect(m_dc.Get(), &r, GetSysColorBrush(COLOR_BTNFACE));
        GdiFlush();
        BITMAPFILEHEADER file{};
        BITMAPINFOHEADER header{};
        header.biSize = sizeof header;
        header.biWidth = m_size.X;
        header.biHeight = -m_size.Y;
        header.biPlanes = 1;
        header.biBitCount = 32;
        const DWORD bytes = static_cast<DWORD>(Count() * 4);
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof header;
        file.bfSize = file.bfOffBits + bytes;
        FILE* out = std::fopen(path.c_str(), "wb");
        ASSERT_NE(out, nullptr) << path;
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&header, sizeof header, 1, out);
        // Opaque throughout: GDI leaves the alpha byte as it likes, and viewers honour it.
        std::vector<uint32_t> opaque(Pixels(), Pixels() + Count());
        for (uint32_t& p : opaque) {
            p |= 0xFF000000u;
        }
        std::fwrite(opaque.data(), bytes, 1, out);
        std::fclose(out);
    }

private:
    uint32_t* Pixels() const { return static_cast<uint32_t*>(m_bits); }
    int32_t Count() const { return m_size.X * m_size.Y; }

    TPoint m_size;
    void* m_bits = nullptr;
    win32::TBitmapHandle m_bitmap;
    win32::TMemoryDC m_dc;
    HGDIOBJ m_old = nullptr;
};

TDefaultFrame Frame(TVxBorderIcons icons, bool active = true, bool themed = false) {
    TDefaultFrame frame;
    frame.FormSize = kFormSize;
    frame.Icons = icons;
    frame.Active = active;
    frame.Themed = themed;
    frame.Metrics = RefreshFrameMetrics();
    return frame;
}

TRect BandOf(const TDefaultFrame& frame) {
    return CaptionBand(DefaultFrameLayout(frame));
}

TRect ButtonOf(const TDefaultFrame& frame, TVxBorderIcon icon) {
    return DefaultButtonRect(DefaultFrameLayout(frame), icon);
}

// The classic band's colour in a column: its top row is never covered by a button.
bool IsPlainBand(const TFrameSurface& surface, const TRect& band, int32_t x, int32_t y) {
    return surface.At(x, y) == surface.At(x, band.Top);
}

TVxFormRegion RegionOf(TVxBorderIcon icon) {
    static constexpr TVxFormRegion kRegions[kBorderIconCount] = {khrClose, khrSysMenu, khrMinimize, khrMaximize,
                                                                 khrHelp,  khrRollup,  khrTray};
    return kRegions[icon];
}

const char* const kIconNames[] = {"close", "system menu", "minimize", "maximize", "help", "roll-up", "tray"};

// Where two paints of the window differ: how many pixels inside and outside `room`, and the
// bounds of all of them (to name the place in a failure).
struct TDiff {
    int Inside = 0;
    int Outside = 0;
    TRect Bounds{kFormSize.X, kFormSize.Y, 0, 0};
};

TDiff Diff(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, const TRect& room = {}) {
    TDiff diff;
    for (int32_t i = 0; i < static_cast<int32_t>(std::min(a.size(), b.size())); ++i) {
        if (a[i] == b[i]) {
            continue;
        }
        const TPoint p{i % kFormSize.X, i / kFormSize.X};
        (room.Contains(p) ? diff.Inside : diff.Outside) += 1;
        TRect& r = diff.Bounds;
        r = {std::min(r.Left, p.X), std::min(r.Top, p.Y), std::max(r.Right, p.X + 1), std::max(r.Bottom, p.Y + 1)};
    }
    return diff;
}

std::ostream& operator<<(std::ostream& out, const TDiff& diff) {
    const TRect& r = diff.Bounds;
    return out << diff.Inside << " inside, " << diff.Outside << " outside, within (" << r.Left << ", " << r.Top << ", "
               << r.Right << ", " << r.Bottom << ")";
}

// Present buttons show something of their own; every other pixel of the band is plain band.
void ExpectOnlyTheseButtons(const TFrameSurface& surface, const TDefaultFrame& frame) {
    const TRect band = BandOf(frame);
    std::vector<TRect> present;
    for (int icon = 0; icon < kBorderIconCount; ++icon) {
        const TRect rect = ButtonOf(frame, static_cast<TVxBorderIcon>(icon));
        if (rect.IsEmpty()) {
            continue;
        }
        present.push_back(rect);
        EXPECT_GT(
            surface.Count(rect, [&](int32_t x, int32_t y, uint32_t) { return !IsPlainBand(surface, band, x, y); }),
            rect.Width())
            << kIconNames[icon] << " button looks like bare band";
    }
    const int stray = surface.Count(band, [&](int32_t x, int32_t y, uint32_t) {
        for (const TRect& rect : present) {
            if (rect.Contains({x, y})) {
                return false;
            }
        }
        return !IsPlainBand(surface, band, x, y);
    });
    EXPECT_EQ(stray, 0) << "band pixels outside the present buttons were drawn on";
}

TEST(CaptionFonts, FollowTheSystemsNonClientFonts) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_NE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0), FALSE);
    RefreshCaptionFonts();
    LOGFONTW caption{};
    LOGFONTW small{};
    ASSERT_NE(GetObjectW(CaptionFont(), sizeof caption, &caption), 0);
    ASSERT_NE(GetObjectW(SmallCaptionFont(), sizeof small, &small), 0);
    EXPECT_EQ(std::wstring(caption.lfFaceName), std::wstring(metrics.lfCaptionFont.lfFaceName));
    EXPECT_EQ(caption.lfHeight, metrics.lfCaptionFont.lfHeight);
    EXPECT_EQ(std::wstring(small.lfFaceName), std::wstring(metrics.lfSmCaptionFont.lfFaceName));
    EXPECT_EQ(small.lfHeight, metrics.lfSmCaptionFont.lfHeight);
    // Made again on refresh: the old objects go, the new ones are live.
    RefreshCaptionFonts();
    EXPECT_NE(GetObjectW(CaptionFont(), sizeof caption, &caption), 0);
}

TEST(DefaultFramePainter, NoBorderAndBadInputPaintNothing) {
    TFrameSurface surface;
    TDefaultFrame frame = Frame(kAllIcons);
    frame.Style = kbsNone;
    frame.Caption = u"Zaprelay";
    surface.Paint(frame);
    EXPECT_EQ(
        surface.Count({0, 0, kFormSize.X, kFormSize.Y}, [](int32_t, int32_t, uint32_t p) { return p != kUntouched; }),
        0);

    PaintDefaultFrame(nullptr, Frame(kAllIcons));
    for (TPoint size : {TPoint{0, 0}, TPoint{-5, 40}, TPoint{40, -5}}) {
        frame = Frame(kAllIcons);
        frame.FormSize = size;
        surface.Paint(frame);
        EXPECT_EQ(surface.At(0, 0), kUntouched) << size.X << " x " << size.Y;
    }
    // Forms too small for their frame, and metrics the system would never give, draw what fits.
    for (TPoint size : {TPoint{1, 1}, TPoint{9, 9}, TPoint{30, 12}}) {
        for (bool themed : {false, true}) {
            frame = Frame(kAllIcons, true, themed);
            frame.FormSize = size;
            frame.Caption = u"Zaprelay";
            surface.Paint(frame);
        }
    }
    frame = Frame(kAllIcons);
    frame.Metrics = {-3, 900, -1, 0, -7};
    frame.Caption = u"Zaprelay";
    surface.Paint(frame);
}

TEST(DefaultFramePainter, ClassicCaptionRunsBetweenTheCaptionColours) {
    struct TCase {
        const char* Name;
        bool Active;
        int From;
        int To;
    };
    for (const TCase& c : {TCase{"active", true, COLOR_ACTIVECAPTION, COLOR_GRADIENTACTIVECAPTION},
                           TCase{"inactive", false, COLOR_INACTIVECAPTION, COLOR_GRADIENTINACTIVECAPTION}}) {
        SCOPED_TRACE(c.Name);
        TFrameSurface surface;
        const TDefaultFrame frame = Frame(BorderIconSet({kbiClose}), c.Active);
        surface.Paint(frame);
        const TRect band = BandOf(frame);
        ASSERT_FALSE(band.IsEmpty());
        EXPECT_EQ(surface.At(band.Left, band.Top), PixelOf(GetSysColor(c.From)));
        EXPECT_EQ(surface.At(band.Left, band.Bottom - 1), PixelOf(GetSysColor(c.From)));
        EXPECT_EQ(surface.At(band.Right - 1, band.Top), PixelOf(GetSysColor(c.To)));
        // The frame around it: the raised edge's light outer line, the face inside.
        EXPECT_EQ(surface.At(kFormSize.X / 2, 0), PixelOf(GetSysColor(COLOR_3DLIGHT)));
        EXPECT_EQ(surface.At(2, kFormSize.Y / 2), PixelOf(GetSysColor(COLOR_BTNFACE)));
        EXPECT_EQ(surface.At(kFormSize.X - 1, kFormSize.Y - 1), PixelOf(GetSysColor(COLOR_3DDKSHADOW)));
        // The client area is the caller's.
        EXPECT_EQ(surface.At(kFormSize.X / 2, kFormSize.Y / 2), kUntouched);
    }
}

TEST(DefaultFramePainter, ClassicShowsThePresentButtonsOnly) {
    struct TCase {
        const char* Name;
        TVxBorderIcons Icons;
        TVxWindowState State;
    };
    const TCase cases[] = {
        {"main window", kMainWindowIcons, kwsNormal},
        {"default icons", kDefaultBorderIcons, kwsNormal},
        {"every icon", kAllIcons, kwsNormal},
        {"every icon, maximized", kAllIcons, kwsMaximized},
        {"every icon, minimized", kAllIcons, kwsMinimized},
        {"every icon, rolled up", kAllIcons, kwsRollup},
        {"close and help", BorderIconSet({kbiClose, kbiHelp}), kwsNormal},
        {"no close", BorderIconSet({kbiMinimize, kbiMaximize}), kwsNormal},
        {"no buttons", 0, kwsNormal},
    };
    TFrameSurface surface;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TDefaultFrame frame = Frame(c.Icons & ~BorderIconSet({kbiSystemMenu}));
        frame.State = c.State;
        surface.Paint(frame);
        ExpectOnlyTheseButtons(surface, frame);
    }
    // The main window's caption: a close button and, left of it, the tray button.
    const TDefaultFrame main = Frame(kMainWindowIcons);
    EXPECT_FALSE(ButtonOf(main, kbiClose).IsEmpty());
    EXPECT_FALSE(ButtonOf(main, kbiTray).IsEmpty());
    EXPECT_LT(ButtonOf(main, kbiTray).Right, ButtonOf(main, kbiClose).Right);

    // The system-menu icon sits at the band's left end, drawn on its own.
    TDefaultFrame withIcon = Frame(BorderIconSet({kbiClose, kbiSystemMenu}));
    surface.Paint(withIcon);
    const TRect icon = ButtonOf(withIcon, kbiSystemMenu);
    const TRect band = BandOf(withIcon);
    EXPECT_GT(surface.Count(icon, [&](int32_t x, int32_t y, uint32_t) { return !IsPlainBand(surface, band, x, y); }),
              icon.Width() * 2);
}

TEST(DefaultFramePainter, ClassicButtonsShowPressAndState) {
    TFrameSurface surface;
    auto paint = [&](const TDefaultFrame& frame) {
        surface.Paint(frame);
        return surface.Copy();
    };
    // Only the pressed button changes, and it does.
    for (TVxBorderIcon icon : {kbiClose, kbiMinimize, kbiMaximize, kbiRollup, kbiTray}) {
        SCOPED_TRACE(kIconNames[icon]);
        TDefaultFrame frame = Frame(kDefaultBorderIcons);
        const std::vector<uint32_t> normal = paint(frame);
        frame.HotRegion = RegionOf(icon);
        frame.PressedRegion = RegionOf(icon);
        const std::vector<uint32_t> pressed = paint(frame);
        const TDiff diff = Diff(normal, pressed, ButtonOf(frame, icon));
        EXPECT_GT(diff.Inside, ButtonOf(frame, icon).Width()) << diff;
        EXPECT_EQ(diff.Outside, 0) << diff;
        // Pressed elsewhere while hot here is no press.
        frame.PressedRegion = khrCaption;
        EXPECT_NE(paint(frame), pressed);
    }
    // Restore glyphs replace the minimize and maximize glyphs in those states; the roll-up
    // triangle turns over when rolled up.
    struct TStateCase {
        TVxBorderIcon Icon;
        TVxWindowState State;
    };
    for (const TStateCase& c : {TStateCase{kbiMaximize, kwsMaximized}, TStateCase{kbiMinimize, kwsMinimized},
                                TStateCase{kbiRollup, kwsRollup}}) {
        SCOPED_TRACE(kIconNames[c.Icon]);
        // The button's pixels relative to its corner: a minimized caption moves its buttons.
        auto face = [&](const TDefaultFrame& frame) {
            surface.Paint(frame);
            const TRect rect = ButtonOf(frame, c.Icon);
            std::vector<uint32_t> pixels;
            for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
                for (int32_t x = rect.Left; x < rect.Right; ++x) {
                    pixels.push_back(surface.At(x, y));
                }
            }
            return pixels;
        };
        TDefaultFrame frame = Frame(kDefaultBorderIcons & ~BorderIconSet({kbiSystemMenu}));
        const std::vector<uint32_t> before = face(frame);
        frame.State = c.State;
        const std::vector<uint32_t> after = face(frame);
        ASSERT_EQ(after.size(), before.size());
        EXPECT_NE(after, before);
    }
}

TEST(DefaultFramePainter, TrayGlyphIsABlackDiscLowInItsButton) {
    TFrameSurface surface;
    for (bool pressed : {false, true}) {
        SCOPED_TRACE(pressed ? "pressed" : "normal");
        TDefaultFrame frame = Frame(kMainWindowIcons);
        if (pressed) {
            frame.HotRegion = khrTray;
            frame.PressedRegion = khrTray;
        }
        surface.Paint(frame);
        const TRect button = ButtonOf(frame, kbiTray);
        const int32_t shift = pressed ? 1 : 0;
        const TRect glyph =
            TRect{button.Left + 5, button.Top + 5, button.Right - 5, button.Bottom - 5}.Offset(shift, 2 + shift);
        // Inside the push frame's edges, black is the disc and nothing else.
        const TRect face{button.Left + 2, button.Top + 2, button.Right - 2, button.Bottom - 2};
        auto black = [](int32_t, int32_t, uint32_t p) { return p == 0; };
        const int disc = surface.Count(glyph, black);
        EXPECT_EQ(surface.Count(face, black), disc);
        EXPECT_GE(disc, glyph.Width() * glyph.Height() / 2);
        EXPECT_EQ(surface.At((glyph.Left + glyph.Right) / 2, (glyph.Top + glyph.Bottom) / 2), 0u);
        // Round: the bounding box's corners stay the button's face.
        if (glyph.Width() >= 5 && glyph.Height() >= 5) {
            EXPECT_NE(surface.At(glyph.Left, glyph.Top), 0u);
            EXPECT_NE(surface.At(glyph.Right - 1, glyph.Bottom - 1), 0u);
        }
    }
}

TEST(DefaultFramePainter, CaptionTextStaysBetweenIconAndButtons) {
    struct TCase {
        const char* Name;
        TVxBorderIcons Icons;
        TVxBorderStyle Style;
        std::u16string Text;
        bool RightToLeft;
    };
    const std::u16string longText(200, u'W');
    const std::u16string bilingual = u"Zaprelay \u2014 \u041f\u0443\u043b\u044c\u0442";
    const TCase cases[] = {
        {"short", kDefaultBorderIcons, kbsStandard, u"Zaprelay", false},
        {"bilingual", kMainWindowIcons, kbsStandard, bilingual, false},
        {"long, every icon", kAllIcons, kbsStandard, longText, false},
        {"long, main window", kMainWindowIcons, kbsStandard, longText, false},
        {"long, no buttons", 0, kbsStandard, longText, false},
        {"long, right to left", kDefaultBorderIcons, kbsStandard, longText, true},
        {"long, tool window", kAllIcons, kbsToolWindow, longText, false},
    };
    TFrameSurface surface;
    for (bool themed : {false, true}) {
        if (themed && !VisualStylesActive()) {
            continue;
        }
        for (const TCase& c : cases) {
            SCOPED_TRACE(std::string(c.Name) + (themed ? ", themed" : ", classic"));
            TDefaultFrame frame = Frame(c.Icons, true, themed);
            frame.Style = c.Style;
            frame.RightToLeftReading = c.RightToLeft;
            surface.Paint(frame);
            const std::vector<uint32_t> bare = surface.Copy();
            frame.Caption = c.Text;
            surface.Paint(frame);
            const TRect room = CaptionTextRect(DefaultFrameLayout(frame));
            const TDiff diff = Diff(bare, surface.Copy(), room);
            EXPECT_GT(diff.Inside, 20) << diff;
            EXPECT_EQ(diff.Outside, 0) << diff;
            // The room is inside the band and clear of every button.
            const TRect band = BandOf(frame);
            EXPECT_EQ(Intersect(room, band), room);
            for (int icon = 0; icon < kBorderIconCount; ++icon) {
                EXPECT_TRUE(Intersect(room, ButtonOf(frame, static_cast<TVxBorderIcon>(icon))).IsEmpty())
                    << kIconNames[icon];
            }
        }
    }
}

TEST(DefaultFramePainter, BandBitmapGivesTheSamePixelsAsInPlace) {
    TFrameSurface direct;
    TFrameSurface buffered;
    auto expectSame = [&](const char* name, TDefaultFrame frame) {
        SCOPED_TRACE(std::string(frame.Themed ? "themed, " : "classic, ") + name);
        frame.Performance = ksfpDoubleBuffer;
        direct.Paint(frame);
        frame.Performance = ksfpNoBuffer;
        buffered.Paint(frame);
        const TDiff diff = Diff(direct.Copy(), buffered.Copy());
        EXPECT_EQ(diff.Outside, 0) << diff;
    };
    for (bool themed : {false, VisualStylesActive()}) {
        TDefaultFrame frame = Frame(kDefaultBorderIcons, true, themed);
        frame.Caption = u"Zaprelay \u2014 \u041f\u0443\u043b\u044c\u0442";
        expectSame("active", frame);
        frame.Active = false;
        expectSame("inactive", frame);
        frame = Frame(kAllIcons, true, themed);
        frame.Caption = std::u16string(120, u'M');
        frame.HotRegion = khrClose;
        frame.PressedRegion = khrClose;
        expectSame("pressed close, long text", frame);
        frame.Style = kbsToolWindow;
        expectSame("tool window", frame);
    }
}

TEST(DefaultFramePainter, ThemedLooksItsOwnInEveryState) {
    if (!VisualStylesActive()) {
        GTEST_SKIP() << "no visual style is active";
    }
    TFrameSurface classic;
    TFrameSurface themed;
    classic.Paint(Frame(kDefaultBorderIcons, true, false));
    themed.Paint(Frame(kDefaultBorderIcons, true, true));
    EXPECT_NE(classic.Copy(), themed.Copy());
    // Every frame band is drawn, and the client area is left alone.
    const TRect client = DefaultClientArea(kbsStandard, kFormSize, FrameMetrics());
    EXPECT_NE(themed.At(kFormSize.X / 2, 1), kUntouched);
    EXPECT_NE(themed.At(1, kFormSize.Y / 2), kUntouched);
    EXPECT_NE(themed.At(kFormSize.X - 1, kFormSize.Y / 2), kUntouched);
    EXPECT_NE(themed.At(kFormSize.X / 2, kFormSize.Y - 1), kUntouched);
    EXPECT_EQ(themed.At(client.Left + 1, client.Top + 1), kUntouched);

    // Any mix of buttons, states, activity and presses paints inside the frame.
    const TVxFormRegion regions[] = {khrNone, khrClose, khrMinimize, khrMaximize, khrHelp, khrRollup, khrTray};
    const TVxBorderIcons iconSets[] = {0, kMainWindowIcons, kDefaultBorderIcons, kAllIcons,
                                       BorderIconSet({kbiClose, kbiHelp, kbiMinimize})};
    for (TVxBorderStyle style : {kbsStandard, kbsToolWindow}) {
        for (TVxBorderIcons icons : iconSets) {
            for (TVxWindowState state : {kwsNormal, kwsMaximized, kwsMinimized, kwsRollup, kwsTray}) {
                for (bool active : {true, false}) {
                    for (TVxFormRegion region : regions) {
                        TDefaultFrame frame = Frame(icons, active, true);
                        frame.Style = style;
                        frame.State = state;
                        frame.HotRegion = region;
                        frame.PressedRegion = region;
                        frame.Caption = u"Zaprelay";
                        themed.Paint(frame);
                        ASSERT_EQ(themed.At(client.Left + 1, kFormSize.Y / 2), kUntouched)
                            << "style " << int(style) << ", icons " << icons << ", state " << int(state);
                    }
                }
            }
        }
    }
    // An inactive frame draws in the inactive state: its close button is disabled.
    TDefaultFrame active = Frame(BorderIconSet({kbiClose}), true, true);
    TDefaultFrame inactive = active;
    inactive.Active = false;
    themed.Paint(active);
    const std::vector<uint32_t> activePixels = themed.Copy();
    themed.Paint(inactive);
    EXPECT_NE(activePixels, themed.Copy());
}

// Pictures to look at: set ZAPRELAY_DUMP_FRAMES to a folder, or to 1 for the temp folder.
TEST(DefaultFramePainter, SavesPicturesWhenAsked) {
    const char* target = std::getenv("ZAPRELAY_DUMP_FRAMES");
    if (target == nullptr || *target == '\0') {
        GTEST_SKIP() << "set ZAPRELAY_DUMP_FRAMES to save pictures of the frames";
    }
    std::string folder = target;
    if (folder == "1") {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder = temp;
    }
    if (folder.back() != '\\' && folder.back() != '/') {
        folder += '\\';
    }
    const std::u16string caption = u"Zaprelay \u2014 \u041f\u0443\u043b\u044c\u0442 \u0414\u0423";
    struct TPicture {
        const char* Name;
        TVxBorderIcons Icons;
        bool Active;
        bool Themed;
    };
    for (const TPicture& picture :
         {TPicture{"classic_active", kAllIcons, true, false}, TPicture{"classic_inactive", kAllIcons, false, false},
          TPicture{"themed_active", kDefaultBorderIcons | BorderIconSet({kbiHelp}), true, true},
          TPicture{"themed_inactive", kDefaultBorderIcons, false, true},
          TPicture{"main_window", kMainWindowIcons, true, false}}) {
        TFrameSurface surface;
        TDefaultFrame frame = Frame(picture.Icons, picture.Active, picture.Themed);
        frame.Caption = caption;
        surface.Paint(frame);
        const std::string path = folder + "frame_" + picture.Name + ".bmp";
        surface.Save(path, DefaultClientArea(frame.Style, frame.FormSize, frame.Metrics));
        std::printf("frame picture: %s\n", path.c_str());
    }
}

}  // namespace
}  // namespace zaprelay::skin
