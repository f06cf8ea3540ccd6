#include "skin/form/caption_fonts.h"

#include "framework/win32/gdi_handles.h"

namespace zaprelay::skin {
namespace {

struct TCaptionFonts {
    win32::TFontHandle Caption;
    win32::TFontHandle SmallCaption;
    bool Read = false;
};

TCaptionFonts& Fonts() {
    static TCaptionFonts fonts;
    return fonts;
}

void ReadFonts(TCaptionFonts& fonts) {
    // The wide settings keep the face's full name and charset, so any caption language renders.
    // The size is the one of systems before Vista, which every later system still accepts.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) != FALSE) {
        fonts.Caption.Reset(CreateFontIndirectW(&metrics.lfCaptionFont));
        fonts.SmallCaption.Reset(CreateFontIndirectW(&metrics.lfSmCaptionFont));
    } else {
        fonts.Caption.Reset();
        fonts.SmallCaption.Reset();
    }
    fonts.Read = true;
}

// The owned font, or the system's stock one when the settings could not be read.
HFONT OrStock(const win32::TFontHandle& font) {
    return font ? font.Get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace

HFONT CaptionFont() {
    TCaptionFonts& fonts = Fonts();
    if (!fonts.Read) {
        ReadFonts(fonts);
    }
    return OrStock(fonts.Caption);
}

HFONT SmallCaptionFont() {
    TCaptionFonts& fonts = Fonts();
    if (!fonts.Read) {
        ReadFonts(fonts);
    }
    return OrStock(fonts.SmallCaption);
}

void RefreshCaptionFonts() {
    ReadFonts(Fonts());
}

}  // namespace zaprelay::skin
