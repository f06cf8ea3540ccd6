// The record a transparent child passes as lParam of WM_ERASEBKGND to ask its parent for the
// background under it; the parent paints that area into the given context.
#pragma once

#include "framework/graphics/geometry.h"
#include "framework/win32/platform.h"

#include <cstdint>

namespace zaprelay::skin {

#pragma pack(push, 1)
struct BackgroundRequest {
    static constexpr uint8_t kChildBackground = 1;

    uint8_t Kind = kChildBackground;
    // The child's bounds in the parent's client coordinates.
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    uint8_t Buffered = 0;  // 1 when the child paints into a buffer

    TRect Bounds() const { return {Left, Top, Right, Bottom}; }
};
#pragma pack(pop)
// Other code of this system reads the same bytes: no padding, fixed offsets.
static_assert(sizeof(BackgroundRequest) == 18);

// A request being asked now. While it lives ReadBackgroundRequest knows its address, so an
// erase message carries a request only when one of ours is in flight on this thread: an lParam
// from another program, or a stale one, is no request.
class TAskedBackground {
public:
    TAskedBackground(const TRect& bounds, bool buffered);
    ~TAskedBackground();
    TAskedBackground(const TAskedBackground&) = delete;
    TAskedBackground& operator=(const TAskedBackground&) = delete;

    const BackgroundRequest& Request() const { return m_request; }
    intptr_t LParam() const { return reinterpret_cast<intptr_t>(&m_request); }

private:
    BackgroundRequest m_request;
};

// The request an erase message carries; none for the system's own erase (lParam 0) and for
// anything that is not a request of this thread being asked now.
const BackgroundRequest* ReadBackgroundRequest(intptr_t lParam);

}  // namespace zaprelay::skin
