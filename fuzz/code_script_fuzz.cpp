// Any bytes as a plug-in script: parsing never fails hard, every accepted code makes a record
// whose text field matches the code, and every accepted gate name is one an event name can hold.
#include "plugins/scripted/code_script.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void CheckGates(const std::vector<std::string>& gates) {
    for (const std::string& gate : gates) {
        if (gate.empty() || gate.size() > zaprelay::scripted::kMaxGateNameLength ||
            gate.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-.") !=
                std::string::npos) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zaprelay::scripted;
    CodeScript script = ParseCodeScript(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const ScriptedCode& code : script.Codes) {
        CodeRecord record = MakeCodeRecord(code);
        if (!code.FillField && record[kCodeTextOffset + code.Text.size()] != 0) {
            std::abort();
        }
        CheckGates(code.Gates);
    }
    CheckGates(script.TrailingGates);
    return 0;
}
