// The staging files the window's conversions made, removed when they are done with.
#pragma once

#include <string>
#include <vector>

namespace quillomatic {

// Each conversion from text stages the HTML in a file of its own, five a
// run, each a full copy of the page, and the window keeps each script in
// one more (ScriptFile): ten files a run. The files of the last run stay while
// the window runs; those of the run before go once the next run has made
// its first, so a day's work does not fill the disk. When the window goes,
// its files go too, however it ends: closed, by a signal (see EndingSignals)
// or by the loss of its display, which ends the process through exit().
// Files another window made are not touched; a run that crashed leaves its
// files to the weekly clean-up of StagingFolder.
class StagingFiles {
public:
    StagingFiles();
    ~StagingFiles();
    StagingFiles(const StagingFiles&) = delete;
    StagingFiles& operator=(const StagingFiles&) = delete;

    // The files recorded from now on are a new run's.
    void BeginRun();
    // Records a file by its path, which a relative one takes from the current
    // folder; an empty one records nothing. The first of a run removes the
    // run before it.
    void Add(const std::string& name);

    // Removes the files of every StagingFiles of the process, for a process
    // about to end. Plain system calls only: it runs from exit() too.
    static void RemoveAllRecorded();

private:
    void RemoveAll();

    std::vector<std::string> m_LastRun;    // whole paths
    std::vector<std::string> m_RunBefore;  // still there until the last run makes its first
};

} // namespace quillomatic
