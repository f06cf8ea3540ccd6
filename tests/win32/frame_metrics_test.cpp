// The frame metrics reader against the running system: it takes the system's sizes, and a
// refresh picks up a caption size changed for this session only.
#include "skin/form/frame_metrics.h"

#include "framework/win32/platform.h"
#include "skin/form/window_theme.h"

#include <gtest/gtest.h>

namespace zaprelay::skin {
namespace {

// Sets the non-client sizes for this session (not saved) and puts the old ones back.
class TNonClientChange {
public:
    TNonClientChange() {
        m_saved.cbSize = sizeof m_saved;
        m_read = SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m_saved, &m_saved, 0) != FALSE;
    }
    ~TNonClientChange() {
        if (m_changed) {
            SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, sizeof m_saved, &m_saved, 0);
        }
    }
    TNonClientChange(const TNonClientChange&) = delete;
    TNonClientChange& operator=(const TNonClientChange&) = delete;

    bool Apply(int captionGrowth) {
        if (!m_read) {
            return false;
        }
        NONCLIENTMETRICSA changed = m_saved;
        changed.iCaptionHeight += captionGrowth;
        changed.iCaptionWidth += captionGrowth;
        changed.iSmCaptionHeight += captionGrowth;
        m_changed = SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, sizeof changed, &changed, 0) != FALSE;
        return m_changed;
    }

private:
    NONCLIENTMETRICSA m_saved{};
    bool m_read = false;
    bool m_changed = false;
};

TEST(FrameMetrics, RefreshTakesTheSystemSizes) {
    const TFrameMetrics& metrics = RefreshFrameMetrics();
    EXPECT_EQ(&metrics, &FrameMetrics());
    EXPECT_EQ(metrics.CaptionHeight, GetSystemMetrics(SM_CYCAPTION));
    EXPECT_EQ(metrics.ToolCaptionHeight, GetSystemMetrics(SM_CYSMCAPTION));
    EXPECT_EQ(metrics.FrameWidth, GetSystemMetrics(SM_CXFRAME));
    EXPECT_EQ(metrics.ButtonWidth, GetSystemMetrics(SM_CXSIZE));
    EXPECT_EQ(metrics.ButtonHeight, GetSystemMetrics(SM_CYSIZE));
    EXPECT_GT(metrics.CaptionHeight, metrics.ToolCaptionHeight / 2);
    EXPECT_GT(metrics.FrameWidth, 0);
    // Nothing changed: a second refresh reads the same.
    const TFrameMetrics first = metrics;
    EXPECT_EQ(RefreshFrameMetrics(), first);
}

TEST(FrameMetrics, RefreshPicksUpAChangedCaption) {
    const TFrameMetrics before = RefreshFrameMetrics();
    TNonClientChange change;
    if (!change.Apply(6)) {
        GTEST_SKIP() << "the system refused a session-only change of the caption sizes";
    }
    // The copy stays as it was until the theme-change path refreshes it.
    EXPECT_EQ(FrameMetrics(), before);
    EXPECT_EQ(ReadSystemFrameMetrics().CaptionHeight, before.CaptionHeight + 6);

    const TFrameMetrics& after = RefreshFrameMetrics();
    EXPECT_EQ(after.CaptionHeight, before.CaptionHeight + 6);
    EXPECT_EQ(after.ToolCaptionHeight, before.ToolCaptionHeight + 6);
    EXPECT_EQ(after.ButtonWidth, before.ButtonWidth + 6);
    EXPECT_EQ(after.FrameWidth, before.FrameWidth);
}

// Independent evidence of visual styles: the theme of the window class opens only when they
// are drawn for this program.
TEST(FrameMetrics, VisualStylesAgreeWithTheWindowTheme) {
    HMODULE module = LoadLibraryA("uxtheme.dll");
    if (module == nullptr) {
        EXPECT_FALSE(VisualStylesActive());
        return;
    }
    using TOpenTheme = HANDLE(WINAPI*)(HWND, LPCWSTR);
    using TCloseTheme = HRESULT(WINAPI*)(HANDLE);
    auto openTheme = reinterpret_cast<TOpenTheme>(reinterpret_cast<void*>(GetProcAddress(module, "OpenThemeData")));
    auto closeTheme = reinterpret_cast<TCloseTheme>(reinterpret_cast<void*>(GetProcAddress(module, "CloseThemeData")));
    ASSERT_NE(openTheme, nullptr);
    ASSERT_NE(closeTheme, nullptr);
    HANDLE theme = openTheme(nullptr, L"Window");
    EXPECT_EQ(VisualStylesActive(), theme != nullptr);
    EXPECT_EQ(VisualStylesActive(), VisualStylesActive());
    if (theme != nullptr) {
        closeTheme(theme);
    }
    FreeLibrary(module);
}

}  // namespace
}  // namespace zaprelay::skin
