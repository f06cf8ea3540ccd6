#include "tests/win32/plugin_host.h"

#include "plugins/include/dcd_plugin.h"
#include "tests/win32/test_support.h"

#include <cstring>

namespace zaprelay::test {
namespace {

constexpr wchar_t kHostClass[] = L"ZaprelayPluginTestHost";

std::string CodeText(const char* record) {
    const char* text = record + dcd::kCodeTextOffset;
    return std::string(text, strnlen(text, dcd::kCodeTextSize));
}

}  // namespace

TPluginHost::TPluginHost() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &TPluginHost::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kHostClass;
    RegisterClassW(&wc);
    Window = CreateWindowW(kHostClass, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TPluginHost::~TPluginHost() {
    if (Dcd.Stop != nullptr) {
        Dcd.Stop();
        Dcd.Close();
    }
    DestroyWindow(Window);
    if (m_library != nullptr) {
        FreeLibrary(m_library);
    }
}

bool TPluginHost::Load(const std::string& path) {
    m_library = LoadLibraryA(path.c_str());
    return m_library != nullptr && Dcd.Resolve(m_library);
}

void TPluginHost::OpenAndStart() {
    Dcd.Open(0, static_cast<int32_t>(reinterpret_cast<uintptr_t>(Window)), 0);
    Dcd.Start();
}

bool TPluginHost::WaitForCodes(std::size_t count, DWORD timeoutMs) {
    return PumpUntil([&] { return Received.size() >= count; }, timeoutMs);
}

bool TPluginHost::AnotherCodeComes(std::size_t count, DWORD withinMs) {
    return PumpUntil([&] { return Received.size() > count; }, withinMs);
}

LRESULT CALLBACK TPluginHost::Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* host = reinterpret_cast<TPluginHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (msg == dcd::kCodeReceived && host != nullptr) {
        host->OnCode(reinterpret_cast<const char*>(wParam), lParam);
        return 0;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

void TPluginHost::OnCode(const char* record, LPARAM repeatCount) {
    Received.push_back({CodeText(record), repeatCount, InSendMessage() != 0});
    if (StopInsideHandler) {
        Dcd.Stop();
        Dcd.Close();
        // The record must still be readable after the plug-in was stopped from here.
        TextAfterStop = CodeText(record);
    }
}

}  // namespace zaprelay::test
