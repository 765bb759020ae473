// The bytes of a .reg file and its text.
#pragma once

#include "registry/reg_file.hpp"

#include <string>
#include <string_view>

namespace velorin::registry {

struct DecodedRegFile {
    std::wstring text;  // one wchar_t a character, surrogate pairs joined
    RegFileEncoding encoding = RegFileEncoding::Utf8;
};

// Throws RegFileError for bytes that are not text in one of the accepted encodings. A REGEDIT4
// file that is not UTF-8 is ANSI, read as Latin-1.
DecodedRegFile decodeRegFile(std::string_view bytes, const std::string& fileName);
// Characters beyond Unicode, and in UTF-8 lone surrogates, become U+FFFD.
std::string encodeRegFile(std::wstring_view text, RegFileEncoding encoding);

}  // namespace velorin::registry
