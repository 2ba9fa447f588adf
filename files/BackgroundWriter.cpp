// Writes blocks of a script to a file on a thread of its own.
#include "BackgroundWriter.h"

#include "TextStream.h"

#include <string_view>
#include <utility>

namespace quillomatic {

BackgroundWriter::BackgroundWriter(TextStream& output) : m_Output(output) {}

BackgroundWriter::~BackgroundWriter() {
    {
        const std::lock_guard lock(m_Mutex);
        m_Stopping = true;
    }
    m_Changed.notify_all();
    if (m_Thread.joinable()) {
        m_Thread.join();
    }
}

void BackgroundWriter::WaitUntilIdle(std::unique_lock<std::mutex>& lock) {
    m_Changed.wait(lock, [this] { return !m_HasBlock; });
    if (m_Failure) {
        std::rethrow_exception(std::exchange(m_Failure, nullptr));
    }
}

void BackgroundWriter::Write(std::string& block, std::size_t length) {
    {
        std::unique_lock lock(m_Mutex);
        WaitUntilIdle(lock);
        std::swap(block, m_Block);
        m_Length = length;
        m_HasBlock = true;
    }
    if (!m_Thread.joinable()) {
        m_Thread = std::thread(&BackgroundWriter::WriteBlocks, this);
    }
    m_Changed.notify_all();
}

void BackgroundWriter::Finish() {
    std::unique_lock lock(m_Mutex);
    WaitUntilIdle(lock);
}

void BackgroundWriter::WriteBlocks() {
    std::unique_lock lock(m_Mutex);
    for (;;) {
        m_Changed.wait(lock, [this] { return m_HasBlock || m_Stopping; });
        if (!m_HasBlock) {
            return;
        }
        // The block is the thread's alone until m_HasBlock is cleared.
        lock.unlock();
        std::exception_ptr failure;
        try {
            m_Output.WriteBytes(std::string_view(m_Block.data(), m_Length));
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        m_Failure = failure;
        m_HasBlock = false;
        m_Changed.notify_all();
    }
}

} // namespace quillomatic
