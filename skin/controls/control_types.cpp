#include "skin/controls/control_types.h"

#include <array>

namespace zaprelay::skin {

const TEnumInfo kVxPerformanceNames =
    MakeEnumInfo<kspDoubleBuffer>("TVxPerformance", {"kspNoBuffer", "kspSharedBuffer", "kspDoubleBuffer"});
const TEnumInfo kVxBevelCutNames =
    MakeEnumInfo<kbvFlatBorder>("TVxBevelCut",
                                {"kbvNone", "kbvLowered", "kbvRaised", "kbvSpace", "kbvBorder", "kbvFlatBorder"});
const TEnumInfo kVxBevelKindNames =
    MakeEnumInfo<kbkFlat>("TVxBevelKind", {"kbkNone", "kbkSingle", "kbkTile", "kbkSoft", "kbkBorder", "kbkFlat"});
const TEnumInfo kVxBevelSideNames =
    MakeEnumInfo<kbsBottom>("TVxBevelSide", {"kbsLeft", "kbsTop", "kbsRight", "kbsBottom"});
const TEnumInfo kVxLeftRightNames =
    MakeEnumInfo<ktaCenter>("TVxLeftRight", {"ktaLeftJustify", "ktaRightJustify", "ktaCenter"});

TVxBevelCut BevelKindCut(TVxBevelKind kind) {
    switch (kind) {
        case kbkBorder:
            return kbvBorder;
        case kbkFlat:
            return kbvFlatBorder;
        case kbkNone:
            return kbvNone;
        default:
            return kbvLowered;
    }
}

TBevelColors BevelCutColors(TVxBevelCut cut, bool inner) {
    // Per cut: the outer ring's colours, then the inner ring's.
    struct TCutColors {
        TBevelColors Outer;
        TBevelColors Inner;
    };
    static constexpr std::array<TCutColors, 6> kColors{{
        {{clBtnFace, clBtnFace}, {clBtnFace, clBtnFace}},  // kbvNone is never drawn
        {{clBtnShadow, clBtnHighlight}, {cl3DDkShadow, clBtnFace}},
        {{clBtnHighlight, cl3DDkShadow}, {clBtnShadow, clBtnShadow}},
        {{clBtnFace, clBtnFace}, {clBtnFace, clBtnFace}},
        {{cl3DDkShadow, cl3DDkShadow}, {clWindow, clWindow}},
        {{clBtnShadow, clBtnShadow}, {clBtnFace, clBtnFace}},
    }};
    const TCutColors& colors = kColors[cut < kColors.size() ? cut : kbvNone];
    return inner ? colors.Inner : colors.Outer;
}

}  // namespace zaprelay::skin
