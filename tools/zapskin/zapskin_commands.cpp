#include "tools/zapskin/zapskin_commands.h"

#include "framework/rtl/exceptions.h"
#include "framework/rtl/object_text.h"
#include "framework/rtl/streams.h"
#include "tools/zapskin/file_failure.h"
#include "tools/zapskin/skin_commands.h"

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

void RunText2Bin(const TInvocation& invocation) {
    ConvertFile(invocation.Arguments, StreamTextToBinary);
}

void RunBin2Text(const TInvocation& invocation) {
    ConvertFile(invocation.Arguments, StreamBinaryToText);
}

constexpr std::array kRenderOptions = {
    TOption{"--state", "N", "the state to draw, 0 to 255 (default 0)"},
    TOption{"--active", "", "draw the active look"},
    TOption{"--text", "TEXT", "the caption, as a window or control shows it"},
};

constexpr std::array kCommands = {
    TCommand{"text2bin", "IN OUT", "convert a component stream from text to binary (TPF0)", 2, RunText2Bin},
    TCommand{"bin2text", "IN OUT", "convert a component stream from binary (TPF0) to text", 2, RunBin2Text},
    TCommand{"info", "FILE", "list a skin's header, bitmaps and object trees", 1, RunInfo},
    TCommand{"convert", "IN OUT", "save a skin in the container of OUT's extension", 2, RunConvert},
    TCommand{"unpack", "FILE DIR", "write a skin as a new folder of texts and PNG pictures", 2, RunUnpack},
    TCommand{"pack", "DIR OUT", "make a skin container from such a folder", 2, RunPack},
    TCommand{"render", "FILE OBJECT WxH OUT.png", "draw one object of a skin into a PNG picture", 4, RunRender,
             kRenderOptions},
};

constexpr std::size_t kUsageColumn = 34;

void WriteUsageLine(std::ostream& stream, const std::string& head, std::string_view summary) {
    stream << head << std::string(head.size() < kUsageColumn ? kUsageColumn - head.size() : 1, ' ') << summary << "\n";
}

void WriteUsage(std::ostream& stream) {
    stream << "Usage: zapskin COMMAND ARGUMENTS... [OPTIONS]\n\nCommands:\n";
    for (const TCommand& command : kCommands) {
        // Appended piece by piece: GCC 12 at -O3 warns (-Wrestrict) about chains of string +.
        std::string head = "  ";
        head.append(command.Name).append(" ").append(command.Arguments);
        WriteUsageLine(stream, head, command.Summary);
        for (const TOption& option : command.Options) {
            head = "      ";
            head.append(option.Name);
            if (!option.Value.empty()) {
                head.append(" ").append(option.Value);
            }
            WriteUsageLine(stream, head, option.Summary);
        }
    }
    WriteUsageLine(stream, "  help", "show this text");
}

// The options after a command's positional arguments; false (with a message on err) when one
// is unknown to the command, lacks its value or is given twice.
bool ParseOptions(const TCommand& command,
                  std::span<const std::string> words,
                  TOptionValues& options,
                  std::ostream& err) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        const TOption* option = nullptr;
        for (const TOption& candidate : command.Options) {
            if (candidate.Name == words[i]) {
                option = &candidate;
            }
        }
        if (option == nullptr) {
            err << "zapskin: " << command.Name << " has no option '" << words[i] << "'\n";
            return false;
        }
        std::string value;
        if (!option->Value.empty()) {
            if (i + 1 == words.size()) {
                err << "zapskin: " << option->Name << " takes " << option->Value << "\n";
                return false;
            }
            value = words[++i];
        }
        if (!options.emplace(std::string(option->Name), value).second) {
            err << "zapskin: " << option->Name << " is given twice\n";
            return false;
        }
    }
    return true;
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
    // Options come only after the positional arguments, so a file name may start with "--".
    if (rest.size() < command->ArgumentCount || (rest.size() > command->ArgumentCount && command->Options.empty())) {
        err << "zapskin: " << command->Name << " takes " << command->Arguments << "\n";
        WriteUsage(err);
        return kExitUsage;
    }
    TInvocation invocation{rest.first(command->ArgumentCount), {}, out};
    if (!ParseOptions(*command, rest.subspan(command->ArgumentCount), invocation.Options, err)) {
        WriteUsage(err);
        return kExitUsage;
    }
    try {
        command->Run(invocation);
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
