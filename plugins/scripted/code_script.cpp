#include "plugins/scripted/code_script.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>

namespace zaprelay::scripted {
namespace {

class LineReader {
public:
    explicit LineReader(std::string_view line) : m_rest(line) {}

    void SkipBlanks() {
        while (!m_rest.empty() && (m_rest.front() == ' ' || m_rest.front() == '\t')) {
            m_rest.remove_prefix(1);
        }
    }

    bool AtEnd() {
        SkipBlanks();
        return m_rest.empty();
    }

    std::string_view Word() {
        SkipBlanks();
        std::size_t end = 0;
        while (end < m_rest.size() && m_rest[end] != ' ' && m_rest[end] != '\t') {
            ++end;
        }
        std::string_view word = m_rest.substr(0, end);
        m_rest.remove_prefix(end);
        return word;
    }

    // A quoted text; false when the closing quote is missing.
    bool Quoted(std::string& out) {
        SkipBlanks();
        m_rest.remove_prefix(1);  // opening quote
        std::size_t close = m_rest.find('"');
        if (close == std::string_view::npos) {
            return false;
        }
        out.assign(m_rest.substr(0, close));
        m_rest.remove_prefix(close + 1);
        return true;
    }

    bool StartsWithQuote() {
        SkipBlanks();
        return !m_rest.empty() && m_rest.front() == '"';
    }

private:
    std::string_view m_rest;
};

template <typename T>
bool ParseNumber(std::string_view word, T& value) {
    if (word.empty()) {
        return false;
    }
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    return ec == std::errc() && end == word.data() + word.size();
}

bool IsGateName(std::string_view name) {
    if (name.empty() || name.size() > kMaxGateNameLength) {
        return false;
    }
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
               c == '.';
    });
}

// A line of at most two words starting with a bare `wait` is a gate; a code line always has
// three or more, so scripts written before gates existed read as they did.
bool IsGateLine(std::string_view line) {
    LineReader reader(line);
    if (reader.StartsWithQuote() || reader.Word() != "wait") {
        return false;
    }
    reader.Word();
    return reader.AtEnd();
}

// Returns an empty string on success, else what is wrong with the line.
std::string ParseGate(std::string_view line, std::string& gate) {
    LineReader reader(line);
    reader.Word();
    std::string_view name = reader.Word();
    if (name.empty()) {
        return "wait needs a gate name";
    }
    if (!IsGateName(name)) {
        return "gate name is not 1 to " + std::to_string(kMaxGateNameLength) + " letters, digits, '_', '-' or '.'";
    }
    gate.assign(name);
    return {};
}

// A line that is only `crash` or `hang` (a code line has three words).
std::optional<ScriptAction> ActionOf(std::string_view line) {
    LineReader reader(line);
    if (reader.StartsWithQuote()) {
        return std::nullopt;
    }
    const std::string_view word = reader.Word();
    if (!reader.AtEnd()) {
        return std::nullopt;
    }
    if (word == "crash") {
        return ScriptAction::Crash;
    }
    if (word == "hang") {
        return ScriptAction::Hang;
    }
    return std::nullopt;
}

// `fault` followed by a fault's name; a code named "fault" has a number second.
bool IsFaultLine(std::string_view line) {
    LineReader reader(line);
    if (reader.StartsWithQuote() || reader.Word() != "fault") {
        return false;
    }
    std::string_view name = reader.Word();
    return name == "sends-after-stop" || name == "blocks-in-stop" || name == "threads";
}

// Returns an empty string on success, else what is wrong with the line.
std::string ParseFault(std::string_view line, PluginFaults& faults) {
    LineReader reader(line);
    reader.Word();
    std::string_view name = reader.Word();
    uint32_t threads = 0;
    if (name == "threads" && (!ParseNumber(reader.Word(), threads) || threads < 1 || threads > kMaxSendingThreads)) {
        return "threads is not a number from 1 to " + std::to_string(kMaxSendingThreads);
    }
    if (!reader.AtEnd()) {
        return "unexpected text after the fault";
    }
    if (name == "threads") {
        faults.Threads = threads;
    } else {
        (name == "sends-after-stop" ? faults.SendsAfterStop : faults.BlocksInStop) = true;
    }
    return {};
}

