// A panel that rolls to a set width or height and back, keeping the edge opposite the roll
// side where it is. A caption button with the sbaRollPanel action rolls it.
#pragma once

#include "skin/objects/object_kinds.h"
#include "skin/objects/skin_object.h"

#include <cstdint>

namespace zaprelay::skin {

class TVxRollPanelObject : public TVxSkinObject {
public:
    explicit TVxRollPanelObject(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    // Rolls in to RollValue, or back out to the size it had before; only for a panel that is
    // part of a tree. Lets pending repaints show afterwards, as its last act: a message run
    // then may free the tree, so callers must not touch it after Roll returns.
    void Roll();

    TVxRollKind RollKind() const { return m_rollKind; }
    void SetRollKind(TVxRollKind value) { m_rollKind = value; }
    int32_t RollValue() const { return m_rollValue; }
    void SetRollValue(int32_t value) { m_rollValue = value; }

    // The size before the last roll-in; lives in this copy only.
    int32_t RestoreSize = 0;

private:
    TVxRollKind m_rollKind = rkLeft;
    int32_t m_rollValue = 0;
};

}  // namespace zaprelay::skin
