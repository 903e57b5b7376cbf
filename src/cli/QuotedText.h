#pragma once
// Texts of configuration files, paths and messages between double quotes, for a terminal or a
// JSON document: controls escaped, every byte kept.

#include <string>
#include <string_view>

namespace quarrow {

// How control characters are escaped: \u00XX (JSON) or \xXX (a terminal).
enum class ControlStyle { Json, Terminal };

// How bytes from 0x80 up are read: each one a Latin-1 character (configuration texts), or
// valid UTF-8 kept as it is and other bytes read as Latin-1 (paths and messages).
enum class HighBytes { Latin1, Utf8OrLatin1 };

// Returns the text between double quotes, written as UTF-8.
std::string QuotedText(std::string_view bytes, ControlStyle controls, HighBytes high);

}  // namespace quarrow
