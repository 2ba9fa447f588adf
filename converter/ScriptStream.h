// A conversion's script written to a file as it is made.
#pragma once

#include "BackgroundWriter.h"
#include "ScriptSink.h"

#include <string>

namespace quillomatic {

class TextStream;

// Gathers statements in a buffer and hands it to a BackgroundWriter when full,
// so a page of any size converts in little memory and the file is written
// while the next statements are made. Flush() writes the rest and waits until
// everything is in the file. The statements are the page's bytes already
// (see StatementTranslator) and are written as they are.
class ScriptStream : public ScriptSink {
public:
    explicit ScriptStream(TextStream& output);

    [[nodiscard]] char* Room(std::size_t more) override;
    void EndAt(const char* end) override {
        m_Length = static_cast<std::size_t>(end - m_Buffer.data());
    }
    // Hands the statements so far, up to the last line break, to the writer.
    void PassOn() override;
    void Flush();

private:
    TextStream& m_Output;
    BackgroundWriter m_Writer;
    bool m_HandedOver = false; // a small script is written in one go, without a thread
    std::string m_Buffer;
    std::size_t m_Length = 0;
};

} // namespace quillomatic
