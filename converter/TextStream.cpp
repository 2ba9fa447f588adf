// An open single-byte text file, read line by line or whole, or written.
#include "TextStream.h"

#include "CodePage1252.h"
#include "FileError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quillomatic {
namespace {

constexpr std::size_t kBufferSize = std::size_t(1) << 18;
constexpr std::size_t kWriteSlice = std::size_t(1) << 16;

} // namespace

TextStream::TextStream(int descriptor, std::string path, Mode mode, bool ownsDescriptor)
    : m_Descriptor(descriptor), m_Path(std::move(path)), m_Mode(mode),
      m_OwnsDescriptor(ownsDescriptor) {
    if (m_Mode == Mode::ForReading) {
        m_Buffer = std::make_unique_for_overwrite<char[]>(kBufferSize);
    } else {
        m_Pending.reserve(kBufferSize + kWriteSlice);
    }
    struct stat status {};
    if (::fstat(m_Descriptor, &status) == 0 && S_ISREG(status.st_mode)) {
        m_SizeWhenOpened = static_cast<std::uint64_t>(status.st_size);
    }
}

TextStream::~TextStream() {
    try {
        Close();
    } catch (...) {
        Release();
    }
}

TextStream::TextStream(TextStream&& other) noexcept
    : m_Descriptor(std::exchange(other.m_Descriptor, -1)), m_Path(std::move(other.m_Path)),
      m_Mode(other.m_Mode), m_OwnsDescriptor(other.m_OwnsDescriptor),
      m_SizeWhenOpened(other.m_SizeWhenOpened), m_Buffer(std::move(other.m_Buffer)),
      m_Begin(other.m_Begin), m_End(other.m_End), m_Pending(std::move(other.m_Pending)),
      m_AtEndOfFile(other.m_AtEndOfFile) {}

TextStream& TextStream::operator=(TextStream&& other) noexcept {
    if (this != &other) {
        try {
            Close();
        } catch (...) {
            Release();
        }
        m_Descriptor = std::exchange(other.m_Descriptor, -1);
        m_Path = std::move(other.m_Path);
        m_Mode = other.m_Mode;
        m_OwnsDescriptor = other.m_OwnsDescriptor;
        m_SizeWhenOpened = other.m_SizeWhenOpened;
        m_Buffer = std::move(other.m_Buffer);
        m_Begin = other.m_Begin;
        m_End = other.m_End;
        m_Pending = std::move(other.m_Pending);
        m_AtEndOfFile = other.m_AtEndOfFile;
    }
    return *this;
}

void TextStream::RequireMode(Mode mode) const {
    if (m_Descriptor < 0) {
        throw FileError::Make(FileError::kBadFileMode,
                              mode == Mode::ForReading ? FileError::Action::Read
                                                       : FileError::Action::Write,
                              m_Path, "the file is closed");
    }
    if (m_Mode != mode) {
        throw FileError::Make(
            FileError::kBadFileMode,
            mode == Mode::ForReading ? FileError::Action::Read : FileError::Action::Write, m_Path,
            mode == Mode::ForReading ? "it is open for writing" : "it is open for reading");
    }
}

// Reads the next block into the emptied buffer; false at the end of the file.
bool TextStream::Fill() {
    if (m_AtEndOfFile) {
        return false;
    }
    m_Begin = m_End = 0;
    for (;;) {
        const ssize_t count = ::read(m_Descriptor, m_Buffer.get(), kBufferSize);
        if (count > 0) {
            m_End = static_cast<std::size_t>(count);
            return true;
        }
        if (count == 0) {
            m_AtEndOfFile = true;
            return false;
        }
        if (errno != EINTR) {
            throw FileError::FromErrno(errno, FileError::Action::Read, m_Path);
        }
    }
}

bool TextStream::AtEndOfStream() {
    RequireMode(Mode::ForReading);
    return m_Begin == m_End && !Fill();
}

std::string TextStream::ReadLine() {
    std::string line;
    ReadLine(line);
    return line;
}

