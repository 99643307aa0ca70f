// Windows-1252 <-> Unicode conversions (file names, and text shown by the toolkit).
#pragma once

#include <string>
#include <string_view>

namespace afx {

// The Unicode code point of a Windows-1252 byte. The five bytes that code page leaves
// undefined map to the C1 control of the same value, so every byte round-trips.
char32_t Cp1252ToUnicode(unsigned char byte);

// The Windows-1252 byte of a code point, or -1 when the code page has none.
int UnicodeToCp1252(char32_t code);

std::string Cp1252ToUtf8(std::string_view text);

// Converts UTF-8 to Windows-1252; false (out unchanged) when the text is not valid
// UTF-8 or holds a character the code page cannot represent.
bool Utf8ToCp1252(std::string_view text, std::string* out);

}  // namespace afx
