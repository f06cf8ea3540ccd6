// Compiled by CTest with ZR_MISUSE set to one case: case 0 is the right use and must compile;
// every other case is a mistake in a class table that must not compile (each test expects its
// own diagnostic, so an unrelated error does not pass for one).
#include "framework/rtl/component.h"
#include "framework/rtl/font.h"

namespace zaprelay::misuse {

enum TSide { sdLeft, sdTop, sdRight };

class TRightItem : public TPersistent {
public:
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    TSide Side() const { return m_side; }
    void SetSide(TSide side) { m_side = side; }

private:
    TSide m_side = sdLeft;
};

// No ClassInfo override: objects would report TPersistent.
class TNoClassInfo : public TPersistent {
public:
    static const TClassInfo& StaticClassInfo();
};

// No StaticClassInfo of its own: the parent's would be taken for its own.
class TNoStaticClassInfo : public TRightItem {
public:
    const TClassInfo& ClassInfo() const override { return TRightItem::StaticClassInfo(); }
};

#if ZR_MISUSE == 0
const TEnumInfo kSideNames = MakeEnumInfo<sdRight>("TSide", {"sdLeft", "sdTop", "sdRight"});
const TClassInfo& TRightItem::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TRightItem, TPersistent>("TRightItem");
        TClassBuilder<TRightItem>(i).Enum("Side", kSideNames, &TRightItem::Side, &TRightItem::SetSide, sdLeft);
        return i;
    }();
    return info;
}
#elif ZR_MISUSE == 1
const TClassInfo& TNoClassInfo::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TNoClassInfo, TPersistent>("TNoClassInfo");
    return info;
}
#elif ZR_MISUSE == 2
const TClassInfo& Table() {
    static const TClassInfo info = NewClassInfo<TNoStaticClassInfo, TRightItem>("TNoStaticClassInfo");
    return info;
}
#elif ZR_MISUSE == 3
const TClassInfo& TRightItem::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TRightItem, TComponent>("TRightItem");
    return info;
}
#elif ZR_MISUSE == 4
const TEnumInfo kSideNames = MakeEnumInfo<sdRight>("TSide", {"sdLeft", "sdTop"});
#elif ZR_MISUSE == 5
const TClassInfo& TRightItem::StaticClassInfo() {
    static const TClassInfo info("TRightItem", &TPersistent::StaticClassInfo());
    return info;
}
#elif ZR_MISUSE == 6
const TEnumInfo kSideNames{"TSide", {"sdLeft", "sdTop", "sdRight"}};
#elif ZR_MISUSE == 7
const TClassInfo& TRightItem::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TRightItem>("TRightItem");
    return info;
}
#elif ZR_MISUSE == 8
const TClassInfo& TNoClassInfo::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = TPersistent::StaticClassInfo();
        TClassBuilder<TNoClassInfo>{i};
        return i;
    }();
    return info;
}
#endif

}  // namespace zaprelay::misuse
