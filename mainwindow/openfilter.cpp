#include "openfilter.h"

namespace tess {

QStringList toQtFilters(const QString& filter, const PathStyle& style) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString pattern = parts[i + 1].trimmed();
        if (pattern.isEmpty()) continue;
        // Several patterns are separated by ";" in the pipe form, by blanks in Qt's.
        QStringList patterns = pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
        // "*.*" means every file; outside Windows it would miss names without a dot.
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*")) p = QStringLiteral("*");
        }
        // Qt's dialogs match case-sensitively where the file system does.
        if (!style.isWindows()) {
            const QStringList given = patterns;
            for (const QString& p : given)
                if (const QString lower = p.toLower(); !patterns.contains(lower)) patterns << lower;
        }
        // The patterns always follow the caption in a pair of their own, so a
        // dialog that hides them shows the caption exactly as written.
        out << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out;
}

} // namespace tess
