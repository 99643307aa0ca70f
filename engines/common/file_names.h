// File names and fixed texts of the engine programs.
//
//   std::string title = ...;                          // 128-column text read from a parameter file
//   std::string vpc = MakeFileNameWithExtension(title, "vpc");   // 128 columns, blank padded
//   std::string path = SystemFileName(vpc, folder);  // trimmed, UTF-8, inside folder if relative
//
// Texts read by the engines are Windows-1252 bytes; file names on this system are UTF-8.
// Every name is trimmed of trailing blanks and converted at the point where a file is
// opened or created (RecordReader/RecordWriter do it through SystemFileName).
#pragma once

#include <string>
#include <string_view>

// Removes trailing blanks, tabs, CR and LF.
std::string TrimTrailingBlanks(std::string_view text);
// Windows-1252 bytes to UTF-8 (bytes 0x81, 0x8D, 0x8F, 0x90, 0x9D map to U+0081... as Windows does).
std::string Cp1252ToUtf8(std::string_view text);
// A name read by an engine made ready for the system: trimmed, converted to UTF-8 and, when
// relative and folder is not empty, placed inside folder.
std::string SystemFileName(std::string_view name1252, const std::string& folder = {});

// Replaces the extension of the last path component of source ('/' and '\' separate
// components) with the 3 characters of extension: the result keeps the characters before
// the last dot of that component, or the whole trimmed text when it has none, then "."
// and the extension. The text is handled in 128 columns (or more when the trimmed source
// is longer): an extension that would pass the last column starts 3 columns before it.
// The result is blank padded to that width. status, when given, is set to 0.
std::string MakeFileNameWithExtension(std::string_view source, std::string_view extension,
                                      int* status = nullptr);
