// A conversion's script written to a file as it is made.
#include "ScriptStream.h"

#include "TextStream.h"

#include <string_view>

namespace quillomatic {
namespace {

constexpr std::size_t kBufferSize = std::size_t(1) << 20;

} // namespace

ScriptStream::ScriptStream(TextStream& output) : m_Output(output), m_Buffer(kBufferSize, '\0') {}

char* ScriptStream::Room(std::size_t more) {
    if (m_Length + more > m_Buffer.size()) {
        Flush();
        if (more > m_Buffer.size()) {
            m_Buffer.resize(more);
        }
    }
    return m_Buffer.data() + m_Length;
}

void ScriptStream::Flush() {
    m_Output.WriteBytes(std::string_view(m_Buffer.data(), m_Length));
    m_Length = 0;
}

} // namespace quillomatic
