// Conversions between 8-bit ANSI text, UTF-8 and UTF-16. The ANSI code page is a
// program-wide setting: the Win32 layer sets the system's at start-up; natively it is
// Windows-1251 (the product's second language is Russian).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zaprelay {

// Supported: 1250, 1251, 1252 (and 28591 for Latin-1). Returns false and keeps the
// current page for any other.
bool SetAnsiCodePage(uint32_t codePage);
uint32_t AnsiCodePage();

std::u16string AnsiToWide(std::string_view text);
std::string WideToAnsi(std::u16string_view text);  // characters the page lacks become '?'
std::string WideToUtf8(std::u16string_view text);  // unpaired surrogates become U+FFFD
std::u16string Utf8ToWide(std::string_view text);  // invalid sequences become U+FFFD
bool IsValidUtf8(std::string_view text);

}  // namespace zaprelay
