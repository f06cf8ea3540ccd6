// The screen: the program's forms in creation order, the active form and control, the
// monitors' work areas and the mouse cursor.
#pragma once

#include "framework/graphics/geometry.h"
#include "framework/win32/controls.h"
#include "framework/win32/platform.h"

#include <vector>

namespace zaprelay::win32 {

class TCustomForm;
class TWinControl;

class TScreen : public TComponent {
public:
    explicit TScreen(TComponent* owner);
    ~TScreen() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    int FormCount() const { return static_cast<int>(m_forms.size()); }
    TCustomForm* Forms(int index) const { return m_forms[static_cast<std::size_t>(index)]; }
    void AddForm(TCustomForm* form);
    void RemoveForm(TCustomForm* form);

    TCustomForm* ActiveForm() const { return m_activeForm; }
    TWinControl* ActiveControl() const { return m_activeControl; }
    void SetActiveForm(TCustomForm* form);
    void SetActiveControl(TWinControl* control, TCustomForm* form);

    static int32_t Width() { return GetSystemMetrics(SM_CXSCREEN); }
    static int32_t Height() { return GetSystemMetrics(SM_CYSCREEN); }
    int PixelsPerInch() const;
    // The primary monitor's work area (the screen without the task bar).
    static TRect WorkAreaRect();
    // The work area and the whole area of the monitor a window is on (the primary one for
    // none). They ask the system, so they serve without a screen object too.
    static TRect MonitorWorkArea(HWND window);
    static TRect MonitorRect(HWND window);

    // The cursor shown over every control of the program while set (crDefault: each
    // control's own).
    TCursor Cursor() const { return m_cursor; }
    void SetCursor(TCursor cursor);
    // The system cursor for a cursor value; the arrow for unknown ones.
    HCURSOR Cursors(TCursor cursor) const;

private:
    std::vector<TCustomForm*> m_forms;
    TCustomForm* m_activeForm = nullptr;
    TWinControl* m_activeControl = nullptr;
    TCursor m_cursor = crDefault;
};

// The program's screen object (made with the application object); none before.
TScreen* Screen();

}  // namespace zaprelay::win32
