#include "tools/zapskin/skin_file.h"

#include "framework/rtl/streams.h"
#include "skin/store/skin_filters.h"
#include "tools/zapskin/file_failure.h"
#include "tools/zapskin/zapskin_commands.h"

#include <filesystem>
#include <memory>
#include <system_error>

namespace zaprelay::zapskin {
namespace {

namespace fs = std::filesystem;

const skin::TVxSkinFilterClass& FilterFor(const std::string& path) {
    const skin::TVxSkinFilterClass* filterClass = skin::FindSkinFilter(path);
    if (filterClass == nullptr) {
        const std::string extension = fs::path(path).extension().string();
        throw EFileFailure(path, extension.empty() ? "No skin file extension (.uskn, .qskn, .xskn or .mskn)"
                                                   : "No skin filter for the extension \"" + extension +
                                                         "\" (.uskn, .qskn, .xskn or .mskn)");
    }
    return *filterClass;
}

}  // namespace

void RequireSkinFilter(const std::string& path) {
    FilterFor(path);
}

void LoadSkinFile(const std::string& path, skin::TVxSkinSource& source) {
    std::error_code error;
    if (!fs::is_regular_file(fs::path(path), error)) {
        throw EFileFailure(path, fs::exists(fs::path(path), error) ? "Not a file" : "No such file");
    }
    const skin::TVxSkinFilterClass& filterClass = FilterFor(path);
    OnFile(path, [&] {
        TFileStream file(path, fmOpenRead);
        std::unique_ptr<skin::TVxSkinFilter> filter = filterClass.Create();
        filter->SetSource(&source);
        filter->LoadSkin(file);
    });
}

void SaveSkinFile(const std::string& path, skin::TVxSkinSource& source) {
    const skin::TVxSkinFilterClass& filterClass = FilterFor(path);
    OnFile(path, [&] {
        TMemoryStream container;
        std::unique_ptr<skin::TVxSkinFilter> filter = filterClass.Create();
        filter->SetSource(&source);
        filter->SaveSkin(container);
        WriteFileReplacing(path, container.Bytes());
    });
}

}  // namespace zaprelay::zapskin
