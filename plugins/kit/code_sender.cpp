#include "plugins/kit/code_sender.h"

#include "plugins/include/dcd_plugin.h"
#include "plugins/kit/sent_messages.h"

namespace zaprelay::dcd {

void TCodeSender::Open(HWND target) {
    m_target = target;
    m_stopping = false;
}

bool TCodeSender::Send(std::string_view text, int32_t repeatCount) {
    if (!m_limiter.Allow(text, repeatCount, GetTickCount())) {
        return false;
    }
    TCodeRecord record;
    FillCodeRecord(record, text);
    return SendRecord(record, repeatCount);
}

bool TCodeSender::SendRecord(const TCodeRecord& record, int32_t repeatCount) {
    // Marked as under way before looking at the stop: Stop either sees this send or is seen.
    m_sending = true;
    const bool deliver = !m_stopping && m_target != nullptr;
    if (deliver) {
        m_record = record;
        SendMessageW(m_target, kCodeReceived, reinterpret_cast<WPARAM>(m_record.data()),
                     static_cast<LPARAM>(repeatCount));
    }
    m_sending = false;
    return deliver;
}

void TCodeSender::BeginStop() {
    m_stopping = true;
    if (m_sending && InSendMessage()) {
        ReplyMessage(0);
    }
}

void TCodeSender::WaitForSendToEnd() const {
    while (m_sending) {
        WaitPumpingSentMessages(nullptr, 0, 20);
    }
}

}  // namespace zaprelay::dcd
