// How a zapskin command ties a failure to the file it concerns, so the one error line names
// the file the user has to look at.
#pragma once

#include "framework/rtl/exceptions.h"

#include <exception>
#include <string>
#include <utility>

namespace zaprelay::zapskin {

// A failure tied to one file, reported as "zapskin: PATH: message".
class EFileFailure : public Exception {
public:
    EFileFailure(std::string path, const std::string& message) : Exception(message), m_path(std::move(path)) {}
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// Runs step and ties any failure in it to path; a failure already tied to a file keeps its file.
template <typename Step>
void OnFile(const std::string& path, Step step) {
    try {
        step();
    } catch (const EFileFailure&) {
        throw;
    } catch (const std::exception& error) {
        throw EFileFailure(path, error.what());
    }
}

}  // namespace zaprelay::zapskin
