// A font as data: what a canvas needs to pick a font, streamed as Font.Charset,
// Font.Color, Font.Height, Font.Name, Font.Pitch and Font.Style.
#pragma once

#include "framework/rtl/ident_tables.h"
#include "framework/rtl/persistent.h"

#include <cstdint>
#include <functional>
#include <string>

namespace zaprelay {

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = uint8_t;  // bit n set = TFontStyle n
inline constexpr TFontStyles FontStyleBit(TFontStyle style) {
    return static_cast<TFontStyles>(1u << style);
}

enum TFontPitch { fpDefault, fpVariable, fpFixed };

extern const TEnumInfo kFontStyleNames;
extern const TEnumInfo kFontPitchNames;

struct TFontData {
    std::string Name = "MS Sans Serif";
    int32_t Height = -11;
    TColor Color = clWindowText;
    TFontStyles Style = 0;
    TFontCharset Charset = DEFAULT_CHARSET;
    TFontPitch Pitch = fpDefault;
    bool operator==(const TFontData&) const = default;
};

// The platform's default font for new TFont objects; the Win32 layer sets it at start-up.
TFontData& DefaultFontData();
// Logical pixels per inch, for converting Height to and from point Size.
int& ScreenPixelsPerInch();

class TFont : public TPersistent {
public:
    TFont() : m_data(DefaultFontData()) {}

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    const TFontData& Data() const { return m_data; }
    void SetData(const TFontData& data);

    const std::string& Name() const { return m_data.Name; }
    void SetName(const std::string& name);
    int32_t Height() const { return m_data.Height; }
    void SetHeight(int32_t height);
    // Points: -Height * 72 / pixels per inch, rounded.
    int32_t Size() const;
    void SetSize(int32_t size);
    TColor Color() const { return m_data.Color; }
    void SetColor(TColor color);
    TFontStyles Style() const { return m_data.Style; }
    void SetStyle(TFontStyles style);
    TFontCharset Charset() const { return m_data.Charset; }
    void SetCharset(TFontCharset charset);
    TFontPitch Pitch() const { return m_data.Pitch; }
    void SetPitch(TFontPitch pitch);

    // Called after every change of a value.
    std::function<void(TFont&)> OnChange;

private:
    void Changed();

    TFontData m_data;
};

}  // namespace zaprelay
