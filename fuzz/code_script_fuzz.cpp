// Any bytes as a plug-in script: parsing never fails hard, and every accepted code makes
// a record whose text field matches the code.
#include "plugins/scripted/code_script.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zaprelay::scripted;
    CodeScript script = ParseCodeScript(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const ScriptedCode& code : script.Codes) {
        CodeRecord record = MakeCodeRecord(code);
        if (!code.FillField && record[kCodeTextOffset + code.Text.size()] != 0) {
            std::abort();
        }
    }
    return 0;
}
