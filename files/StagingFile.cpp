// The file a text is staged through on its way to the translator.
#include "StagingFile.h"

#include "FileError.h"
#include "FileSystemObject.h"

namespace quillomatic {
namespace {

// Below this a thread costs more than it saves.
constexpr std::size_t kWrittenAlongsideFrom = std::size_t(1) << 20;

TextStream CreateUnderFreshName(FileSystemObject& fileSystem, const std::string& folder) {
    for (int attempt = 1;; ++attempt) {
        try {
            return fileSystem.CreateTextFile(
                folder.empty() ? fileSystem.GetTempName() : folder + '/' + fileSystem.GetTempName(),
                false);
        } catch (const ComponentError& error) {
            if (error.Number() != FileError::kFileAlreadyExists ||
                attempt == FileSystemObject::kFreshNameAttempts) {
                throw;
            }
        }
    }
}

} // namespace

StagingFile::StagingFile(FileSystemObject& fileSystem, const std::string& folder,
                         std::string_view text)
    : m_File(CreateUnderFreshName(fileSystem, folder)) {
    const auto checked = [text] {
        Utf8Check check;
        check.Add(text);
        return check;
    };
    if (text.size() < kWrittenAlongsideFrom) {
        m_File.WriteBytes(text);
        m_Written = std::async(std::launch::deferred, checked);
        return;
    }
    m_Written = std::async(std::launch::async, [this, text, checked] {
        m_File.WriteBytes(text);
        return checked();
    });
}

Utf8Check StagingFile::Close() {
    const Utf8Check check = m_Written.get();
    m_File.Close();
    return check;
}

} // namespace quillomatic
