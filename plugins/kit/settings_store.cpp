#include "plugins/kit/settings_store.h"

#include "framework/win32/gdi_handles.h"

#include <mutex>

namespace zaprelay::dcd {
namespace {

// A settings file is a few hundred bytes; anything this large is not one of ours to rewrite.
constexpr DWORD kMaxFileSize = 1 << 20;

std::mutex& FileLock() {
    static std::mutex lock;
    return lock;
}

// A file handle is INVALID_HANDLE_VALUE on failure, not null.
struct TFile {
    explicit TFile(HANDLE handle) : Handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    win32::TKernelHandle Handle;
};

enum class TReadResult { Read, Missing, Failed };

TReadResult ReadWhole(const std::string& path, std::string& text) {
    text.clear();
    TFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Handle) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? TReadResult::Missing
                                                                              : TReadResult::Failed;
    }
    DWORD high = 0;
    DWORD size = GetFileSize(file.Handle.Get(), &high);
    if (size == INVALID_FILE_SIZE || high != 0 || size > kMaxFileSize) {
        return TReadResult::Failed;
    }
    text.assign(size, '\0');
    DWORD read = 0;
    if (size > 0 && (!ReadFile(file.Handle.Get(), text.data(), size, &read, nullptr) || read != size)) {
        return TReadResult::Failed;
    }
    return TReadResult::Read;
}

bool WriteWhole(const std::string& path, const std::string& text) {
    std::string temporary = path + ".new";
    {
        TFile file(
            CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Handle) {
            return false;
        }
        DWORD written = 0;
        bool ok = WriteFile(file.Handle.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                  written == text.size() && FlushFileBuffers(file.Handle.Get());
        if (!ok) {
            file.Handle.Reset();
            DeleteFileA(temporary.c_str());
            return false;
        }
    }
    if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

std::string TSettingsStore::PathBeside(HMODULE module, const char* fileName, const char* environmentVariable) {
    if (environmentVariable != nullptr) {
        char value[MAX_PATH * 2];
        DWORD length = GetEnvironmentVariableA(environmentVariable, value, sizeof value);
        if (length > 0 && length < sizeof value) {
            return std::string(value, length);
        }
    }
    char path[MAX_PATH];
    DWORD pathLength = GetModuleFileNameA(module, path, MAX_PATH);
    std::string folder(path, pathLength < MAX_PATH ? pathLength : 0);
    std::size_t slash = folder.find_last_of("\\/");
    // Without the module's own folder there is no file of ours: a bare name would read and
    // write some other folder's file (the current one's).
    if (slash == std::string::npos) {
        return std::string();
    }
    folder.erase(slash + 1);
    return folder + fileName;
}

std::optional<std::string> TSettingsStore::Read() const {
    if (m_path.empty()) {
        return std::nullopt;
    }
    std::lock_guard<std::mutex> lock(FileLock());
    std::string text;
    if (ReadWhole(m_path, text) == TReadResult::Failed) {
        return std::nullopt;
    }
    return text;
}

bool TSettingsStore::Rewrite(const std::function<std::string(const std::string&)>& edit) const {
    if (m_path.empty()) {
        return false;
    }
    std::lock_guard<std::mutex> lock(FileLock());
    std::string text;
    if (ReadWhole(m_path, text) == TReadResult::Failed) {
        return false;
    }
    // A file marked read-only stays as it is, even where the system would let us replace it.
    DWORD attributes = GetFileAttributesA(m_path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return false;
    }
    std::string updated = edit(text);
    return updated == text || WriteWhole(m_path, updated);
}

}  // namespace zaprelay::dcd
