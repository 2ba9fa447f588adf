// Where a conversion writes its script, a block at a time.
#include "ScriptSink.h"

#include <algorithm>
#include <utility>

namespace quillomatic {

ScriptSink::ScriptSink(std::size_t blockSize, std::function<void(std::string_view block)> end)
    : m_End(std::move(end)), m_Writer(m_End), m_BlockSize(blockSize), m_Block(blockSize, '\0') {}

char* ScriptSink::Room(std::size_t more) {
    if (m_Length + more > m_Block.size()) {
        m_Writer.Write(m_Block, m_Length);
        m_HandedOver = true;
        m_Length = 0;
        if (m_Block.size() < std::max(more, m_BlockSize)) {
            m_Block.resize(std::max(more, m_BlockSize));
        }
    }
    return m_Block.data() + m_Length;
}

void ScriptSink::Finish() {
    if (m_HandedOver) {
        m_Writer.Write(m_Block, m_Length);
        m_Writer.Finish();
    } else {
        m_End(std::string_view(m_Block.data(), m_Length));
    }
    m_Length = 0;
}

} // namespace quillomatic
