// The file a text is staged through on its way to the line reader.
#include "StagingFile.h"

#include "FileError.h"
#include "FileSystemObject.h"

namespace quillomatic {
namespace {

// Random names collide only when someone plants files on purpose; give up
// well before that could keep a conversion busy.
constexpr int kAttempts = 100;

} // namespace

std::string StagingFile::Create(FileSystemObject& fileSystem, const std::string& text) {
    for (int attempt = 1;; ++attempt) {
        const std::string name = fileSystem.GetTempName();
        try {
            TextStream staging = fileSystem.CreateTextFile(name, false);
            staging.Write(text);
            staging.Close();
            return name;
        } catch (const ComponentError& error) {
            if (error.Number() != FileError::kFileAlreadyExists || attempt == kAttempts) {
                throw;
            }
        }
    }
}

} // namespace quillomatic
