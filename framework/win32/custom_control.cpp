#include "framework/win32/custom_control.h"

#include "framework/rtl/exceptions.h"

namespace zaprelay::win32 {

void TControlCanvas::SetHandle(HDC dc) {
    if (dc == m_dc) {
        return;
    }
    m_canvas.reset();
    m_dc = dc;
    if (dc != nullptr) {
        m_canvas = std::make_unique<TGdiCanvas>(dc);
    }
}

TGdiCanvas& TControlCanvas::Canvas() {
    if (!m_canvas) {
        throw EInvalidOperation("Canvas does not allow drawing");
    }
    return *m_canvas;
}

// Binds a canvas to a context for one paint and unbinds it afterwards, also on failure.
class TCanvasBinding {
public:
    TCanvasBinding(TControlCanvas& canvas, HDC dc) : m_canvas(canvas), m_old(canvas.Handle()) {
        m_canvas.Lock();
        m_canvas.SetHandle(dc);
    }
    ~TCanvasBinding() {
        m_canvas.SetHandle(m_old);
        m_canvas.Unlock();
    }
    TCanvasBinding(const TCanvasBinding&) = delete;
    TCanvasBinding& operator=(const TCanvasBinding&) = delete;

private:
    TControlCanvas& m_canvas;
    HDC m_old;
};

// ---------------------------------------------------------------- TCustomControl

const TClassInfo& TCustomControl::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TCustomControl, TWinControl>("TCustomControl");
    return info;
}

const TMessageTable& TCustomControl::StaticMessageTable() {
    static const TMessageTable table =
        TMessageTable::For<TCustomControl, TWinControl>().On<&TCustomControl::WMPaint>(WM_PAINT);
    return table;
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {
    IncludeControlState(csCustomPaint);
}

TCustomControl::~TCustomControl() = default;

void TCustomControl::WMPaint(TMessage& m) {
    PaintHandler(m);
}

void TCustomControl::PaintWindow(HDC dc) {
    TCanvasBinding binding(m_canvas, dc);
    Paint();
}

// ---------------------------------------------------------------- TGraphicControl

const TClassInfo& TGraphicControl::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TGraphicControl, TControl>("TGraphicControl");
    return info;
}

const TMessageTable& TGraphicControl::StaticMessageTable() {
    static const TMessageTable table =
        TMessageTable::For<TGraphicControl, TControl>().On<&TGraphicControl::WMPaint>(WM_PAINT);
    return table;
}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WMPaint(TMessage& m) {
    if (m.WParam == 0 || !Visible()) {
        return;
    }
    TCanvasBinding binding(m_canvas, reinterpret_cast<HDC>(m.WParam));
    Paint();
}

}  // namespace zaprelay::win32
