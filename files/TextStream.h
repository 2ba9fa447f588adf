// An open file: its bytes read or written as they are, or as text.
#pragma once

#include "TextEncoding.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillomatic {

// Owns one POSIX file descriptor and nothing else: no buffer, no mode. Texts in
// memory are UTF-8; a file holds UTF-8 or Windows-1252 (see TextEncoding). The
// bytes of a file pass through ReadBytes and WriteBytes unchanged. Failures are
// raised as ComponentError (see FileError), naming the file.
//
// Close() reports a failure to close; the destructor closes a stream that is
// still open and swallows such a failure, so a stream is never left open.
class TextStream {
public:
    // Takes over `descriptor`; `path` names the file in error messages.
    TextStream(int descriptor, std::string path);
    ~TextStream();
    TextStream(TextStream&& other) noexcept;
    TextStream& operator=(TextStream&& other) noexcept;
    TextStream(const TextStream&) = delete;
    TextStream& operator=(const TextStream&) = delete;

    // The process's standard input and output, each as a stream of its own
    // that closes its own copy of the descriptor.
    [[nodiscard]] static TextStream StandardInput();
    [[nodiscard]] static TextStream StandardOutput();

    // Up to `size` bytes of the file into `buffer`; fewer where a pipe has no
    // more yet, and 0 only at the end of the file.
    [[nodiscard]] std::size_t ReadBytes(char* buffer, std::size_t size);
    // Everything not read yet as text, line terminators unchanged, read as a
    // page (see PageReader); `readAs`, where given, learns which encoding the
    // bytes were read in: UTF-8 for a UTF-16 page.
    [[nodiscard]] std::string ReadAll(TextEncoding* readAs = nullptr);

    // Writes all of `bytes`, unchanged.
    void WriteBytes(std::string_view bytes);
    // Writes the text in `encoding`; no line terminator is added. In
    // Windows-1252 a character the code page lacks becomes "?".
    void Write(std::string_view sText, TextEncoding encoding);

    void Close();

    // Whether reading may wait for another program (a pipe, a FIFO, a socket,
    // a terminal) and no byte is there to be read at once: what has been made
    // of the bytes so far is then worth passing on before the next read.
    [[nodiscard]] bool WouldWait() const;

    // Size of the file in bytes when it was opened, for callers that reserve memory.
    [[nodiscard]] std::uint64_t SizeWhenOpened() const noexcept { return m_SizeWhenOpened; }
    [[nodiscard]] const std::string& Path() const noexcept { return m_Path; }
    // For what only the descriptor can do (permissions, syncing); -1 once closed.
    [[nodiscard]] int Descriptor() const noexcept { return m_Descriptor; }

private:
    int m_Descriptor;
    std::string m_Path;
    std::uint64_t m_SizeWhenOpened = 0;
};

} // namespace quillomatic
