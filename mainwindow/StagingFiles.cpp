// The staging files the window's conversions made, removed when it closes.
#include "StagingFiles.h"

#include <QDir>
#include <QFile>

namespace quillomatic {

StagingFiles::~StagingFiles() {
    for (const QString& path : m_Paths) {
        QFile::remove(path);
    }
}

void StagingFiles::Add(const std::vector<std::string>& names) {
    const QDir current = QDir::current();
    for (const std::string& name : names) {
        m_Paths.append(current.absoluteFilePath(QFile::decodeName(name.c_str())));
    }
}

} // namespace quillomatic
