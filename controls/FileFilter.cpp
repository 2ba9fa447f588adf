// A file dialog filter as the program stores it, and as Qt's file dialog takes it.
#include "FileFilter.h"

#include <QRegularExpression>

namespace quillomatic {
namespace {

QStringList PatternsOfElement(const QString& element) {
    QStringList patterns;
    for (QString pattern : element.split(QRegularExpression(QStringLiteral("[;,]")))) {
        pattern = pattern.trimmed();
        // "* .HTM" is "*.HTM" with a stray blank.
        pattern.replace(QRegularExpression(QStringLiteral("\\*\\s+")), QStringLiteral("*"));
        // "*.*" means every file, those without a dot (README, Makefile) too.
        if (pattern == QStringLiteral("*.*")) {
            pattern = QStringLiteral("*");
        }
        if (!pattern.isEmpty()) {
            patterns.append(pattern);
        }
    }
    return patterns;
}

// "HTML Files (*.HTM; *.HTML)" shows its own pattern list; Qt's dialog reads the
// patterns from a list in parentheses at the end, so that one is replaced.
QString DescriptionWithoutPatternList(const QString& description) {
    static const QRegularExpression trailingList(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QString plain = description;
    plain.remove(trailingList);
    return plain.isEmpty() ? description.trimmed() : plain;
}

} // namespace

FileFilter::FileFilter(const QString& stored) {
    const QStringList elements = stored.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < elements.size(); i += 2) {
        const QStringList patterns = PatternsOfElement(elements[i + 1]);
        if (patterns.isEmpty()) {
            continue;
        }
        m_NameFilters.append(QStringLiteral("%1 (%2)").arg(
            DescriptionWithoutPatternList(elements[i]), patterns.join(u' ')));
    }
}

} // namespace quillomatic
