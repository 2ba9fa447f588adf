// The file a text is staged through on its way to the line reader.
#pragma once

#include <string>

namespace quillomatic {

class FileSystemObject;

class StagingFile {
public:
    // Writes `text` to a file of a fresh random name in the current folder,
    // readable by its owner only, and returns that bare name. A name that is
    // taken is skipped, so a file or link someone else put there is neither
    // overwritten nor followed. The file is left in place.
    static std::string Create(FileSystemObject& fileSystem, const std::string& text);
};

} // namespace quillomatic