void TextStream::ReadLine(std::string& sLine) {
    if (AtEndOfStream()) {
        throw FileError::Make(FileError::kInputPastEnd, FileError::Action::Read, m_Path,
                              "there is nothing more to read");
    }
    sLine.clear();
    do {
        const char* begin = m_Buffer.get() + m_Begin;
        const auto size = m_End - m_Begin;
        // Most lines end in LF: find that first, then look for a CR before it.
        const char* terminator = static_cast<const char*>(std::memchr(begin, '\n', size));
        const auto searched = terminator ? std::size_t(terminator - begin) : size;
        if (const void* cr = std::memchr(begin, '\r', searched)) {
            terminator = static_cast<const char*>(cr);
        }
        if (!terminator) {
            CodePage1252::AppendDecoded({begin, size}, sLine);
            m_Begin = m_End;
            continue;
        }
        CodePage1252::AppendDecoded({begin, std::size_t(terminator - begin)}, sLine);
        m_Begin += std::size_t(terminator - begin) + 1;
        if (*terminator == '\r' && (m_Begin < m_End || Fill()) && m_Buffer[m_Begin] == '\n') {
            ++m_Begin;
        }
        return;
    } while (Fill());
}

std::size_t TextStream::ReadBytes(char* buffer, std::size_t size) {
    RequireMode(Mode::ForReading);
    if (m_Begin < m_End) {
        const std::size_t count = std::min(size, m_End - m_Begin);
        std::memcpy(buffer, m_Buffer.get() + m_Begin, count);
        m_Begin += count;
        return count;
    }
    while (!m_AtEndOfFile && size > 0) {
        const ssize_t count = ::read(m_Descriptor, buffer, size);
        if (count > 0) {
            return static_cast<std::size_t>(count);
        }
        if (count == 0) {
            m_AtEndOfFile = true;
        } else if (errno != EINTR) {
            throw FileError::FromErrno(errno, FileError::Action::Read, m_Path);
        }
    }
    return 0;
}

std::string TextStream::ReadAll() {
    RequireMode(Mode::ForReading);
    std::string text;
    text.reserve(m_SizeWhenOpened + m_SizeWhenOpened / 8);
    do {
        CodePage1252::AppendDecoded({m_Buffer.get() + m_Begin, m_End - m_Begin}, text);
        m_Begin = m_End;
    } while (Fill());
    return text;
}

void TextStream::Write(std::string_view sText) {
    RequireMode(Mode::ForWriting);
    std::size_t position = 0;
    while (position < sText.size()) {
        const std::size_t cut = CodePage1252::SafeCut(sText, position + kWriteSlice);
        CodePage1252::AppendEncoded(sText.substr(position, cut - position), m_Pending);
        position = cut;
        if (m_Pending.size() >= kBufferSize) {
            Flush();
        }
    }
}

void TextStream::WriteBytes(std::string_view bytes) {
    RequireMode(Mode::ForWriting);
    if (m_Pending.size() + bytes.size() <= kBufferSize) {
        m_Pending.append(bytes);
        return;
    }
    Flush();
    // A large block goes out straight from the caller's memory, with no copy.
    if (bytes.size() >= kBufferSize) {
        WriteAll(bytes.data(), bytes.size());
    } else {
        m_Pending.append(bytes);
    }
}

void TextStream::Flush() {
    try {
        WriteAll(m_Pending.data(), m_Pending.size());
    } catch (...) {
        m_Pending.clear();
        throw;
    }
    m_Pending.clear();
}

void TextStream::WriteAll(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t count = ::write(m_Descriptor, data, size);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw FileError::FromErrno(errno, FileError::Action::Write, m_Path);
        }
        data += count;
        size -= static_cast<std::size_t>(count);
    }
}

void TextStream::Close() {
    if (m_Descriptor < 0) {
        return;
    }
    try {
        if (m_Mode == Mode::ForWriting) {
            Flush();
        }
    } catch (...) {
        Release();
        throw;
    }
    const int descriptor = std::exchange(m_Descriptor, -1);
    if (m_OwnsDescriptor && ::close(descriptor) != 0 && errno != EINTR &&
        m_Mode == Mode::ForWriting) {
        throw FileError::FromErrno(errno, FileError::Action::Close, m_Path);
    }
}

void TextStream::Release() noexcept {
    if (m_Descriptor >= 0 && m_OwnsDescriptor) {
        ::close(m_Descriptor);
    }
    m_Descriptor = -1;
    m_End = m_Begin = 0;
    m_Pending.clear();
}

} // namespace quillomatic
