// Controls that paint themselves on a canvas: windowed ones (TCustomControl) and window-less
// ones that paint on their parent's window (TGraphicControl).
#pragma once

#include "framework/win32/gdi_canvas.h"
#include "framework/win32/win_control.h"

#include <memory>

namespace zaprelay::win32 {

// A canvas over a device context that can be bound to another context and back (a paint's
// context, a buffer's, a parent's). Locking keeps a painter from rebinding it underneath.
class TControlCanvas {
public:
    HDC Handle() const { return m_dc; }
    // Borrows dc; none unbinds.
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return m_dc != nullptr; }
    // The canvas over the bound context; EInvalidOperation "Canvas does not allow drawing"
    // when none is bound.
    TGdiCanvas& Canvas();
    void Lock() { ++m_locks; }
    void Unlock() { --m_locks; }
    int LockCount() const { return m_locks; }

private:
    HDC m_dc = nullptr;
    std::unique_ptr<TGdiCanvas> m_canvas;
    int m_locks = 0;
};

class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable();
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    TControlCanvas& Canvas() { return m_canvas; }

protected:
    // Draws the control with Canvas() bound to the paint's context.
    virtual void Paint() {}
    void PaintWindow(HDC dc) override;
    void WMPaint(TMessage& m);

private:
    TControlCanvas m_canvas;
};

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable();
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    TControlCanvas& Canvas() { return m_canvas; }

protected:
    // Draws the control, origin at its top-left corner, with Canvas() bound to the
    // parent's paint context.
    virtual void Paint() {}
    void WMPaint(TMessage& m);

private:
    TControlCanvas m_canvas;
};

}  // namespace zaprelay::win32
