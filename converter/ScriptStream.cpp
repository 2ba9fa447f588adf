// A conversion's script written to a file as it is made.
#include "ScriptStream.h"

#include "TextStream.h"

#include <algorithm>
#include <string_view>

namespace quillomatic {
namespace {

// Each of the two buffers stays in the processor's cache while it is filled.
constexpr std::size_t kBufferSize = std::size_t(1) << 20;
// The script of a page of some tens of kilobytes, the common case in a
// batch, fits in a quarter of that with the translator's worst-case room.
constexpr std::size_t kFirstBufferSize = std::size_t(1) << 18;

} // namespace

ScriptStream::ScriptStream(TextStream& output)
    : m_Output(output), m_Writer(output), m_Buffer(kFirstBufferSize, '\0') {}

char* ScriptStream::Room(std::size_t more) {
    if (m_Length + more > m_Buffer.size() && !m_HandedOver && m_Buffer.size() < kBufferSize) {
        m_Buffer.resize(std::max(m_Length + more, std::min(2 * m_Buffer.size(), kBufferSize)));
    }
    if (m_Length + more > m_Buffer.size()) {
        m_Writer.Write(m_Buffer, m_Length);
        m_HandedOver = true;
        m_Length = 0;
        if (m_Buffer.size() < std::max(more, kBufferSize)) {
            m_Buffer.resize(std::max(more, kBufferSize));
        }
    }
    return m_Buffer.data() + m_Length;
}

void ScriptStream::PassOn() {
    const std::size_t lineEnd = std::string_view(m_Buffer.data(), m_Length).rfind('\n');
    if (lineEnd == std::string_view::npos) {
        return;
    }
    const std::string rest(m_Buffer.data() + lineEnd + 1, m_Length - lineEnd - 1);
    m_Writer.Write(m_Buffer, lineEnd + 1);
    m_HandedOver = true;
    if (m_Buffer.size() < std::max(rest.size(), kBufferSize)) {
        m_Buffer.resize(std::max(rest.size(), kBufferSize));
    }
    rest.copy(m_Buffer.data(), rest.size());
    m_Length = rest.size();
}

void ScriptStream::Flush() {
    if (m_HandedOver) {
        m_Writer.Write(m_Buffer, m_Length);
        m_Writer.Finish();
    } else {
        m_Output.WriteBytes(std::string_view(m_Buffer.data(), m_Length));
    }
    m_Length = 0;
}

} // namespace quillomatic
