// Windows-1252, the code page of the files that are neither UTF-8 nor UTF-16.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillomatic {

// Converts between the program's UTF-8 texts and Windows-1252 bytes, for files
// that are not UTF-8 (see TextEncoding).
//
// Decoding is total and lossless: the five bytes Windows-1252 leaves unassigned
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters of the same
// number, so every byte value has its own character and any file's bytes survive
// a read and a write unchanged, whatever their real encoding.
//
// Encoding never fails: a character the code page lacks becomes one "?", and each
// byte of text that is not valid UTF-8 becomes one "?".
namespace CodePage1252 {

void AppendDecoded(std::string_view bytes, std::string& utf8);
void AppendEncoded(std::string_view utf8, std::string& bytes);
// Encodes `utf8` to `out`, which has room for as many bytes as it has, and
// returns the end of what was written: no character takes more bytes encoded.
char* EncodeTo(std::string_view utf8, char* out);

// True when every character of `utf8` has a byte of its own, so that encoding
// it loses nothing.
[[nodiscard]] bool CanEncode(std::string_view utf8);

// The largest end not above `end` at which `utf8` can be cut without
// splitting a character, so that text can be encoded piece by piece with
// the same result as in one go.
[[nodiscard]] std::size_t SafeCut(std::string_view utf8, std::size_t end);

} // namespace CodePage1252

} // namespace quillomatic
