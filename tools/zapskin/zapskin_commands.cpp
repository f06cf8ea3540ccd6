#include "tools/zapskin/zapskin_commands.h"

#include "framework/rtl/exceptions.h"
#include "framework/rtl/object_text.h"
#include "framework/rtl/streams.h"

#include <array>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <ostream>
#include <system_error>
#include <utility>
#include <vector>

namespace zaprelay::zapskin {
namespace {

namespace fs = std::filesystem;

// A failure tied to one file, reported as "zapskin: PATH: message".
class EFileFailure : public Exception {
public:
    EFileFailure(std::string path, const std::string& message) : Exception(message), m_path(std::move(path)) {}
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// Runs step and ties any failure in it to path.
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

using TConverter = void (*)(TStream& source, TStream& target);

void ConvertFile(std::span<const std::string> arguments, TConverter convert) {
    const std::string& input = arguments[0];
    const std::string& output = arguments[1];
    TMemoryStream converted;
    OnFile(input, [&] {
        TMemoryStream source;
        source.LoadFromFile(input);
        convert(source, converted);
    });
    OnFile(output, [&] { WriteFileReplacing(output, converted.Bytes()); });
}

void RunText2Bin(std::span<const std::string> arguments) {
    ConvertFile(arguments, StreamTextToBinary);
}

void RunBin2Text(std::span<const std::string> arguments) {
    ConvertFile(arguments, StreamBinaryToText);
}

constexpr std::array kCommands = {
    TCommand{"text2bin", "IN OUT", "convert a component stream from text to binary (TPF0)", 2, RunText2Bin},
    TCommand{"bin2text", "IN OUT", "convert a component stream from binary (TPF0) to text", 2, RunBin2Text},
};

void WriteUsage(std::ostream& stream) {
    stream << "Usage: zapskin COMMAND ARGUMENTS...\n\nCommands:\n";
    for (const TCommand& command : kCommands) {
        std::string head = std::string(command.Name) + " " + std::string(command.Arguments);
        stream << "  " << head << std::string(head.size() < 20 ? 20 - head.size() : 1, ' ') << command.Summary << "\n";
    }
    stream << "  help                show this text\n";
}

bool IsHelp(std::string_view word) {
    return word == "help" || word == "--help" || word == "-h";
}

}  // namespace

std::span<const TCommand> Commands() {
    return kCommands;
}

int RunZapskin(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
    if (arguments.empty()) {
        WriteUsage(err);
        return kExitUsage;
    }
    if (IsHelp(arguments[0])) {
        WriteUsage(out);
        return kExitSuccess;
    }
    const TCommand* command = nullptr;
    for (const TCommand& candidate : kCommands) {
        if (candidate.Name == arguments[0]) {
            command = &candidate;
        }
    }
    if (command == nullptr) {
        err << "zapskin: unknown command '" << arguments[0] << "'\n";
        WriteUsage(err);
        return kExitUsage;
    }
    std::span<const std::string> rest = arguments.subspan(1);
    if (rest.size() != command->ArgumentCount) {
        err << "zapskin: " << command->Name << " takes " << command->Arguments << "\n";
        WriteUsage(err);
        return kExitUsage;
    }
    try {
        command->Run(rest);
        return kExitSuccess;
    } catch (const EFileFailure& failure) {
        err << "zapskin: " << failure.Path() << ": " << failure.what() << "\n";
    } catch (const std::exception& error) {
        err << "zapskin: " << error.what() << "\n";
    } catch (...) {
        err << "zapskin: unexpected failure\n";
    }
    return kExitFailure;
}

void WriteFileReplacing(const std::string& path, std::span<const uint8_t> bytes) {
    std::error_code ignored;
    std::string temporary = path + ".tmp";
    for (int n = 1; fs::exists(fs::path(temporary), ignored); ++n) {
        temporary = path + ".tmp" + std::to_string(n);
    }
    try {
        {
            TFileStream file(temporary, fmCreate);
            file.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        }
        std::error_code renameError;
        fs::rename(fs::path(temporary), fs::path(path), renameError);
        if (renameError) {
            throw EFCreateError(Format(msg::kFCreateError, {path}));
        }
    } catch (const EFCreateError&) {
        fs::remove(fs::path(temporary), ignored);
        // The temporary name means nothing to the user.
        throw EFCreateError(Format(msg::kFCreateError, {path}));
    } catch (...) {
        fs::remove(fs::path(temporary), ignored);
        throw;
    }
}

}  // namespace zaprelay::zapskin
