// Scripts of several pages put in place together, after one sync.
#include "ReplacementGroup.h"

#include "ComponentError.h"
#include "FileError.h"

#include <cerrno>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace quillomatic {
namespace {

// Syncs the file system `script` is on, once per group: the errno value of
// the sync, 0 when it succeeded.
int SyncFileSystemOf(TextStream& script, std::map<dev_t, int>& syncedDevices) {
    struct stat status {};
    ::fstat(script.Descriptor(), &status);
    const auto [synced, isNew] = syncedDevices.emplace(status.st_dev, 0);
    if (isNew && ::syncfs(script.Descriptor()) != 0) {
        synced->second = errno;
    }
    return synced->second;
}

} // namespace

void ReplacementGroup::Add(std::size_t page, std::vector<std::unique_ptr<AtomicTextFile>> scripts,
                           std::string failure) {
    m_Waiting += scripts.size();
    m_Pages.push_back({page, std::move(scripts), std::move(failure)});
}

std::vector<ReplacementGroup::Outcome> ReplacementGroup::Commit() {
    std::map<dev_t, int> syncedDevices;
    std::vector<Outcome> outcomes;
    for (Page& page : m_Pages) {
        std::string failure = std::move(page.Failure);
        std::size_t placed = 0;
        try {
            for (const auto& script : page.Scripts) {
                if (const int error = SyncFileSystemOf(script->Stream(), syncedDevices)) {
                    throw FileError::FromErrno(error, FileError::Action::Write,
                                               script->Stream().Path());
                }
            }
            for (const auto& script : page.Scripts) {
                script->CommitSynced();
                ++placed;
            }
        } catch (const ComponentError& error) {
            failure += (failure.empty() ? "" : "\n") + error.Description();
        }
        outcomes.push_back({page.Index, std::move(failure), placed});
    }
    m_Pages.clear();
    m_Waiting = 0;
    return outcomes;
}

} // namespace quillomatic
