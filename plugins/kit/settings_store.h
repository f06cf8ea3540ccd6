// A plug-in's own small settings file. Each save rewrites the file's text under one lock,
// through a temporary file, so two writers never lose each other's values and a failed write
// leaves the old file.
#pragma once

#include "framework/win32/platform.h"

#include <functional>
#include <optional>
#include <string>

namespace zaprelay::dcd {

class TSettingsStore {
public:
    explicit TSettingsStore(std::string path) : m_path(std::move(path)) {}

    // The file named fileName in the module's folder, or the path in the environment
    // variable when it is set (tests point several plug-ins at files of their own). Empty when
    // the module's path cannot be had (too long for the system's ANSI calls): a store without
    // a path reads nothing and saves nothing.
    static std::string PathBeside(HMODULE module, const char* fileName, const char* environmentVariable = nullptr);

    const std::string& Path() const { return m_path; }

    // The file's text; empty when it is missing, nothing when it cannot be read.
    std::optional<std::string> Read() const;

    // Writes edit(text) when it differs from the text. False when the file could not be read
    // whole (it is then left alone), is marked read-only, or could not be written.
    bool Rewrite(const std::function<std::string(const std::string&)>& edit) const;

private:
    std::string m_path;
};

}  // namespace zaprelay::dcd
