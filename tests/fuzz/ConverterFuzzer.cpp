// libFuzzer target for the engine: any bytes, as a page file and as text, in
// every format, must give a script that keeps its structural promises, or, as
// a file that starts as UTF-16 but is not, fail as such.
#include "CodePage1252.h"
#include "ComponentError.h"
#include "Converter.h"
#include "FileSystemObject.h"
#include "TargetFormat.h"
#include "TextEncoding.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace quillomatic;

namespace {

[[noreturn]] void Broken(const char* promise, const std::string& detail) {
    std::fprintf(stderr, "broken promise: %s\n%s\n", promise, detail.c_str());
    std::abort();
}

void Require(bool kept, const char* promise, const std::string& detail = {}) {
    if (!kept) {
        Broken(promise, detail);
    }
}

// The page's lines as a reader of the file sees them: CR LF, LF and a lone
// CR end a line; a terminator at the very end adds no empty line.
std::vector<std::string> LinesOf(std::string_view text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(line);
            line.clear();
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            line += text[i];
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

// Reads the string literal of one statement back as its language does, and
// checks that nothing in it could end the literal, or the block, early.
std::string Unescaped(const TargetFormat& format, std::string_view literal) {
    std::string line;
    if (&format == &TargetFormat::ASP) {
        // A doubled quote stands for a quote; '" & "' joins two literals.
        for (std::size_t i = 0; i < literal.size(); ++i) {
            if (literal[i] == '"' && literal.substr(i, 5) == "\" & \"") {
                i += 4;
                continue;
            }
            if (literal[i] == '"') {
                Require(i + 1 < literal.size() && literal[i + 1] == '"', "ASP quotes are doubled",
                        std::string(literal));
                ++i;
            }
            line += literal[i];
        }
        return line;
    }
    std::string_view escapable = "\\\"";
    if (&format == &TargetFormat::PHP) {
        escapable = "\\\"$";
    } else if (&format == &TargetFormat::Perl) {
        escapable = "\\\"$@";
    } else if (&format == &TargetFormat::JavaScript) {
        escapable = "\\\"/";
    } else if (&format == &TargetFormat::JSP) {
        escapable = "\\\">";
    }
    for (std::size_t i = 0; i < literal.size(); ++i) {
        const char c = literal[i];
        if (c == '\\') {
            Require(i + 1 < literal.size() &&
                        escapable.find(literal[i + 1]) != std::string_view::npos,
                    "a backslash starts one of the format's escapes", std::string(literal));
            line += literal[++i];
            continue;
        }
        Require(c != '"', "no bare quote inside a literal", std::string(literal));
        if (&format == &TargetFormat::PHP || &format == &TargetFormat::Perl) {
            Require(c != '$', "no bare dollar sign", std::string(literal));
        }
        if (&format == &TargetFormat::Perl) {
            Require(c != '@', "no bare at sign in Perl", std::string(literal));
        }
        if (&format == &TargetFormat::JavaScript) {
            Require(!StartsWithIgnoringCase(literal.substr(i), "</script"),
                    "no script end tag in JavaScript", std::string(literal));
        }
        if (&format == &TargetFormat::JSP) {
            Require(literal.substr(i, 2) != "%>", "no scriptlet end in JSP", std::string(literal));
        }
        line += c;
    }
    return line;
}

// Where the literal that starts `text` ends: at its first quote that no
// backslash escapes.
std::size_t LiteralEnd(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == '"') {
            return i;
        }
    }
    return text.size();
}

// What the script of a page whose bytes read as `page` ends with after the
// footer: the format's label of the page's encoding, for a page that is not
// all ASCII only.
std::string_view LabelOf(const TargetFormat& format, std::string_view page) {
    for (const char c : page) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return format.LabelFor(EncodingOf(page));
        }
    }
    return {};
}

void CheckScript(const TargetFormat& format, const std::string& script, std::string_view page) {
    const std::vector<std::string> lines = LinesOf(TextOf(std::string(page), EncodingOf(page)));
    const std::string_view label = LabelOf(format, page);
    Require(script.starts_with(format.Header), "the script starts with the header");
    Require(script.ends_with(std::string(format.Footer) + std::string(label)),
            "the script ends with the footer, and the label where the page needs one");
    if (&format == &TargetFormat::ASP) {
        Require(script.find("%>") == script.size() - 2, "no \"%>\" before the ASP footer");
    }
    std::string_view statements(script);
    statements.remove_prefix(format.Header.size());
    statements.remove_suffix(format.Footer.size() + label.size());
    std::size_t count = 0;
    std::string line;
    // Calls since the page's own method began or the last line of a block;
    // past CallsInline the statements stand in blocks of CallsPerMethod.
    std::size_t calls = 0;
    std::size_t bound = format.CallsInline;
    while (!statements.empty()) {
        const std::size_t end = statements.find("\r\n");
        Require(end != std::string_view::npos, "every statement ends with CR LF");
        std::string_view statement = statements.substr(0, end);
        statements.remove_prefix(end + 2);
        const std::string withEnd = std::string(statement) + "\r\n";
        if (bound > 0 && (withEnd == format.MethodOpener || withEnd == format.MethodCloser)) {
            bound = format.CallsPerMethod;
            calls = 0;
            continue;
        }
        // A line too long for one literal: pieces first, each within the limit.
        while (!format.PieceOpener.empty() && statement.starts_with(format.PieceOpener)) {
            statement.remove_prefix(format.PieceOpener.size());
            const std::string_view piece = statement.substr(0, LiteralEnd(statement));
            Require(piece.size() <= format.LiteralLimit, "no piece longer than the limit");
            line += Unescaped(format, piece);
            statement.remove_prefix(piece.size());
            Require(statement.starts_with(format.PieceCloser), "a piece is closed");
            statement.remove_prefix(format.PieceCloser.size());
            Require(bound == 0 || ++calls <= bound, "no method holds more calls than its bound");
        }
        if (statement.empty() && bound > 0 && statements.starts_with(format.MethodCloser)) {
            continue; // the line goes on after the end of a method
        }
        Require(statement.starts_with(format.Opener) && statement.ends_with(format.Closer) &&
                    statement.size() >= format.Opener.size() + format.Closer.size(),
                "a statement is opener, escaped line, closer", std::string(statement));
        Require(count < lines.size(), "no more statements than lines");
        const std::string_view literal = statement.substr(
            format.Opener.size(), statement.size() - format.Opener.size() - format.Closer.size());
        Require(format.LiteralLimit == 0 || literal.size() <= format.LiteralLimit,
                "no literal longer than the limit");
        line += Unescaped(format, literal);
        Require(line == lines[count], "un-escaping gives back the line",
                std::string(literal) + "\nexpected: " + lines[count]);
        Require(bound == 0 || ++calls <= bound, "no method holds more calls than its bound");
        line.clear();
        ++count;
    }
    Require(count == lines.size(), "exactly one statement per line");
}

