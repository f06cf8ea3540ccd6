// The skin-bound form's frame: painted, shaped, measured and hit-tested by its copy of the
// skin's form object, which also takes the mouse.
#include "framework/graphics/pixel.h"
#include "framework/graphics/vx_bitmap.h"
#include "framework/rtl/strings.h"
#include "framework/win32/dib_storage.h"
#include "framework/win32/forms.h"
#include "framework/win32/screen.h"
#include "skin/form/frame_geometry.h"
#include "skin/form/vx_skin_form.h"
#include "skin/objects/link_skin_object.h"
#include "skin/objects/skin_object.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace zaprelay::skin {
namespace {

TVxFormRegion RegionOfKind(TVxKind kind) {
    switch (kind) {
        case skCaption:
        case skTitle:
            return khrCaption;
        case skTop:
            return khrTop;
        case skLeft:
            return khrLeft;
        case skRight:
            return khrRight;
        case skBottom:
            return khrBottom;
        case skTopLeft:
            return khrTopLeft;
        case skTopRight:
            return khrTopRight;
        case skBottomLeft:
            return khrBottomLeft;
        case skBottomRight:
            return khrBottomRight;
        case skSysButton:
            return khrSkinButton;
        default:
            return khrNone;
    }
}

// The skin object's state for a window state: the kinds choose images and show or hide
// their system buttons by it.
uint8_t FrameState(TVxWindowState state) {
    switch (state) {
        case kwsMaximized:
            return 2;
        case kwsMinimized:
        case kwsTray:
            return 3;
        case kwsRollup:
            return 4;
        case kwsNormal:
            break;
    }
    return 0;
}

// Hides an object for one frame paint (the client area is painted apart).
class THidden {
public:
    explicit THidden(TVxSkinObject* object) : m_object(object) {
        if (m_object != nullptr) {
            m_visible = std::exchange(m_object->Visible, false);
        }
    }
    ~THidden() {
        if (m_object != nullptr) {
            m_object->Visible = m_visible;
        }
    }
    THidden(const THidden&) = delete;
    THidden& operator=(const THidden&) = delete;

private:
    TVxSkinObject* m_object;
    bool m_visible = true;
};

}  // namespace

// ---------------------------------------------------------------- painting

void TVxSkinForm::PaintFrame(win32::TGdiCanvas& canvas) {
    if (!Skinned() || MaximizedMdiChild() || BorderStyle() == kbsNone) {
        TVxCustomForm::PaintFrame(canvas);
        return;
    }
    TVxSkinObject& form = *m_formObject;
    form.SetActive(FrameActive());
    form.SetState(FrameState(WindowState()));
    if (m_titleObject != nullptr && Target() != nullptr) {
        m_titleObject->Text = Target()->Text() + CaptionSuffix();
    }
    THidden hidden(m_clientObject);
    // Where the skin is see-through inside the window's shape (a frame masked as a rectangle
    // around rounded corners), the form's colour shows instead of whatever the screen held.
    const TRect whole{0, 0, FormSize().X, FormSize().Y};
    const int32_t bandHeight = m_clientObject != nullptr ? std::min(m_clientObject->Top(), FormSize().Y) : 0;
    if (Performance() != ksfpNoBuffer || m_clientObject == nullptr || bandHeight <= 0 || whole.IsEmpty()) {
        canvas.FillRect(whole, form.Color());
        form.Draw(canvas);
        return;
    }
    // Unbuffered, the caption band is drawn off the screen first and shown in one copy: the
    // title would flicker while its pieces are drawn over one another.
    TVxBitmap band;
    band.SetSize(whole.Width(), bandHeight);
    band.Fill(TransparentColor);
    if (HDC bandDC = win32::BitmapDC(band)) {
        win32::TGdiCanvas bandCanvas(bandDC);
        bandCanvas.FillRect(whole, form.Color());
        form.Draw(bandCanvas);
        GdiFlush();
    }
    band.Draw(canvas, 0, 0, true);
    canvas.Save();
    canvas.ExcludeClipRect({0, 0, whole.Width(), bandHeight});
    canvas.FillRect(whole, form.Color());
    form.Draw(canvas);
    canvas.Restore();
}

void TVxSkinForm::PaintBackground(win32::TGdiCanvas& canvas) {
    if (!Skinned()) {
        TVxCustomForm::PaintBackground(canvas);
        return;
    }
    if (m_clientObject == nullptr) {
        m_formObject->SetActive(FrameActive());
        m_formObject->Draw(canvas);
        return;
    }
    m_clientObject->SetActive(FrameActive());
    const TPoint origin = canvas.Origin();
    canvas.SetOrigin({origin.X + m_clientObject->Left(), origin.Y + m_clientObject->Top()});
    m_clientObject->Draw(canvas);
    canvas.SetOrigin(origin);
}

// ---------------------------------------------------------------- geometry

TRect TVxSkinForm::GetClientArea() {
    if (!Skinned() || MaximizedMdiChild() || BorderStyle() == kbsNone) {
        return TVxCustomForm::GetClientArea();
    }
    if (m_clientObject == nullptr) {
        return {0, 0, FormSize().X, FormSize().Y};
    }
    // A client object at the window's corner is the skin's whole window: the default frame
    // then stays around it.
    if (m_clientObject->Left() != 0 || m_clientObject->Top() != 0) {
        return m_clientObject->BoundsRect();
    }
    return TVxCustomForm::GetClientArea();
}

TRect TVxSkinForm::GetButtonRect(TVxBorderIcon button) {
    // The skin's buttons are objects of the copy.
    return Skinned() ? TRect() : TVxCustomForm::GetButtonRect(button);
}

