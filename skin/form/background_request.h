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

inline BackgroundRequest MakeBackgroundRequest(const TRect& bounds, bool buffered) {
    BackgroundRequest request;
    request.Left = bounds.Left;
    request.Top = bounds.Top;
    request.Right = bounds.Right;
    request.Bottom = bounds.Bottom;
    request.Buffered = buffered ? 1 : 0;
    return request;
}

// The request an erase message carries; none for the system's own erase (lParam 0), for
// records of another kind, and for a message from another thread or program: its lParam is no
// address of ours.
inline const BackgroundRequest* ReadBackgroundRequest(intptr_t lParam) {
    if (InSendMessage()) {
        return nullptr;
    }
    const auto* request = reinterpret_cast<const BackgroundRequest*>(lParam);
    return request != nullptr && request->Kind == BackgroundRequest::kChildBackground ? request : nullptr;
}

}  // namespace zaprelay::skin
