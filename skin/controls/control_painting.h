// The paint machinery both skinned control bases share: the program-wide shared buffer, the
// per-paint buffer with its blending and copy-out, and the request for the parent's background.
#pragma once

#include "framework/graphics/vx_bitmap.h"
#include "framework/win32/custom_control.h"
#include "framework/win32/dib_storage.h"
#include "skin/controls/control_types.h"
#include "skin/form/form_options.h"

#include <functional>
#include <memory>

namespace zaprelay::skin {

// One screen-sized bitmap for every control painting with kspSharedBuffer; it only grows and
// lives until the program ends.
TVxBitmap& SharedBuffer();

// Where one paint draws: the shared buffer, a bitmap of the control's size, or the target.
class TPaintBuffer {
public:
    // fill: start from TransparentColor (a graphic control starts from what the buffer holds).
    TPaintBuffer(TVxPerformance mode, TPoint size, bool fill);
    TPaintBuffer(const TPaintBuffer&) = delete;
    TPaintBuffer& operator=(const TPaintBuffer&) = delete;

    // The buffer's context; none when painting on the target directly.
    HDC DC() const { return m_bitmap != nullptr ? win32::BitmapDC(*m_bitmap) : nullptr; }
    // Lays the painted image at alpha over background, a bitmap of the control's size.
    void BlendOver(TVxBitmap& background, uint8_t alpha);
    void CopyTo(HDC target) const;

private:
    TPoint m_size;
    TVxBitmap* m_bitmap = nullptr;
    std::unique_ptr<TVxBitmap> m_own;
};

// Binds a control canvas to another context and back, also on failure; locked meanwhile.
class TCanvasRebinding {
public:
    TCanvasRebinding(win32::TControlCanvas& canvas, HDC dc) : m_canvas(canvas), m_old(canvas.Handle()) {
        m_canvas.Lock();
        m_canvas.SetHandle(dc);
    }
    ~TCanvasRebinding() {
        m_canvas.SetHandle(m_old);
        m_canvas.Unlock();
    }
    TCanvasRebinding(const TCanvasRebinding&) = delete;
    TCanvasRebinding& operator=(const TCanvasRebinding&) = delete;

private:
    win32::TControlCanvas& m_canvas;
    HDC m_old;
};

// Paints what lies under the control on its parent into dc, origin at the control's top-left
// corner. blending also paints the window-less siblings over it, as they show through.
void PaintParentBackground(win32::TControl& control, HDC dc, TVxPerformance mode, bool blending);

// What both bases keep for painting and the rules between them: a buffering mode that blending
// never leaves unbuffered, transparency, the blending options, and a paint's font and bitmap.
class TPaintSettings {
public:
    TVxPerformance Performance() const { return m_performance; }
    // False when refused (kspNoBuffer while blending, out of range) or unchanged.
    bool SetPerformance(TVxPerformance value);
    bool Transparent() const { return m_transparent; }
    // False when unchanged.
    bool SetTransparent(bool value);
    TVxBlending& Blending() { return m_blending; }
    const TVxBlending& Blending() const { return m_blending; }
    // After the blending options changed: blending takes a double buffer from an unbuffered one.
    void BlendingChanged();
    TFont& PaintFont() { return m_paintFont; }
    const TFont& PaintFont() const { return m_paintFont; }

    // One paint of control, of a positive size: the parent's background when transparent, then
    // steps, on canvas bound to the buffer the mode picks (fill: start it from TransparentColor);
    // the image is blended over the parent's background when blending is on, then copied to the
    // context canvas was bound to.
    void Paint(win32::TControl& control, win32::TControlCanvas& canvas, bool fill, const std::function<void()>& steps);
    // The parent's background under control into dc, as this mode asks for it.
    void PaintParentBackground(win32::TControl& control, HDC dc) const;

private:
    TVxPerformance m_performance = kspNoBuffer;
    bool m_transparent = false;
    TVxBlending m_blending;
    TVxBitmap m_blendBitmap;
    TFont m_paintFont;
};

}  // namespace zaprelay::skin