// The bytes a page file is read as: those of a page that starts with a
// UTF-16 byte-order mark decoded into UTF-8, the mark kept; the others as they
// are. Nothing for a page that is not valid UTF-16.
std::optional<std::string> PageBytes(std::string_view file) {
    const bool little = file.starts_with("\xFF\xFE");
    if (!little && !file.starts_with("\xFE\xFF")) {
        return std::string(file);
    }
    if (file.size() % 2 != 0) {
        return std::nullopt;
    }
    std::u32string characters;
    // A high surrogate waits for its low one at the end of `characters`.
    const auto waiting = [&] {
        return !characters.empty() && characters.back() >= 0xD800 && characters.back() < 0xDC00;
    };
    for (std::size_t i = 0; i < file.size(); i += 2) {
        const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(file[at]); };
        const char32_t unit = little ? byte(i) | byte(i + 1) << 8 : byte(i) << 8 | byte(i + 1);
        if (unit >= 0xDC00 && unit < 0xE000) {
            if (!waiting()) {
                return std::nullopt;
            }
            characters.back() = 0x10000 + ((characters.back() - 0xD800) << 10) + (unit - 0xDC00);
        } else if (waiting()) {
            return std::nullopt;
        } else {
            characters += unit;
        }
    }
    if (waiting()) {
        return std::nullopt;
    }
    std::string utf8;
    for (const char32_t c : characters) {
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else if (c < 0x800) {
            utf8 += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
        } else if (c < 0x10000) {
            utf8 += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                     static_cast<char>(0x80 | (c & 0x3F))};
        } else {
            utf8 +=
                {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
                 static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
        }
    }
    return utf8;
}

std::filesystem::path& Workspace() {
    static std::filesystem::path folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quillomatic-fuzz-XXXXXX").string();
        std::filesystem::path made = ::mkdtemp(pattern.data());
        std::filesystem::current_path(made);
        return made;
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path& folder = Workspace();
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // The bytes as a page file, and as text given to the converter: text is
    // read as UTF-8 when it all is, else as Windows-1252; a file too, unless
    // it starts as UTF-16.
    const std::string page = (folder / "page.html").string();
    std::ofstream(page, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(size));
    const std::optional<std::string> pageBytes = PageBytes(bytes);

    const std::string streamed = (folder / "streamed.txt").string();
    for (const TargetFormat& format : kTargetFormats) {
        Converter fromFile;
        fromFile.SetSourceHTMLFilePath(page);
        if (!pageBytes) {
            try {
                fromFile.ConvertTo(format);
                Broken("a page that is not valid UTF-16 fails", bytes);
            } catch (const ComponentError& error) {
                Require(error.Number() == 321, "invalid UTF-16 is reported as such",
                        error.Description());
            }
        } else {
            const std::string script = fromFile.ConvertTo(format);
            CheckScript(format, script, *pageBytes);

            // Written file to file, the same script in the page's encoding.
            {
                TextStream source = FileSystemObject().OpenTextFile(page);
                TextStream output = FileSystemObject().CreateTextFile(streamed, true);
                Converter::ConvertToStream(format, source, output);
                output.Close();
            }
            std::string expected = script;
            if (EncodingOf(*pageBytes) == TextEncoding::Windows1252) {
                expected.clear();
                CodePage1252::AppendEncoded(script, expected);
            }
            std::ifstream written(streamed, std::ios::binary);
            const std::string bytesWritten{std::istreambuf_iterator<char>(written),
                                           std::istreambuf_iterator<char>()};
            Require(bytesWritten == expected, "a script written to a file is the script's text");
        }

        if (!bytes.empty()) {
            Converter fromText;
            CheckScript(format, fromText.ConvertTo(format, bytes), bytes);
        }
    }
    // Each conversion from text leaves its staging file; keep the folder small.
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with("qm")) {
            std::filesystem::remove(entry.path());
        }
    }
    return 0;
}
