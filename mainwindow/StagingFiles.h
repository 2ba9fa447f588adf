// The staging files the window's conversions made, removed when it closes.
#pragma once

#include <QString>
#include <map>
#include <string>
#include <vector>

namespace quillomatic {

// Each conversion from text stages the HTML in a file of its own and leaves
// it. They stay while the window runs; when the window goes, the files it
// made go too, wherever they were made, so a day's work does not leave
// gigabytes behind. Files another window made are not touched; a run that
// crashed leaves its files to the weekly clean-up of StagingFolder.
class StagingFiles {
public:
    StagingFiles() = default;
    ~StagingFiles();
    StagingFiles(const StagingFiles&) = delete;
    StagingFiles& operator=(const StagingFiles&) = delete;

    // Records a file named relative to the current folder; an empty name
    // records nothing.
    void Add(const std::string& name);

private:
    // The names by folder: the names are short and kept without a copy of
    // their folder each, so a long session's record stays small.
    std::map<QString, std::vector<std::string>> m_NamesByFolder;
};

} // namespace quillomatic
