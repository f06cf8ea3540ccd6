// The application object: a hidden window that owns every form, the message loop, the main
// form, minimizing and restoring the program, the standard error box, mouse-over tracking
// for the controls and their hints.
#pragma once

#include "framework/win32/icon.h"
#include "framework/win32/win_control.h"

#include <exception>
#include <memory>
#include <string>

namespace zaprelay::win32 {

class TCustomForm;
class THintWindow;

using TExceptionEvent = TEvent<void(TObject* sender, const std::exception& error)>;
using TMessageEvent = TEvent<void(MSG& message, bool& handled)>;
using TIdleEvent = TEvent<void(TObject* sender, bool& done)>;

class TApplication : public TComponent {
public:
    // Makes the hidden application window and the screen object; there is one per program.
    explicit TApplication(TComponent* owner = nullptr);
    ~TApplication() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    HWND Handle() const { return m_window; }
    // The program's name in message boxes and the tray; the executable's name by default.
    const std::u16string& Title() const { return m_title; }
    void SetTitle(const std::u16string& title);
    // The program's icon: the "MAINICON" resource when the program has one.
    TIcon* Icon() { return &m_icon; }

    // The first form made with CreateForm, unless set otherwise.
    TCustomForm* MainForm() const { return m_mainForm; }
    void SetMainForm(TCustomForm* form) { m_mainForm = form; }
    template <typename T>
    T* CreateForm() {
        T* form = new T(this);
        if (m_mainForm == nullptr) {
            m_mainForm = form;
        }
        return form;
    }
    bool ShowMainForm() const { return m_showMainForm; }
    void SetShowMainForm(bool value) { m_showMainForm = value; }

    // Shows the main form and handles messages until Terminate.
    void Run();
    // Handles every message waiting now, then returns.
    void ProcessMessages();
    // Handles one message, or waits for one after the idle work.
    void HandleMessage();
    // Ends the message loop (a quit message, so the messages before it are handled first).
    void Terminate();
    bool Terminated() const { return m_terminated; }

    void Minimize();
    void Restore();
    bool Minimized() const { return m_minimized; }

    // Call inside a catch block: OnException, or the standard error box with the message.
    void HandleException(TObject* sender);
    // The standard error box: the text, the application title, an OK button, the error icon.
    void ShowException(const std::exception& error);

    // ---- hints
    // Starts the hint of the control under a screen point, as if the mouse had come to it
    // (window-less parts of a window, such as skin caption buttons, ask for theirs so).
    void ActivateHint(TPoint screenPoint);
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool value);
    int HintPause() const { return m_hintPause; }
    void SetHintPause(int ms) { m_hintPause = ms; }
    int HintHidePause() const { return m_hintHidePause; }
    void SetHintHidePause(int ms) { m_hintHidePause = ms; }
    // The hint window while it shows a hint; none otherwise.
    HWND HintWindow() const;
    const std::u16string& ShownHint() const { return m_shownHint; }
    void CancelHint();

    // ---- called by controls
    // The mouse moved over window (a control's window): CM_MOUSELEAVE to the control it left,
    // CM_MOUSEENTER to the one it is over now, hints started.
    void TrackMouse(TWinControl* window, const TMessage& message);
    // The mouse left window for a window that is not ours.
    void MouseLeft(TWinControl* window);
    TControl* MouseControl() const { return m_mouseControl; }
    void ControlDestroyed(TControl* control);
    void FormDestroyed(TCustomForm* form);

    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TExceptionEvent OnException;
    TNotifyEvent OnHint;
    TIdleEvent OnIdle;
    TMessageEvent OnMessage;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;

private:
    static LRESULT CALLBACK AppWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    bool ProcessMessage(MSG& msg);
    bool IsMDIMsg(MSG& msg);
    bool IsKeyMsg(MSG& msg);
    void Idle();
    void StartHintTimer(int ms);
    void ShowHintNow();

    HWND m_window = nullptr;
    std::u16string m_title;
    TIcon m_icon;
    TCustomForm* m_mainForm = nullptr;
    bool m_showMainForm = true;
    bool m_terminated = false;
    bool m_minimized = false;
    bool m_handlingException = false;
    TControl* m_mouseControl = nullptr;
    bool m_showHint = true;
    int m_hintPause = 500;
    int m_hintHidePause = 2500;
    TControl* m_hintControl = nullptr;
    std::u16string m_shownHint;
    std::unique_ptr<THintWindow> m_hintWindow;
};

// The program's application object; none before it is made or after it is gone.
TApplication* Application();

// For the catch blocks at the entries from the system (window procedures, timers, plug-in
// calls): hands the exception in flight to the application, or shows it in a plain error
// box when there is no application object. Never throws.
void HandleCurrentException(TObject* sender) noexcept;

// UTF-16 from text in the ANSI code page (exception messages, file names).
std::u16string WideFromAnsi(const std::string& text);
// And back; characters the code page lacks become its default character.
std::string AnsiFromWide(const std::u16string& text);

// The folder of the running program, with a trailing separator (ANSI, as the files beside it
// are opened by the ANSI functions).
std::string ExecutableFolder();

}  // namespace zaprelay::win32
