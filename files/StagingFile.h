// The file a text is staged through on its way to the translator.
#pragma once

#include "TextEncoding.h"
#include "TextStream.h"

#include <future>
#include <string>
#include <string_view>

namespace quillomatic {

class FileSystemObject;

// Creates a file of a fresh random name in a folder, readable by its
// owner only, and writes the text into it as UTF-8: its bytes as they are, so
// the file holds exactly the bytes the conversion translates, and reads as a
// page file does (see TextEncoding). A large text is written, and its bytes
// checked, on a thread of its own while it is translated. A name that is taken
// is skipped, so a file or link someone else put there is neither overwritten
// nor followed. The file is left in place.
class StagingFile {
public:
    // In `folder`, or in the current folder when it is empty.
    StagingFile(FileSystemObject& fileSystem, const std::string& folder, std::string_view text);

    // Waits until the file holds the whole text, closes it, and says what its
    // bytes are.
    [[nodiscard]] Utf8Check Close();

    // The file's path: its bare name when it is in the current folder.
    [[nodiscard]] const std::string& Name() const noexcept { return m_File.Path(); }

private:
    TextStream m_File;
    std::future<Utf8Check> m_Written; // waited for before the file is closed
};

} // namespace quillomatic
