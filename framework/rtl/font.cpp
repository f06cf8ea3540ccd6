#include "framework/rtl/font.h"

#include <cmath>

namespace zaprelay {

const TEnumInfo kFontStyleNames =
    MakeEnumInfo<fsStrikeOut>("TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
const TEnumInfo kFontPitchNames = MakeEnumInfo<fpFixed>("TFontPitch", {"fpDefault", "fpVariable", "fpFixed"});

TFontData& DefaultFontData() {
    static TFontData data;
    return data;
}

int& ScreenPixelsPerInch() {
    static int ppi = 96;
    return ppi;
}

const TClassInfo& TFont::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TFont, TPersistent>("TFont");
        TClassBuilder<TFont>(i)
            .Charset("Charset", &TFont::Charset, &TFont::SetCharset)
            .Color("Color", &TFont::Color, &TFont::SetColor)
            .Integer("Height", &TFont::Height, &TFont::SetHeight)
            .String("Name", &TFont::Name, &TFont::SetName)
            .Enum("Pitch", kFontPitchNames, &TFont::Pitch, &TFont::SetPitch, fpDefault)
            .Integer("Size", &TFont::Size, &TFont::SetSize)
            .NotStored()
            .Set("Style", kFontStyleNames, &TFont::Style, &TFont::SetStyle);
        return i;
    }();
    return info;
}

void TFont::CopyFrom(const TPersistent& source) {
    if (source.InheritsFrom(TFont::StaticClassInfo())) {
        SetData(static_cast<const TFont&>(source).m_data);
        return;
    }
    TPersistent::CopyFrom(source);
}

void TFont::SetData(const TFontData& data) {
    if (!(data == m_data)) {
        m_data = data;
        Changed();
    }
}

void TFont::SetName(const std::string& name) {
    if (!name.empty() && name != m_data.Name) {
        m_data.Name = name;
        Changed();
    }
}

void TFont::SetHeight(int32_t height) {
    if (height != m_data.Height) {
        m_data.Height = height;
        Changed();
    }
}

int32_t TFont::Size() const {
    return static_cast<int32_t>(std::lround(-static_cast<double>(m_data.Height) * 72 / ScreenPixelsPerInch()));
}

void TFont::SetSize(int32_t size) {
    SetHeight(static_cast<int32_t>(std::lround(-static_cast<double>(size) * ScreenPixelsPerInch() / 72)));
}

void TFont::SetColor(TColor color) {
    if (color != m_data.Color) {
        m_data.Color = color;
        Changed();
    }
}

void TFont::SetStyle(TFontStyles style) {
    style &= 0x0F;
    if (style != m_data.Style) {
        m_data.Style = style;
        Changed();
    }
}

void TFont::SetCharset(TFontCharset charset) {
    if (charset != m_data.Charset) {
        m_data.Charset = charset;
        Changed();
    }
}

void TFont::SetPitch(TFontPitch pitch) {
    if (pitch != m_data.Pitch) {
        m_data.Pitch = pitch;
        Changed();
    }
}

void TFont::Changed() {
    if (OnChange) {
        OnChange(*this);
    }
}

}  // namespace zaprelay
