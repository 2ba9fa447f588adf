// A script of the window's last run, kept on disk rather than in memory.
#include "ScriptFile.h"

#include "FileError.h"
#include "FileSystemObject.h"
#include "StagingFile.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace quillomatic {
namespace {

// The file the staging file wrote, open for reading before its name can go.
TextStream Written(const std::string& folder, std::string_view script) {
    FileSystemObject fileSystem;
    StagingFile staged(fileSystem, folder, script);
    (void)staged.Close();
    return fileSystem.OpenRegularTextFile(staged.Name());
}

} // namespace

ScriptFile::ScriptFile(const std::string& folder, std::string_view script)
    : m_File(Written(folder, script)) {}

std::string ScriptFile::Read() {
    struct stat status {};
    if (::fstat(m_File.Descriptor(), &status) != 0) {
        throw FileError::FromErrno(errno, FileError::Action::Read, m_File.Path());
    }
    if (static_cast<std::uint64_t>(status.st_size) != m_File.SizeWhenOpened()) {
        throw FileError::Make(FileError::kDeviceIOError, FileError::Action::Read, m_File.Path(),
                              "it has changed since the script was written to it");
    }
    if (::lseek(m_File.Descriptor(), 0, SEEK_SET) != 0) {
        throw FileError::FromErrno(errno, FileError::Action::Read, m_File.Path());
    }
    std::string script(static_cast<std::size_t>(m_File.SizeWhenOpened()), '\0');
    for (std::size_t done = 0; done < script.size();) {
        const std::size_t read = m_File.ReadBytes(script.data() + done, script.size() - done);
        if (read == 0) {
            // Cut while it is read.
            throw FileError::FromErrno(EIO, FileError::Action::Read, m_File.Path());
        }
        done += read;
    }
    return script;
}

} // namespace quillomatic
