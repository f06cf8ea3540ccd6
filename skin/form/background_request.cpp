#include "skin/form/background_request.h"

#include <algorithm>
#include <vector>

namespace zaprelay::skin {

namespace {

// Requests nest: a transparent child inside a transparent group asks, and the group asks on.
thread_local std::vector<const BackgroundRequest*> t_asked;

}  // namespace

TAskedBackground::TAskedBackground(const TRect& bounds, bool buffered) {
    m_request.Left = bounds.Left;
    m_request.Top = bounds.Top;
    m_request.Right = bounds.Right;
    m_request.Bottom = bounds.Bottom;
    m_request.Buffered = buffered ? 1 : 0;
    t_asked.push_back(&m_request);
}

TAskedBackground::~TAskedBackground() {
    t_asked.erase(std::remove(t_asked.begin(), t_asked.end(), &m_request), t_asked.end());
}

const BackgroundRequest* ReadBackgroundRequest(intptr_t lParam) {
    const auto* request = reinterpret_cast<const BackgroundRequest*>(lParam);
    if (request == nullptr || std::find(t_asked.begin(), t_asked.end(), request) == t_asked.end()) {
        return nullptr;
    }
    return request->Kind == BackgroundRequest::kChildBackground ? request : nullptr;
}

}  // namespace zaprelay::skin
