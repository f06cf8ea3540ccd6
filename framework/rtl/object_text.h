// The text form of the component stream: a writer that renders one record as text and a
// tokenizer and parser that read any text form back, plus the whole-stream converters.
#pragma once

#include "framework/rtl/stream_value.h"
#include "framework/rtl/streams.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zaprelay {

// Reads "TPF0" and one root record from binary and writes its text form to text.
void StreamBinaryToText(TStream& binary, TStream& text);
// Parses the text form from text's position to its end and writes "TPF0" and the record.
void StreamTextToBinary(TStream& text, TStream& binary);

// The same for whole streams held in memory (skin records carry the text form as a string).
std::vector<uint8_t> TextToBinary(std::string_view text);
std::string BinaryToText(std::span<const uint8_t> binary);

// The text form of one record: CR LF line ends, two spaces of indent per level. Raises
// EWriteError for a value the text cannot express (an infinite or NaN float).
std::string ObjectToText(const TStreamObject& object);

// Parses the text form of one record. Syntax errors raise EParserError naming the line
// ("Line 12: ..."); malformed hexadecimal raises EReadError "Invalid binary value". Bytes of
// 128 and above inside quotes are read as UTF-8 when the whole text is valid UTF-8, else in
// the ANSI code page. A leading UTF-8 byte-order mark is skipped.
TStreamObject TextToObject(std::string_view text);

}  // namespace zaprelay
