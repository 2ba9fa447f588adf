// The staging files the window's conversions made, removed when they are done with.
#include "StagingFiles.h"

#include <cstdlib>
#include <mutex>
#include <set>
#include <unistd.h>

namespace quillomatic {
namespace {

// Never destroyed: exit() runs the removal after the destructors of statics
// made later than its registration.
std::mutex& RecordLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

std::set<StagingFiles*>& Records() {
    static auto* records = new std::set<StagingFiles*>;
    return *records;
}

void Unlink(std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        ::unlink(path.c_str());
    }
    paths.clear();
}

std::string CurrentFolder() {
    char* folder = ::getcwd(nullptr, 0);
    std::string path = folder != nullptr ? folder : ".";
    std::free(folder);
    return path;
}

} // namespace

StagingFiles::StagingFiles() {
    // Qt's X11 connection ends the process with exit() when the display goes.
    static const bool removedAtExit = std::atexit(&StagingFiles::RemoveAllRecorded) == 0;
    (void)removedAtExit;
    const std::lock_guard hold(RecordLock());
    Records().insert(this);
}

StagingFiles::~StagingFiles() {
    const std::lock_guard hold(RecordLock());
    RemoveAll();
    Records().erase(this);
}

void StagingFiles::BeginRun() {
    const std::lock_guard hold(RecordLock());
    m_RunBefore.insert(m_RunBefore.end(), m_LastRun.begin(), m_LastRun.end());
    m_LastRun.clear();
}

void StagingFiles::Add(const std::string& name) {
    if (name.empty()) {
        return;
    }
    std::string path = name.starts_with('/') ? name : CurrentFolder() + '/' + name;
    const std::lock_guard hold(RecordLock());
    m_LastRun.push_back(std::move(path));
    Unlink(m_RunBefore);
}

void StagingFiles::RemoveAllRecorded() {
    const std::lock_guard hold(RecordLock());
    for (StagingFiles* files : Records()) {
        files->RemoveAll();
    }
}

void StagingFiles::RemoveAll() {
    Unlink(m_RunBefore);
    Unlink(m_LastRun);
}

} // namespace quillomatic
