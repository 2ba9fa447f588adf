// Writes blocks of a script to a file on a thread of its own.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <string>
#include <thread>

namespace quillomatic {

class TextStream;

// Copying a block into the file is the kernel's work and costs about as much
// as making the block; done on a thread of its own, it runs on another core
// while the next block is made. One block is written while the caller fills
// the other, so the memory held stays at two blocks whatever the file's size.
//
// A failed write is reported by the next call; the blocks after it are not
// written.
class BackgroundWriter {
public:
    explicit BackgroundWriter(TextStream& output);
    // Waits for the block being written; a failure not reported yet is dropped.
    ~BackgroundWriter();
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    // Hands over the first `length` bytes of `block` to be written, and gives
    // back in `block` the buffer handed over before (empty the first time),
    // once that one is written.
    void Write(std::string& block, std::size_t length);
    // Waits until every block handed over is written.
    void Finish();

private:
    void WaitUntilIdle(std::unique_lock<std::mutex>& lock);
    void WriteBlocks();

    TextStream& m_Output;
    std::mutex m_Mutex;
    std::condition_variable m_Changed;
    // Shared with the thread, under m_Mutex:
    std::string m_Block;
    std::size_t m_Length = 0;
    bool m_HasBlock = false;
    bool m_Stopping = false;
    std::exception_ptr m_Failure;
    std::thread m_Thread; // started with the first block
};

} // namespace quillomatic
