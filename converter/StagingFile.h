// A text on its way to the translator through a staging file.
#pragma once

#include "BackgroundWriter.h"
#include "TextStream.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace quillomatic {

class FileSystemObject;

// Creates a file of a fresh random name in the current folder, readable by
// its owner only, and stages the text through it as it is read: each read
// gives the next piece of the text, encoded, and writes the same bytes to the
// file on a thread of its own (see BackgroundWriter), so the conversion reads
// exactly what the file holds without reading it back. A name that is taken
// is skipped, so a file or link someone else put there is neither overwritten
// nor followed. The file is left in place.
class StagingFile {
public:
    StagingFile(FileSystemObject& fileSystem, std::string_view text);

    // Up to `size` bytes of the encoded text into `buffer`, which has room for
    // at least four (a character's most); 0 once all is read.
    [[nodiscard]] std::size_t ReadBytes(char* buffer, std::size_t size);
    // Waits until the file holds the whole text and closes it.
    void Close();

    [[nodiscard]] const std::string& Name() const noexcept { return m_File.Path(); }

private:
    std::string_view m_Rest; // the text not read yet
    TextStream m_File;
    BackgroundWriter m_Writer;
    std::string m_Block; // the encoded piece handed to the writer next
};

} // namespace quillomatic
