// File names in messages, quoted so that no byte of a name can steer a terminal.
#include "NameQuoting.h"

#include "TextEncoding.h"

#include <array>
#include <cstdio>

namespace quillomatic::NameQuoting {
namespace {

// The length of the printable UTF-8 character that starts `rest`, or 0 for a
// control character, a C1 control or a byte that starts no valid character.
std::size_t PrintableCharacterAt(std::string_view rest) {
    const auto lead = static_cast<unsigned char>(rest.front());
    if (lead < 0x20 || lead == 0x7F) {
        return 0;
    }
    if (lead < 0x80) {
        return 1;
    }
    char32_t c = 0;
    const std::size_t length = DecodeUtf8(rest, c);
    const bool isC1 = c >= 0x80 && c < 0xA0;
    return isC1 ? 0 : length;
}

bool NeedsEscapes(std::string_view name) {
    while (!name.empty()) {
        const std::size_t length = PrintableCharacterAt(name);
        if (length == 0) {
            return true;
        }
        name.remove_prefix(length);
    }
    return false;
}

void AppendEscaped(std::string& quoted, unsigned char byte) {
    constexpr std::string_view kLetters = "abtnvfr"; // \a (7) to \r (13)
    if (byte >= '\a' && byte <= '\r') {
        quoted += '\\';
        quoted += kLetters[byte - '\a'];
        return;
    }
    std::array<char, 8> octal{};
    std::snprintf(octal.data(), octal.size(), "\\%03o", byte);
    quoted += octal.data();
}

// $'...': printable characters as they are (a backslash and a quote
// escaped), the others as C escapes a shell reads back.
std::string Escaped(std::string_view name) {
    std::string quoted = "$'";
    while (!name.empty()) {
        const std::size_t length = PrintableCharacterAt(name);
        if (length == 0) {
            AppendEscaped(quoted, static_cast<unsigned char>(name.front()));
            name.remove_prefix(1);
            continue;
        }
        if (name.front() == '\\' || name.front() == '\'') {
            quoted += '\\';
        }
        quoted += name.substr(0, length);
        name.remove_prefix(length);
    }
    return quoted + "'";
}

} // namespace

std::string Quoted(std::string_view name) {
    return NeedsEscapes(name) ? Escaped(name) : "\"" + std::string(name) + "\"";
}

std::string Printable(std::string_view name) {
    return NeedsEscapes(name) ? Escaped(name) : std::string(name);
}

} // namespace quillomatic::NameQuoting
