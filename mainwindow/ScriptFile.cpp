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
    : m_File(Written(folder, script)), m_Size(script.size()) {}

std::string ScriptFile::Read() const {
    struct stat status {};
    if (::fstat(m_File.Descriptor(), &status) != 0) {
        throw FileError::FromErrno(errno, FileError::Action::Read, m_File.Path());
    }
    if (static_cast<std::size_t>(status.st_size) != m_Size) {
        throw FileError::Make(FileError::kDeviceIOError, FileError::Action::Read, m_File.Path(),
                              "it has changed since the script was written to it");
    }
    std::string script(m_Size, '\0');
    for (std::size_t done = 0; done < script.size();) {
        const ssize_t read = ::pread(m_File.Descriptor(), script.data() + done,
                                     script.size() - done, static_cast<off_t>(done));
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read <= 0) {
            // Cut while it is read.
            throw FileError::FromErrno(read < 0 ? errno : EIO, FileError::Action::Read,
                                       m_File.Path());
        }
        done += static_cast<std::size_t>(read);
    }
    return script;
}

} // namespace quillomatic
