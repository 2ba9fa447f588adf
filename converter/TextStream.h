// An open single-byte text file, read line by line or whole, or written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quillomatic {

// Reads or writes one file as Windows-1252 text, buffered, over a POSIX file
// descriptor. Texts in memory are UTF-8 (see CodePage1252).
//
// Lines end at CR LF, at a lone LF and at a lone CR; the terminator is not part
// of the line, and a terminator at the very end of the file does not begin a
// further, empty line.
//
// Close() reports a failure to write the last buffered bytes; the destructor
// closes a stream that is still open and swallows such a failure, so a stream
// is never left open.
class TextStream {
public:
    enum class Mode { ForReading, ForWriting };

    // Takes over `descriptor`; `path` names the file in error messages. A stream
    // that does not own its descriptor (standard output, say) flushes but never
    // closes it.
    TextStream(int descriptor, std::string path, Mode mode, bool ownsDescriptor = true);
    ~TextStream();
    TextStream(TextStream&& other) noexcept;
    TextStream& operator=(TextStream&& other) noexcept;
    TextStream(const TextStream&) = delete;
    TextStream& operator=(const TextStream&) = delete;

    [[nodiscard]] bool AtEndOfStream();
    // The next line, without its terminator.
    [[nodiscard]] std::string ReadLine();
    // The same, into `sLine`, reusing its storage: the form for reading many lines.
    void ReadLine(std::string& sLine);
    // Everything not read yet, line terminators unchanged.
    [[nodiscard]] std::string ReadAll();

    // Up to `size` bytes of the file as they are, undecoded, into `buffer`; 0 at
    // the end of the file. For readers that handle the code page themselves.
    [[nodiscard]] std::size_t ReadBytes(char* buffer, std::size_t size);

    // Writes the text as it is; no line terminator is added.
    void Write(std::string_view sText);
    // Writes bytes that are already in the code page, unchanged.
    void WriteBytes(std::string_view bytes);
    // Flushes what is buffered to the file and closes it.
    void Close();

    // Size of the file in bytes when it was opened, for callers that reserve memory.
    [[nodiscard]] std::uint64_t SizeWhenOpened() const noexcept { return m_SizeWhenOpened; }
    [[nodiscard]] const std::string& Path() const noexcept { return m_Path; }

private:
    bool Fill();
    void Flush();
    void WriteAll(const char* data, std::size_t size);
    void RequireMode(Mode mode) const;
    void Release() noexcept;

    int m_Descriptor;
    std::string m_Path;
    Mode m_Mode;
    bool m_OwnsDescriptor;
    std::uint64_t m_SizeWhenOpened = 0;
    std::unique_ptr<char[]> m_Buffer; // reading: the block read last
    std::size_t m_Begin = 0;          // first unread byte of the block
    std::size_t m_End = 0;            // end of the bytes read
    std::string m_Pending;            // writing: encoded bytes not yet written
    bool m_AtEndOfFile = false;
};

} // namespace quillomatic
