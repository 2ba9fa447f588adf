// A page file's bytes as the translator takes them: UTF-8 or single-byte.
#include "PageReader.h"

#include "FileError.h"
#include "TextEncoding.h"
#include "TextStream.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <string>

namespace quillomatic {
namespace {

// UTF-16 is read this much at a time; in UTF-8 it takes at most half as much again.
constexpr std::size_t kRawBlock = std::size_t(1) << 17;

} // namespace

PageReader::PageReader(TextStream& page) : m_Page(page) {}

PageReader::~PageReader() = default;

std::size_t PageReader::Read(char* buffer, std::size_t size) {
    assert(size >= kLeastRoom);
    switch (m_Form) {
    case Form::AsItIs:
        return m_Page.ReadBytes(buffer, size);
    case Form::Unknown: {
        const std::size_t count = StartReading(buffer, size);
        if (m_Form == Form::AsItIs) {
            return count;
        }
        m_Raw = std::make_unique_for_overwrite<char[]>(kRawBlock);
        std::memcpy(m_Raw.get(), buffer, count);
        m_RawEnd = count;
        return ReadUtf16(buffer, size);
    }
    default:
        return ReadUtf16(buffer, size);
    }
}

std::size_t PageReader::StartReading(char* buffer, std::size_t size) {
    const std::size_t wanted = std::min(size, kRawBlock);
    std::size_t count = 0;
    // A pipe may bring the two bytes of a mark in two reads.
    while (count < 2) {
        const std::size_t more = m_Page.ReadBytes(buffer + count, wanted - count);
        if (more == 0) {
            break;
        }
        count += more;
    }
    const auto starts = [&](unsigned char first, unsigned char second) {
        return count >= 2 && static_cast<unsigned char>(buffer[0]) == first &&
               static_cast<unsigned char>(buffer[1]) == second;
    };
    m_Form = starts(0xFF, 0xFE)   ? Form::Utf16LittleEndian
             : starts(0xFE, 0xFF) ? Form::Utf16BigEndian
                                  : Form::AsItIs;
    return count;
}

std::size_t PageReader::ReadUtf16(char* buffer, std::size_t size) {
    for (;;) {
        const char* const end = Decode(buffer, buffer + size);
        if (end != buffer) {
            return static_cast<std::size_t>(end - buffer);
        }
        // Not one whole character left: keep its bytes and read on.
        const std::size_t left = m_RawEnd - m_RawBegin;
        std::memmove(m_Raw.get(), m_Raw.get() + m_RawBegin, left);
        m_RawBegin = 0;
        m_RawEnd = left;
        const std::size_t count = m_Page.ReadBytes(m_Raw.get() + left, kRawBlock - left);
        if (count == 0) {
            if (left != 0) {
                // A high surrogate without its pair, or an odd byte at the end.
                Fail(m_Decoded + (left % 2 != 0 ? left - 1 : 0));
            }
            return 0;
        }
        m_RawEnd += count;
    }
}

char* PageReader::Decode(char* out, const char* end) {
    const auto* const raw = reinterpret_cast<const unsigned char*>(m_Raw.get());
    const bool littleEndian = m_Form == Form::Utf16LittleEndian;
    const auto unit = [&](std::size_t at) {
        return littleEndian ? char32_t(raw[at] | raw[at + 1] << 8)
                            : char32_t(raw[at] << 8 | raw[at + 1]);
    };
    const auto unpaired = [&](std::size_t at) { Fail(m_Decoded + at - m_RawBegin); };
    std::size_t at = m_RawBegin;
    while (m_RawEnd - at >= 2 && end - out >= static_cast<std::ptrdiff_t>(kLeastRoom)) {
        char32_t c = unit(at);
        std::size_t length = 2;
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (c >= 0xDC00) {
                unpaired(at);
            }
            if (m_RawEnd - at < 4) {
                break; // its pair comes with the next read
            }
            const char32_t low = unit(at + 2);
            if (low < 0xDC00 || low > 0xDFFF) {
                unpaired(at);
            }
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            length = 4;
        }
        out = AppendUtf8(c, out);
        at += length;
    }
    m_Decoded += at - m_RawBegin;
    m_RawBegin = at;
    return out;
}

void PageReader::Fail(std::uint64_t offset) const {
    throw FileError::Make(FileError::kInvalidFileFormat, FileError::Action::Read, m_Page.Path(),
                          "it is not valid UTF-16 at byte " + std::to_string(offset));
}

} // namespace quillomatic