TRect TVxSkinForm::GetMaximizedRect() {
    if (!Skinned() || MdiChild()) {
        return TVxCustomForm::GetMaximizedRect();
    }
    // The skin's frame has no hidden border to push off the screen.
    return StayOnTop() ? win32::TScreen::MonitorRect(Window()) : win32::TScreen::MonitorWorkArea(Window());
}

TPoint TVxSkinForm::GetMaxSize() {
    if (!Skinned() || MdiChild()) {
        return TVxCustomForm::GetMaxSize();
    }
    return MaxFormSize(GetMaximizedRect(), Constraints()->MaxWidth(), Constraints()->MaxHeight());
}

win32::TRegionHandle TVxSkinForm::CreateRegion() {
    if (!Skinned()) {
        return TVxCustomForm::CreateRegion();
    }
    if (MaximizedMdiChild() || BorderStyle() == kbsNone) {
        if (m_clientObject != nullptr) {
            m_clientObject->SetBounds(0, 0, FormSize().X, FormSize().Y);
        }
        return TVxCustomForm::CreateRegion();
    }
    if (m_clientObject != nullptr) {
        m_formObject->SetBounds(0, 0, FormSize().X, FormSize().Y);
    }
    PlaceLinkedControls();
    std::optional<TRegion> shape = m_formObject->CreateMaskRegion();
    if (!shape) {
        return TVxCustomForm::CreateRegion();
    }
    return win32::CreateWindowRegion(*shape);
}

void TVxSkinForm::PlaceLinkedControls() {
    auto* owner = dynamic_cast<win32::TWinControl*>(Owner());
    if (owner == nullptr || !m_formObject) {
        return;
    }
    const TRect area = GetClientArea();
    // Each object's parent: the copy's nodes own their children.
    std::function<void(TVxSkinObject&)> visit = [&](TVxSkinObject& parent) {
        parent.ForEachChild([&](TVxSkinObject& object) {
            if (auto* link = dynamic_cast<TVxLinkSkinObject*>(&object)) {
                for (int i = 0; i < owner->ControlCount(); ++i) {
                    win32::TControl* control = owner->Controls(i);
                    if (!SameText(control->Name(), link->LinkControl())) {
                        continue;
                    }
                    const TRect rect = link->BoundsRect();
                    if (Intersect(rect, parent.BoundsRect()).IsEmpty()) {
                        control->SetBoundsRect(TRect());
                    } else {
                        control->SetBoundsRect(rect.Offset(-area.Left, -area.Top));
                    }
                    break;
                }
            }
            visit(object);
        });
    };
    visit(*m_formObject);
}

// ---------------------------------------------------------------- hit test and mouse

TVxFormRegion TVxSkinForm::HitTest(int32_t x, int32_t y) {
    if (!Skinned()) {
        return TVxCustomForm::HitTest(x, y);
    }
    if (SizeGripRect().Contains({x, y})) {
        return khrBottomRight;
    }
    TVxSkinObject* object = m_formObject->ObjectAtPoint({x, y});
    const TVxFormRegion region = object != nullptr ? RegionOfKind(object->Kind()) : khrNone;
    // A frame piece of no kind of its own is frame all the same: as client area the window
    // would get clicks outside its client rectangle.
    if (region == khrNone && !GetClientArea().Contains({x, y}) &&
        TRect{0, 0, FormSize().X, FormSize().Y}.Contains({x, y})) {
        return khrBorder;
    }
    return region;
}

void TVxSkinForm::MouseDown(win32::TMouseButton button, win32::TShiftState shift, int32_t x, int32_t y) {
    TVxCustomForm::MouseDown(button, shift, x, y);
    if (!Skinned()) {
        return;
    }
    TVxSkinObject* object = m_formObject->ObjectAtPoint({x, y});
    m_pressedObject = object;
    if (object == nullptr) {
        return;
    }
    if (shift & win32::ssDouble) {
        object->DblClick(button, x - object->Left(), y - object->Top());
    } else {
        object->MouseDown(button, x - object->Left(), y - object->Top());
    }
}

void TVxSkinForm::MouseMove(win32::TShiftState shift, int32_t x, int32_t y) {
    TVxCustomForm::MouseMove(shift, x, y);
    if (!Skinned()) {
        return;
    }
    TVxSkinObject* object = m_formObject->ObjectAtPoint({x, y});
    const bool held = (shift & (win32::ssLeft | win32::ssRight)) != 0;
    if (object != nullptr && (!held || object == m_pressedObject)) {
        object->MouseMove(shift, x - object->Left(), y - object->Top());
    }
}

void TVxSkinForm::MouseUp(win32::TMouseButton button, win32::TShiftState shift, int32_t x, int32_t y) {
    TVxCustomForm::MouseUp(button, shift, x, y);
    TVxSkinObject* pressed = std::exchange(m_pressedObject, nullptr);
    if (!Skinned()) {
        return;
    }
    // Only to the object pressed: a press on one button and a release over another is neither's
    // click. Last: the button's action may close the form or change the skin.
    TVxSkinObject* object = m_formObject->ObjectAtPoint({x, y});
    if (object != nullptr && object == pressed) {
        object->MouseUp(button, x - object->Left(), y - object->Top());
    }
}

void TVxSkinForm::EndFramePress() {
    TVxCustomForm::EndFramePress();
    TVxSkinObject* pressed = std::exchange(m_pressedObject, nullptr);
    if (pressed != nullptr && Skinned()) {
        pressed->MouseLeave();
        // Hot again at the hover timer's next look if the pointer is still there.
        if (m_hotObject == pressed) {
            m_hotObject = nullptr;
        }
    }
}

}  // namespace zaprelay::skin
