// A file dialog filter as the program stores it, and as Qt's file dialog takes it.
#pragma once

#include <QString>
#include <QStringList>

namespace quillomatic {

// The stored form is "description|pattern|description|pattern...", where one
// pattern element may hold several patterns separated by ";" or ",", with
// blanks around them, and even a blank after the "*" ("* .HTM"), which means
// the same as "*.HTM". "*.*" means every file, as "*" does here.
class FileFilter {
public:
    explicit FileFilter(const QString& stored);

    // One entry per pair, "description (pattern pattern)", for QFileDialog.
    [[nodiscard]] QStringList NameFilters() const { return m_NameFilters; }

private:
    QStringList m_NameFilters;
};

} // namespace quillomatic
