// A text on its way to the translator through a staging file.
#include "StagingFile.h"

#include "CodePage1252.h"
#include "FileError.h"
#include "FileSystemObject.h"

#include <cstring>

namespace quillomatic {
namespace {

TextStream CreateUnderFreshName(FileSystemObject& fileSystem) {
    for (int attempt = 1;; ++attempt) {
        try {
            return fileSystem.CreateTextFile(fileSystem.GetTempName(), false);
        } catch (const ComponentError& error) {
            if (error.Number() != FileError::kFileAlreadyExists ||
                attempt == FileSystemObject::kFreshNameAttempts) {
                throw;
            }
        }
    }
}

} // namespace

StagingFile::StagingFile(FileSystemObject& fileSystem, std::string_view text)
    : m_Rest(text), m_File(CreateUnderFreshName(fileSystem)),
      m_Writer([this](std::string_view block) { m_File.WriteBytes(block); }) {}

std::size_t StagingFile::ReadBytes(char* buffer, std::size_t size) {
    const std::size_t cut = CodePage1252::SafeCut(m_Rest, size);
    const auto count =
        static_cast<std::size_t>(CodePage1252::EncodeTo(m_Rest.substr(0, cut), buffer) - buffer);
    m_Rest.remove_prefix(cut);
    if (count > 0) {
        m_Block.resize(count);
        std::memcpy(m_Block.data(), buffer, count);
        m_Writer.Write(m_Block, count);
    }
    return count;
}

void StagingFile::Close() {
    m_Writer.Finish();
    m_File.Close();
}

} // namespace quillomatic
