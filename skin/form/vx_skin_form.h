// The form component the program's windows carry. Bound to a skin engine it draws the frame
// from a private copy of one of the skin's objects ("Form" by default): the copy paints the
// frame and the client background, answers hit tests and takes the mouse. Without a skin it
// draws the default look of TVxCustomForm. It is also the form its window's skin objects act
// on: a caption button of the skin finds it with VXM_GETSKINFORM.
#pragma once

#include "skin/form/skin_binding.h"
#include "skin/form/vx_custom_form.h"
#include "skin/objects/skin_host.h"

#include <memory>
#include <string>

namespace zaprelay::win32 {
class TTimer;
}

namespace zaprelay::skin {

class TVxSkinObject;
class TVxVeneer;
class TVxWindowSkinHost;

// A skin button with a custom action was clicked; skinObject is the button.
using TCustomActionEvent = TEvent<void(TObject* sender, TVxSkinObject* skinObject)>;

class TVxSkinForm : public TVxCustomForm, public TVxSkinFormActions {
public:
    static constexpr uint32_t kHoverInterval = 100;  // milliseconds

    explicit TVxSkinForm(TComponent* owner);
    ~TVxSkinForm() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable();
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    // ---- published
    TVxVeneer* Veneer() const { return m_veneer; }
    // Binds to the engine's skin now (or to the default look without one).
    void SetVeneer(TVxVeneer* value);
    // The skin object to copy; taken at the next binding.
    const std::string& SkinObject() const { return m_skinObject; }
    void SetSkinObject(const std::string& value) { m_skinObject = value; }
    TCustomActionEvent OnCustomAction;

    // ---- what the frame shows now
    // Loaded, not being destroyed, linked to an engine whose skin is loaded, and with a copy.
    bool Skinned() const;
    TVxSkinObject* FormObject() const { return m_formObject.get(); }
    TVxSkinObject* ClientObject() const { return m_clientObject; }
    TVxSkinObject* TitleObject() const { return m_titleObject; }
    TVxSkinObject* HotObject() const { return m_hotObject; }
    TVxSkinObject* PressedObject() const { return m_pressedObject; }
    win32::TTimer& HoverTimer() const { return *m_hoverTimer; }

    // ---- what the skin's caption buttons do
    TVxBorderIcons BorderIcons() const override { return TVxCustomForm::BorderIcons(); }
    void Close() override { TVxCustomForm::Close(); }
    void ContextHelp() override { TVxCustomForm::ContextHelp(); }
    void Minimize() override { TVxCustomForm::Minimize(); }
    void Maximize() override { TVxCustomForm::Maximize(); }
    void Restore() override { TVxCustomForm::Restore(); }
    void Rollup() override { TVxCustomForm::Rollup(); }
    void MinToTray() override { TVxCustomForm::MinToTray(); }
    void ShowSystemMenu() override { TVxCustomForm::ShowSystemMenu(); }
    void CustomAction(TVxSkinObject& button) override;

    void AfterRead() override;
    void Notification(TComponent* component, TOperation operation) override;

    // ---- the frame drawn by the skin
    win32::TRegionHandle CreateRegion() override;
    TRect GetButtonRect(TVxBorderIcon button) override;
    TRect GetClientArea() override;
    TRect GetMaximizedRect() override;
    TPoint GetMaxSize() override;
    void PaintFrame(win32::TGdiCanvas& canvas) override;
    void PaintBackground(win32::TGdiCanvas& canvas) override;
    TVxFormRegion HitTest(int32_t x, int32_t y) override;
    void MouseDown(win32::TMouseButton button, win32::TShiftState shift, int32_t x, int32_t y) override;
    void MouseMove(win32::TShiftState shift, int32_t x, int32_t y) override;
    void MouseUp(win32::TMouseButton button, win32::TShiftState shift, int32_t x, int32_t y) override;

protected:
    // Also the skin object pressed: it pops back up, and a later release over it is no click.
    void EndFramePress() override;

private:
    // Copies the chosen object of the engine's skin, or drops the copy when there is no skin.
    void Bind();
    // Forgets the copy and every object of it held.
    void DropFormObject();
    // Tells the owner's controls to read the skin again.
    void NotifyControls();
    // Places the controls named by the skin's link objects on their rectangles.
    void PlaceLinkedControls();
    // The owner as the skin's host window; none when the owner is no control.
    TVxWindowSkinHost* Host();
    void HoverTick();
    void UpdateHoverTimer();

    void VXMSkinChanged(TMessage& m);
    void VXMSkinChanging(TMessage& m);
    void VXMSkinObjectChanged(TMessage& m);
    void VXMGetSkinForm(TMessage& m);

    TVxVeneer* m_veneer = nullptr;
    std::string m_skinObject = "Form";
    TSkinObjectPtr m_formObject;
    TVxSkinObject* m_clientObject = nullptr;
    TVxSkinObject* m_titleObject = nullptr;
    TVxSkinObject* m_hotObject = nullptr;
    TVxSkinObject* m_pressedObject = nullptr;
    std::unique_ptr<TVxWindowSkinHost> m_host;
    std::unique_ptr<win32::TTimer> m_hoverTimer;
};

}  // namespace zaprelay::skin
