#include "skin/form/form_types.h"

namespace zaprelay::skin {

const TEnumInfo kVxBorderIconNames = MakeEnumInfo<kbiTray>(
    "TVxBorderIcon",
    {"kbiClose", "kbiSystemMenu", "kbiMinimize", "kbiMaximize", "kbiHelp", "kbiRollup", "kbiTray"});
const TEnumInfo kVxBorderStyleNames =
    MakeEnumInfo<kbsToolWindow>("TVxBorderStyle", {"kbsNone", "kbsStandard", "kbsToolWindow"});
const TEnumInfo kVxWindowStateNames =
    MakeEnumInfo<kwsTray>("TVxWindowState", {"kwsNormal", "kwsMaximized", "kwsMinimized", "kwsRollup", "kwsTray"});
const TEnumInfo kVxFormPerformanceNames =
    MakeEnumInfo<ksfpDoubleBuffer>("TVxFormPerformance",
                                   {"ksfpNoBuffer", "ksfpSharedBuffer", "ksfpPersistentBuffer", "ksfpDoubleBuffer"});

}  // namespace zaprelay::skin
