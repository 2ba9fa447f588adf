// A page file's bytes as the translator takes them: UTF-8 or single-byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace quillomatic {

class TextStream;

// Reads a page from its stream. A page that starts with a UTF-16 byte-order
// mark (FF FE little-endian, FE FF big-endian) comes out as UTF-8, the mark
// included as U+FEFF, as the mark of a UTF-8 page stays; any other page comes
// out as it is. A UTF-16 page is decoded a block at a time, so a page of any
// size takes little memory; one that is not valid UTF-16 (an unpaired
// surrogate, or an odd byte at its end) fails when that is reached, with an
// error naming the page and where it went wrong.
class PageReader {
public:
    // `page` is read from where it stands; it must outlive the reader.
    explicit PageReader(TextStream& page);
    ~PageReader();
    PageReader(const PageReader&) = delete;
    PageReader& operator=(const PageReader&) = delete;

    // Up to `size` bytes (at least kLeastRoom) of the page into `buffer`;
    // fewer where a pipe has no more yet, and 0 only at the end of the page.
    [[nodiscard]] std::size_t Read(char* buffer, std::size_t size);

    static constexpr std::size_t kLeastRoom = 4; // the most one character takes in UTF-8

private:
    enum class Form { Unknown, AsItIs, Utf16LittleEndian, Utf16BigEndian };

    // Reads the first bytes into `buffer` and tells the form from them;
    // returns how many were read.
    std::size_t StartReading(char* buffer, std::size_t size);
    std::size_t ReadUtf16(char* buffer, std::size_t size);
    // Decodes the whole characters read so far into [out, end), as many as fit.
    char* Decode(char* out, const char* end);
    // Fails at the character that starts `offset` bytes into the page.
    [[noreturn]] void Fail(std::uint64_t offset) const;

    TextStream& m_Page;
    Form m_Form = Form::Unknown;
    std::unique_ptr<char[]> m_Raw; // UTF-16 bytes read and not decoded yet
    std::size_t m_RawBegin = 0;
    std::size_t m_RawEnd = 0;
    std::uint64_t m_Decoded = 0; // bytes of the page decoded before m_RawBegin
};

} // namespace quillomatic
