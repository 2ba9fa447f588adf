// The program's own folder, where the staging files of its conversions go.
#pragma once

#include <QDateTime>
#include <QString>

namespace quillomatic {

// Every conversion from text leaves a staging file qmXXXXXXXX.tmp in the
// folder its Converter is given. Started from the desktop's menu the current
// folder is the user's home, which would fill up with them, and a read-only
// folder would allow no conversion at all. So at start the program makes a
// folder of its own, $XDG_CACHE_HOME/quillomatic (~/.cache/quillomatic
// without XDG_CACHE_HOME), readable by the user alone, and stages there.
// Staging files older than seven days are removed from it then; nothing else
// there is ever touched. A link at that place, or a folder of someone else's,
// is not used (nor changed): the program then stages in the folder it was
// started from. The process's current folder never changes.
class StagingFolder {
public:
    // The folder the environment names; empty when it names none.
    StagingFolder();

    [[nodiscard]] QString Path() const { return m_Path; }

    // Makes the folder (and missing parents) owner-only and removes the
    // staging files older than seven days before `now`. False when the
    // folder cannot be made, is a link or is not the user's own.
    bool Prepare(const QDateTime& now = QDateTime::currentDateTimeUtc());

private:
    QString m_Path;
};

} // namespace quillomatic
