#include "tests/e2e/screen_pictures.h"

#include "framework/win32/dib_storage.h"
#include "tests/win32/skin_form_fixture.h"
#include "tests/win32/test_support.h"
#include "tools/zapskin/png_codec.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

namespace zaprelay::e2e {

namespace {

// Font smoothing and the odd off-by-one in a blend move a channel by a few steps.
constexpr int kChannelTolerance = 24;
// A picture still matches with this share of pixels off (one per thousand).
constexpr int kDifferingPerMille = 1;

std::string PicturePath(const std::string& name) {
    return std::string(ZR_PICTURE_DIR) + "/" + name + ".png";
}

}  // namespace

TScreenPicture CaptureScreen(const RECT& rect) {
    TScreenPicture picture;
    picture.Width = rect.right - rect.left;
    picture.Height = rect.bottom - rect.top;
    test::TSurface surface({picture.Width, picture.Height}, 0);
    HDC screen = GetDC(nullptr);
    BitBlt(surface.DC(), 0, 0, picture.Width, picture.Height, screen, rect.left, rect.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    picture.Pixels = surface.Pixels();
    return picture;
}

TScreenPicture CaptureWindow(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return CaptureScreen(rect);
}

int DifferingPixels(const TScreenPicture& a, const TScreenPicture& b) {
    if (a.Width != b.Width || a.Height != b.Height) {
        return a.Width * a.Height + b.Width * b.Height;
    }
    int differing = 0;
    for (std::size_t i = 0; i < a.Pixels.size(); ++i) {
        for (int shift : {0, 8, 16}) {
            const int delta =
                static_cast<int>((a.Pixels[i] >> shift) & 0xFF) - static_cast<int>((b.Pixels[i] >> shift) & 0xFF);
            if (std::abs(delta) > kChannelTolerance) {
                ++differing;
                break;
            }
        }
    }
    return differing;
}

namespace {

// The window as shown once two looks in a row are the same: the program paints when its queue
// is idle.
TScreenPicture SettledLook(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    TScreenPicture last = CaptureWindow(window);
    for (int i = 0; i < 20; ++i) {
        Sleep(100);
        TScreenPicture next = CaptureWindow(window);
        if (next.Pixels == last.Pixels) {
            break;
        }
        last = std::move(next);
    }
    return last;
}

void Blank(TScreenPicture& picture, HWND window, const std::vector<HWND>& ignored) {
    RECT origin{};
    GetWindowRect(window, &origin);
    for (HWND part : ignored) {
        RECT r{};
        GetWindowRect(part, &r);
        for (LONG y = std::max(r.top, origin.top); y < std::min(r.bottom, origin.bottom); ++y) {
            for (LONG x = std::max(r.left, origin.left); x < std::min(r.right, origin.right); ++x) {
                picture.Pixels[static_cast<std::size_t>((y - origin.top) * picture.Width + (x - origin.left))] = 0;
            }
        }
    }
}

}  // namespace

void WriteScreenPicture(const TScreenPicture& picture, const std::string& name) {
    std::vector<uint8_t> rgba;
    rgba.reserve(picture.Pixels.size() * 4);
    for (uint32_t p : picture.Pixels) {
        rgba.insert(rgba.end(),
                    {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p), 0xFF});
    }
    const std::vector<uint8_t> png = zapskin::EncodePng(picture.Width, picture.Height, rgba);
    test::WriteFile(PicturePath(name), std::string(png.begin(), png.end()));
}

namespace {

TScreenPicture CommittedPicture(const std::string& name) {
    const std::string bytes = test::ReadFile(PicturePath(name));
    EXPECT_FALSE(bytes.empty()) << "no picture " << PicturePath(name) << " (scripts/screenshots makes it)";
    if (bytes.empty()) {
        return {};
    }
    const zapskin::TRgbaImage image =
        zapskin::DecodePngRgba({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
    TScreenPicture expected{image.Width, image.Height, {}};
    for (std::size_t i = 0; i + 3 < image.Rgba.size(); i += 4) {
        expected.Pixels.push_back((uint32_t{image.Rgba[i]} << 16) | (uint32_t{image.Rgba[i + 1]} << 8) |
                                  image.Rgba[i + 2]);
    }
    return expected;
}

// Rows [from, from + count) of a picture.
TScreenPicture Rows(const TScreenPicture& picture, int32_t from, int32_t count) {
    TScreenPicture part{picture.Width, count, {}};
    const auto begin = picture.Pixels.begin() + static_cast<std::ptrdiff_t>(from) * picture.Width;
    part.Pixels.assign(begin, begin + static_cast<std::ptrdiff_t>(count) * picture.Width);
    return part;
}

void ExpectAlike(const TScreenPicture& shown, const TScreenPicture& expected, const std::string& name) {
    ASSERT_EQ(shown.Width, expected.Width) << name;
    ASSERT_EQ(shown.Height, expected.Height) << name;
    EXPECT_LE(DifferingPixels(shown, expected), shown.Width * shown.Height * kDifferingPerMille / 1000)
        << name << " looks different from the committed picture (scripts/screenshots makes it again)";
}

}  // namespace

void ExpectLooksLike(HWND window, const std::string& name, const std::vector<HWND>& ignored) {
    TScreenPicture shown = SettledLook(window);
    if (std::getenv("ZAPRELAY_UPDATE_PICTURES") != nullptr) {
        WriteScreenPicture(shown, name);
        return;
    }
    TScreenPicture expected = CommittedPicture(name);
    Blank(shown, window, ignored);
    Blank(expected, window, ignored);
    ExpectAlike(shown, expected, name);
}

void ExpectLooksLikeWithTallerClient(HWND window, const std::string& name, const std::vector<HWND>& ignored) {
    TScreenPicture shown = SettledLook(window);
    TScreenPicture expected = CommittedPicture(name);
    ASSERT_GE(shown.Height, expected.Height) << name;
    Blank(shown, window, ignored);
    Blank(expected, window, ignored);
    // The frame's bottom edge: the window's foot below its client area.
    RECT client{};
    GetClientRect(window, &client);
    POINT foot{0, client.bottom};
    ClientToScreen(window, &foot);
    RECT frame{};
    GetWindowRect(window, &frame);
    const int32_t edge = std::clamp<int32_t>(frame.bottom - foot.y, 0, expected.Height);
    const int32_t above = expected.Height - edge;
    ExpectAlike(Rows(shown, 0, above), Rows(expected, 0, above), name + " (above the extra rows)");
    ExpectAlike(Rows(shown, shown.Height - edge, edge), Rows(expected, above, edge), name + " (bottom edge)");
}

}  // namespace zaprelay::e2e
