// The staging files the window's conversions made, removed when it closes.
#include "StagingFiles.h"

#include <QDir>
#include <QFile>

namespace quillomatic {

StagingFiles::~StagingFiles() {
    for (const auto& [folder, names] : m_NamesByFolder) {
        const QDir in(folder);
        for (const std::string& name : names) {
            QFile::remove(in.absoluteFilePath(QFile::decodeName(name.c_str())));
        }
    }
}

void StagingFiles::Add(const std::string& name) {
    if (!name.empty()) {
        m_NamesByFolder[QDir::currentPath()].push_back(name);
    }
}

} // namespace quillomatic
