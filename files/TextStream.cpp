// An open file: its bytes read or written as they are, or as text.
#include "TextStream.h"

#include "CodePage1252.h"
#include "FileError.h"
#include "PageReader.h"
#include "StandardStreams.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quillomatic {
namespace {

constexpr std::size_t kBlock = std::size_t(1) << 18;

// `action` is what the stream is for. A standard stream that is closed (as
// by "<&-") is said to be so: read as empty, it would pass for an empty page.
TextStream Duplicate(int descriptor, const char* name, FileError::Action action) {
    const bool closed = StandardStreams::WasClosed(descriptor);
    const int copy = closed ? -1 : ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    if (closed || (copy < 0 && errno == EBADF)) {
        throw FileError::Make(FileError::kDeviceIOError, action, name, "it is closed");
    }
    if (copy < 0) {
        throw FileError::FromErrno(errno, action, name);
    }
    return TextStream(copy, name);
}

} // namespace

TextStream::TextStream(int descriptor, std::string path)
    : m_Descriptor(descriptor), m_Path(std::move(path)) {
    struct stat status {};
    if (::fstat(m_Descriptor, &status) == 0 && S_ISREG(status.st_mode)) {
        m_SizeWhenOpened = static_cast<std::uint64_t>(status.st_size);
    }
}

bool TextStream::WouldWait() const {
    struct stat status {};
    if (::fstat(m_Descriptor, &status) != 0 || S_ISREG(status.st_mode) || S_ISBLK(status.st_mode)) {
        return false;
    }
    pollfd ready{m_Descriptor, POLLIN, 0};
    return ::poll(&ready, 1, 0) == 0;
}

TextStream::~TextStream() {
    if (m_Descriptor >= 0) {
        ::close(m_Descriptor);
    }
}

TextStream::TextStream(TextStream&& other) noexcept
    : m_Descriptor(std::exchange(other.m_Descriptor, -1)), m_Path(std::move(other.m_Path)),
      m_SizeWhenOpened(other.m_SizeWhenOpened) {}

TextStream& TextStream::operator=(TextStream&& other) noexcept {
    if (this != &other) {
        if (m_Descriptor >= 0) {
            ::close(m_Descriptor);
        }
        m_Descriptor = std::exchange(other.m_Descriptor, -1);
        m_Path = std::move(other.m_Path);
        m_SizeWhenOpened = other.m_SizeWhenOpened;
    }
    return *this;
}

TextStream TextStream::StandardInput() {
    return Duplicate(STDIN_FILENO, "standard input", FileError::Action::Read);
}

TextStream TextStream::StandardOutput() {
    return Duplicate(STDOUT_FILENO, "standard output", FileError::Action::Write);
}

std::size_t TextStream::ReadBytes(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t count = ::read(m_Descriptor, buffer, size);
        if (count >= 0) {
            return static_cast<std::size_t>(count);
        }
        if (errno != EINTR) {
            throw FileError::FromErrno(errno, FileError::Action::Read, m_Path);
        }
    }
}

std::string TextStream::ReadAll(TextEncoding* readAs) {
    // Room for the file and one more read, to meet its end in one read.
    std::string bytes(std::max<std::size_t>(m_SizeWhenOpened + PageReader::kLeastRoom, kBlock),
                      '\0');
    std::size_t size = 0;
    PageReader page(*this);
    while (const std::size_t count = page.Read(bytes.data() + size, bytes.size() - size)) {
        size += count;
        if (bytes.size() - size < PageReader::kLeastRoom) {
            bytes.resize(2 * bytes.size());
        }
    }
    bytes.resize(size);
    const TextEncoding encoding = EncodingOf(bytes);
    if (readAs != nullptr) {
        *readAs = encoding;
    }
    return TextOf(std::move(bytes), encoding);
}

void TextStream::WriteBytes(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t count = ::write(m_Descriptor, bytes.data(), bytes.size());
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw FileError::FromErrno(errno, FileError::Action::Write, m_Path);
        }
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
}

void TextStream::Write(std::string_view sText, TextEncoding encoding) {
    if (encoding == TextEncoding::UTF8) {
        WriteBytes(sText);
        return;
    }
    std::string encoded;
    while (!sText.empty()) {
        const std::size_t cut = CodePage1252::SafeCut(sText, kBlock);
        encoded.clear();
        CodePage1252::AppendEncoded(sText.substr(0, cut), encoded);
        WriteBytes(encoded);
        sText.remove_prefix(cut);
    }
}

void TextStream::Close() {
    if (m_Descriptor < 0) {
        return;
    }
    if (::close(std::exchange(m_Descriptor, -1)) != 0 && errno != EINTR) {
        throw FileError::FromErrno(errno, FileError::Action::Close, m_Path);
    }
}

} // namespace quillomatic