// Returns an empty string on success, else what is wrong with the line.
std::string ParseLine(std::string_view line, ScriptedCode& code) {
    LineReader reader(line);
    if (reader.StartsWithQuote()) {
        if (!reader.Quoted(code.Text)) {
            return "missing closing quote";
        }
    } else {
        code.Text.assign(reader.Word());
    }
    if (code.Text.find('\0') != std::string::npos) {
        return "code holds a zero byte";
    }
    if (!ParseNumber(reader.Word(), code.RepeatCount)) {
        return "repeat count is not a 32-bit integer";
    }
    int64_t delay = 0;
    if (!ParseNumber(reader.Word(), delay) || delay < 0 || delay > kMaxDelayMs) {
        return "delay is not a number of milliseconds from 0 to " + std::to_string(kMaxDelayMs);
    }
    code.DelayMs = static_cast<uint32_t>(delay);
    if (!reader.AtEnd()) {
        if (reader.Word() != "fill") {
            return "unknown option (only 'fill' is known)";
        }
        code.FillField = true;
    }
    if (!reader.AtEnd()) {
        return "unexpected text after the options";
    }
    if (code.FillField && code.Text.empty()) {
        return "an empty code cannot fill the field";
    }
    if (!code.FillField && code.Text.size() >= kCodeTextSize) {
        return "code longer than " + std::to_string(kCodeTextSize - 1) + " bytes needs 'fill'";
    }
    return {};
}

}  // namespace

CodeScript ParseCodeScript(std::string_view text) {
    CodeScript script;
    std::vector<std::string> pendingGates;
    int lineNumber = 0;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] == '#') {
            continue;
        }
        std::string error;
        if (IsFaultLine(line)) {
            error = ParseFault(line, script.Faults);
        } else if (std::optional<ScriptAction> action = ActionOf(line)) {
            ScriptedCode step;
            step.Action = *action;
            step.Gates = std::move(pendingGates);
            pendingGates.clear();
            script.Codes.push_back(std::move(step));
        } else if (IsGateLine(line)) {
            std::string gate;
            error = ParseGate(line, gate);
            if (error.empty()) {
                pendingGates.push_back(std::move(gate));
            }
        } else {
            ScriptedCode code;
            error = ParseLine(line, code);
            if (error.empty()) {
                code.Gates = std::move(pendingGates);
                pendingGates.clear();
                script.Codes.push_back(std::move(code));
            }
        }
        if (!error.empty()) {
            script.Errors.push_back("line " + std::to_string(lineNumber) + ": " + error);
        }
    }
    script.TrailingGates = std::move(pendingGates);
    return script;
}

std::string GateEventName(uint32_t processId, std::string_view gate) {
    return "zaprelay-dcd-" + std::to_string(processId) + "-" + std::string(gate);
}

CodeRecord MakeCodeRecord(const ScriptedCode& code) {
    CodeRecord record{};
    for (std::size_t i = 0; i < kCodeTextOffset; ++i) {
        record[i] = 0xA5;
    }
    if (code.FillField) {
        for (std::size_t i = 0; i < kCodeTextSize; ++i) {
            record[kCodeTextOffset + i] = static_cast<uint8_t>(code.Text[i % code.Text.size()]);
        }
    } else {
        std::size_t length = std::min(code.Text.size(), kCodeTextSize - 1);
        for (std::size_t i = 0; i < length; ++i) {
            record[kCodeTextOffset + i] = static_cast<uint8_t>(code.Text[i]);
        }
    }
    return record;
}

}  // namespace zaprelay::scripted
