#include "skin/form/frame_metrics.h"

#include "framework/win32/platform.h"

namespace zaprelay::skin {
namespace {

TFrameMetrics g_metrics;

}  // namespace

const TFrameMetrics& FrameMetrics() {
    return g_metrics;
}

TFrameMetrics ReadSystemFrameMetrics() {
    TFrameMetrics metrics;
    metrics.CaptionHeight = GetSystemMetrics(SM_CYCAPTION);
    metrics.ToolCaptionHeight = GetSystemMetrics(SM_CYSMCAPTION);
    metrics.FrameWidth = GetSystemMetrics(SM_CXFRAME);
    metrics.ButtonWidth = GetSystemMetrics(SM_CXSIZE);
    metrics.ButtonHeight = GetSystemMetrics(SM_CYSIZE);
    return metrics;
}

const TFrameMetrics& RefreshFrameMetrics() {
    g_metrics = ReadSystemFrameMetrics();
    return g_metrics;
}

}  // namespace zaprelay::skin
