// Helpers shared by the Win32 tests: a scratch folder, the folder of the test binaries,
// message pumping with a deadline, and whole-file reads.
#pragma once

#include "framework/win32/platform.h"

#include <functional>
#include <string>

namespace zaprelay::test {

// Folder of the running test exe, with a trailing separator (the stand-ins sit beside it).
std::string BinaryFolder();

// A fresh folder under the temp path, removed with its files when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return m_path; }  // with a trailing separator

private:
    std::string m_path;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);

// Dispatches messages (through dispatch when given, else directly) until done() or the
// deadline; returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000, const std::function<void()>& dispatch = {});

// The process's USER (GR_USEROBJECTS) or GDI (GR_GDIOBJECTS) objects: GetGuiResources where
// the system counts; Wine's is a stub that returns 0, and there the handle tables are probed
// (a 16-bit handle value finds the object of any generation).
DWORD CountGuiObjects(DWORD kind);

// Starts a program of the host system (under Wine, a Linux program named by its Unix path,
// its arguments after it). Wine hands back no usable handle (nothing to wait on or close), so
// callers look for what the program does instead. False when it could not be started.
bool StartHostProgram(const std::string& commandLine);

// Dispatches the messages already waiting, then returns.
void ProcessPendingMessages();

}  // namespace zaprelay::test
