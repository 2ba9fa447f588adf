// What a script must be, worked out the slow and plain way, to check the engine against.
#pragma once

#include "TargetFormat.h"
#include "TextEncoding.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

namespace quillomatic::testing {

// Lines as a reader of the page sees them: CR LF, LF and a lone CR each end a
// line; a terminator at the very end begins no further line.
inline std::vector<std::string> LinesOf(std::string_view page) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = page.find_first_of("\r\n"); end != std::string_view::npos;
         end = page.find_first_of("\r\n", start)) {
        lines.emplace_back(page.substr(start, end - start));
        start = end + 1 + (page[end] == '\r' && end + 1 < page.size() && page[end + 1] == '\n');
    }
    if (start < page.size()) {
        lines.emplace_back(page.substr(start));
    }
    return lines;
}

// One replacement step over the whole line: every match, left to right,
// without overlap, and what the step inserts is not scanned again.
inline std::string Replaced(const std::string& line, const EscapeRule& rule) {
    const auto matchesAt = [&](std::size_t at) {
        if (line.size() - at < rule.Pattern.size()) {
            return false;
        }
        for (std::size_t k = 0; k < rule.Pattern.size(); ++k) {
            const auto fold = [&](char c) {
                return rule.IgnoreCase ? std::tolower(static_cast<unsigned char>(c)) : c;
            };
            if (fold(line[at + k]) != fold(rule.Pattern[k])) {
                return false;
            }
        }
        return true;
    };
    const char first = rule.Pattern[0];
    const char otherFirst = rule.IgnoreCase
                                ? static_cast<char>(std::toupper(static_cast<unsigned char>(first)))
                                : first;
    const auto nextStart = [&](std::size_t from) {
        const std::size_t lower = line.find(first, from);
        const std::size_t upper = otherFirst == first ? lower : line.find(otherFirst, from);
        return std::min(lower, upper);
    };
    std::string result;
    std::size_t copied = 0;
    for (std::size_t at = nextStart(0); at != std::string::npos; at = nextStart(at)) {
        if (!matchesAt(at)) {
            ++at;
            continue;
        }
        result.append(line, copied, at - copied);
        result += rule.Replacement;
        at += rule.Replaced;
        copied = at;
    }
    result.append(line, copied);
    return result;
}

// A line escaped by the format's rules, one whole step after another, escape
// routine first.
inline std::string Escaped(const TargetFormat& format, std::string line) {
    for (const auto& rules : format.Rules()) {
        for (const EscapeRule& rule : rules) {
            line = Replaced(line, rule);
        }
    }
    return line;
}

// One line's calls: its statement, and where the escaped line is longer than
// the format's literal limit, the pieces of the line before it: each, from
// the left, the longest whose own escaped form fits, moved back over up to
// three UTF-8 continuation bytes that would follow the cut.
inline std::vector<std::string> Calls(const TargetFormat& format, const std::string& line) {
    if (format.LiteralLimit == 0 || Escaped(format, line).size() <= format.LiteralLimit) {
        return {std::string(format.Opener) + Escaped(format, line) + std::string(format.Closer)};
    }
    std::vector<std::string> calls;
    for (std::size_t start = 0;;) {
        // The escaped form only grows with the piece: search for the longest.
        std::size_t fits = start;
        std::size_t tooLong = std::min(line.size(), start + format.LiteralLimit) + 1;
        while (tooLong - fits > 1) {
            const std::size_t middle = (fits + tooLong) / 2;
            const bool fitsHere =
                Escaped(format, line.substr(start, middle - start)).size() <= format.LiteralLimit;
            (fitsHere ? fits : tooLong) = middle;
        }
        if (fits == line.size()) {
            calls.push_back(std::string(format.Opener) + Escaped(format, line.substr(start)) +
                            std::string(format.Closer));
            return calls;
        }
        for (int back = 0;
             back < 3 && fits > start && (static_cast<unsigned char>(line[fits]) & 0xC0) == 0x80;
             ++back) {
            --fits;
        }
        calls.push_back(std::string(format.PieceOpener) +
                        Escaped(format, line.substr(start, fits - start)) +
                        std::string(format.PieceCloser));
        start = fits;
    }
}

// What follows the footer: nothing for a page of ASCII bytes, else the label
// of the encoding its bytes are read in.
inline std::string_view Label(const TargetFormat& format, std::string_view page) {
    const bool ascii = std::all_of(page.begin(), page.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii ? std::string_view() : format.LabelFor(EncodingOf(page));
}

// The script of a page's bytes in `format`, with CR LF line breaks. With the
// calls numbered from 0, call CallsInline + k * CallsPerMethod starts method
// k on a line of its own: after the lines closing method k - 1 and, every
// MethodsPerGroup methods, its group, and those opening the next group.
inline std::string ReferenceScript(const TargetFormat& format, std::string_view page) {
    std::string script(format.Header);
    script.reserve(2 * page.size());
    const std::string opener(format.MethodOpener);
    const std::string closer(format.MethodCloser);
    std::size_t count = 0;
    for (const std::string& line : LinesOf(page)) {
        const std::vector<std::string> calls = Calls(format, line);
        for (std::size_t i = 0; i < calls.size(); ++i, ++count) {
            if (format.CallsInline > 0 && count >= format.CallsInline &&
                (count - format.CallsInline) % format.CallsPerMethod == 0) {
                const std::size_t method = (count - format.CallsInline) / format.CallsPerMethod;
                const bool newGroup = method % format.MethodsPerGroup == 0;
                script += (i > 0 ? "\r\n" : "") + (method > 0 ? closer : "") +
                          (method > 0 && newGroup ? closer : "") + (newGroup ? opener : "") +
                          opener;
            }
            script += calls[i];
        }
        script += "\r\n";
    }
    if (format.CallsInline > 0 && count > format.CallsInline) {
        script += closer + closer;
    }
    return script.append(format.Footer).append(Label(format, page));
}

} // namespace quillomatic::testing
