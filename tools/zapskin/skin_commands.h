// The zapskin subcommands that work on skins: inspect, convert between containers, unpack to
// and pack from the author's folder form, and draw one object.
#pragma once

#include "skin/objects/object_kinds.h"
#include "tools/zapskin/zapskin_commands.h"

#include <cstdint>
#include <string_view>

namespace zaprelay::zapskin {

// The largest side of a picture render draws.
inline constexpr int32_t kMaxRenderSide = skin::kMaxDrawnSide;

void RunInfo(const TInvocation& invocation);
void RunConvert(const TInvocation& invocation);
void RunUnpack(const TInvocation& invocation);
void RunPack(const TInvocation& invocation);
void RunRender(const TInvocation& invocation);

struct TRenderSize {
    int32_t Width = 0;
    int32_t Height = 0;
};
// "WxH" with each side 1 to kMaxRenderSide; false for anything else.
bool ParseRenderSize(std::string_view text, TRenderSize& size);

}  // namespace zaprelay::zapskin
