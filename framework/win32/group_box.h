// A frame with a caption that groups controls; radio buttons inside it form one group.
#pragma once

#include "framework/win32/custom_control.h"

namespace zaprelay::win32 {

class TGroupBox : public TCustomControl {
public:
    explicit TGroupBox(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable();
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

protected:
    void Paint() override;
    void CMDialogChar(TMessage& m);
    void CMTextChanged(TMessage& m);
};

}  // namespace zaprelay::win32
