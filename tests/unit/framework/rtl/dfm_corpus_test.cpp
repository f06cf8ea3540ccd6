// Real-world text layouts through both converters.
#include "framework/rtl/exceptions.h"
#include "framework/rtl/object_stream.h"
#include "framework/rtl/object_text.h"
#include "framework/rtl/stream_value.h"
#include "tests/support/sample_component.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace zaprelay {
namespace {

namespace fs = std::filesystem;

constexpr size_t kCorpusFiles = 26;

std::vector<fs::path> CorpusFiles() {
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fs::path(ZR_TESTDATA_DIR) / "dfm", error)) {
        if (entry.path().extension() == ".dfm") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

// "Name = 1.000000000000000000" and "Name = 1.0" hold the same float.
bool SameFloatLine(const std::string& a, const std::string& b) {
    size_t equalsA = a.find(" = ");
    size_t equalsB = b.find(" = ");
    if (equalsA == std::string::npos || a.substr(0, equalsA) != b.substr(0, equalsB)) {
        return false;
    }
    auto parse = [](const std::string& line, size_t from, long double& value) {
        const char* end = line.data() + line.size();
        auto result = std::from_chars(line.data() + from + 3, end, value);
        return result.ec == std::errc() && result.ptr == end;
    };
    long double valueA = 0;
    long double valueB = 0;
    return parse(a, equalsA, valueA) && parse(b, equalsB, valueB) && valueA == valueB;
}

TEST(DfmCorpus, EveryFileConvertsToBinaryAndBackIdentically) {
    std::vector<fs::path> files = CorpusFiles();
    if (files.empty()) {
        GTEST_SKIP() << "no corpus at " << ZR_TESTDATA_DIR << "/dfm";
    }
    EXPECT_EQ(files.size(), kCorpusFiles);
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        try {
            std::string text = ReadFile(file);
            std::vector<uint8_t> first = TextToBinary(text);
            std::vector<uint8_t> second = TextToBinary(BinaryToText(first));
            EXPECT_EQ(first, second);
            TBytesStream stream(first);
            TBinaryReader reader(stream);
            reader.ReadSignature();
            EXPECT_EQ(reader.ReadObject(), TextToObject(text));
            EXPECT_EQ(stream.Remaining(), 0);
        } catch (const Exception& error) {
            ADD_FAILURE() << error.what();
        }
    }
}

// The files were written by the original tools from the same rules, so the text written back
// matches them line for line; only the digits of floats may differ.
TEST(DfmCorpus, TextWrittenBackMatchesTheOriginalLayout) {
    std::vector<fs::path> files = CorpusFiles();
    if (files.empty()) {
        GTEST_SKIP() << "no corpus at " << ZR_TESTDATA_DIR << "/dfm";
    }
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        try {
            std::string text = ReadFile(file);
            std::vector<std::string> original = Lines(text);
            std::vector<std::string> written = Lines(BinaryToText(TextToBinary(text)));
            if (written.size() != original.size()) {
                ADD_FAILURE() << written.size() << " lines written, " << original.size() << " read";
                continue;
            }
            for (size_t i = 0; i < original.size(); ++i) {
                if (written[i] != original[i] && !SameFloatLine(written[i], original[i])) {
                    ADD_FAILURE() << "line " << i + 1 << ": " << written[i] << " / " << original[i];
                    break;
                }
            }
        } catch (const Exception& error) {
            ADD_FAILURE() << error.what();
        }
    }
}

// Every string list of the corpus ("Lines.Strings", "SQL.Strings", ...) read into a string
// list and written again gives the same lines.
void CollectStringLists(const TStreamObject& object, std::vector<TStreamValue>& lists) {
    for (const TStreamProperty& property : object.Properties) {
        const std::string suffix = ".Strings";
        if (property.Name.size() > suffix.size() &&
            property.Name.compare(property.Name.size() - suffix.size(), suffix.size(), suffix) == 0) {
            lists.push_back(property.Value);
        }
    }
    for (const TStreamObject& child : object.Children) {
        CollectStringLists(child, lists);
    }
}

std::vector<std::u16string> LinesOf(const TStreamValue& list) {
    std::vector<std::u16string> lines;
    for (const TStreamValue& line : list.List) {
        lines.push_back(line.AsWide());
    }
    return lines;
}

TEST(DfmCorpus, StringListsReadIntoAStringListAndWriteBackTheSameLines) {
    std::vector<fs::path> files = CorpusFiles();
    if (files.empty()) {
        GTEST_SKIP() << "no corpus at " << ZR_TESTDATA_DIR << "/dfm";
    }
    std::vector<TStreamValue> lists;
    for (const fs::path& file : files) {
        CollectStringLists(TextToObject(ReadFile(file)), lists);
    }
    EXPECT_EQ(lists.size(), 60u) << "string lists in the corpus";
    for (const TStreamValue& list : lists) {
        ASSERT_EQ(list.Type, vaList);
        TStreamObject record;
        record.ClassName = "TSampleItem";
        record.ObjectName = "Item";
        record.Properties = {{"Lines.Strings", list}};
        TMemoryStream stream;
        TBinaryWriter writer(stream);
        writer.WriteSignature();
        writer.WriteObject(record);
        stream.SetPosition(0);
        test::TSampleItem item(nullptr);
        ReadObjectStream(stream, item);
        EXPECT_EQ(item.Lines()->Lines(), LinesOf(list));

        TMemoryStream written;
        WriteObjectStream(written, item);
        written.SetPosition(0);
        TBinaryReader reader(written);
        reader.ReadSignature();
        TStreamObject back = reader.ReadObject();
        auto found = std::find_if(back.Properties.begin(), back.Properties.end(),
                                  [](const TStreamProperty& p) { return p.Name == "Lines.Strings"; });
        ASSERT_NE(found, back.Properties.end());
        EXPECT_EQ(LinesOf(found->Value), LinesOf(list));
    }
}

}  // namespace
}  // namespace zaprelay
