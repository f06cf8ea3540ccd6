#include "plugins/kit/code_sender.h"

#include "plugins/include/dcd_plugin.h"
#include "plugins/kit/sent_messages.h"

namespace zaprelay::dcd {

void TCodeSender::Open(HWND target) {
    m_target = target;
    m_stopping = false;
}

void TCodeSender::Send(std::string_view text, int32_t repeatCount) {
    m_sending = true;
    if (!m_stopping && m_target != nullptr) {
        FillCodeRecord(m_record, text);
        SendMessageW(m_target, kCodeReceived, reinterpret_cast<WPARAM>(m_record.data()),
                     static_cast<LPARAM>(repeatCount));
    }
    m_sending = false;
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
