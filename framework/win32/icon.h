// Icons: the image of a window's caption, the task bar and the tray, kept as the bytes of an
// icon file (which is how layouts store them) and realised per size on demand.
#pragma once

#include "framework/rtl/exceptions.h"
#include "framework/win32/gdi_handles.h"
#include "framework/win32/graphic.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace zaprelay::win32 {

class TIcon : public TGraphic {
public:
    TIcon() = default;
    TIcon(const TIcon&) = delete;
    TIcon& operator=(const TIcon&) = delete;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;
    void DeclareProperties(TPropertyDeclarations& declarations) override;

    int32_t Width() const override;
    int32_t Height() const override;
    void Draw(TGdiCanvas& canvas, const TRect& rect) override;

    // Takes the bytes of an icon file. Raises EInvalidGraphic "Icon image is not valid" (and
    // keeps the old image) when they are not one.
    void LoadFromBytes(const std::vector<uint8_t>& bytes);
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    // An icon resource of a module (the image bytes are not kept: it is not streamed).
    void LoadFromResource(HMODULE module, const wchar_t* name);
    void Clear();

    // The image at the system's large (caption and task bar) and small (caption, tray) sizes;
    // none while the icon is empty. The icon keeps ownership.
    HICON LargeHandle() const;
    HICON SmallHandle() const;

    std::function<void()> OnChange;

private:
    HICON Realise(int cx, int cy, TIconHandle& slot) const;
    void Changed();

    std::vector<uint8_t> m_bytes;
    HMODULE m_module = nullptr;
    std::wstring m_resource;
    mutable TIconHandle m_large;
    mutable TIconHandle m_small;
};

class EInvalidGraphic : public Exception {
    using Exception::Exception;
};

// The entry of an icon file's directory that best fits cx x cy: the exact size with the
// most colours, else the biggest. Checks every size and offset against the data; -1 when
// the bytes are not an icon file. Fills offset and size of the chosen image.
int ChooseIconImage(const std::vector<uint8_t>& bytes, int cx, int cy, uint32_t& offset, uint32_t& size);

}  // namespace zaprelay::win32
