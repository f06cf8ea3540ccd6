// Marks where a window control of the host form goes; the skin-bound form moves the control
// named LinkControl onto the object's rectangle. In the placeholder state it shows the name.
#pragma once

#include "skin/objects/skin_object.h"

#include <string>

namespace zaprelay::skin {

class TVxLinkSkinObject : public TVxSkinObject {
public:
    explicit TVxLinkSkinObject(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    // Only in the placeholder state (1): a white box with a black frame and the control's
    // name. Otherwise nothing, children included: the control covers the place.
    void Draw(TCanvas& canvas) override;

    const std::string& LinkControl() const { return m_linkControl; }
    void SetLinkControl(const std::string& value) { m_linkControl = value; }

private:
    std::string m_linkControl;
};

}  // namespace zaprelay::skin
