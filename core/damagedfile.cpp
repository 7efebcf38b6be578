#include "damagedfile.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cstdio>
#endif

namespace tess {

QString setDamagedFileAside(const QString& path) {
    const QString base = path + QStringLiteral(".damaged");
    for (int n = 1; n < 1000; ++n) {
        const QString target = n == 1 ? base : base + QString::number(n);
        const QFileInfo taken(target);
        if (taken.exists() || taken.isSymLink()) continue;
#ifdef Q_OS_UNIX
        // The entry itself, whatever it is: QFile refuses a symbolic link
        // that leads nowhere (a loop) as a file that does not exist.
        const bool moved = std::rename(QFile::encodeName(path).constData(), QFile::encodeName(target).constData()) == 0;
#else
        const bool moved = QFile::rename(path, target);
#endif
        return moved ? taken.fileName() : QString();
    }
    return QString();
}

QString damagedFileMessage(const QString& what, const QString& file, const QString& keptAs,
                           const QString& after) {
    QString text = what + QStringLiteral(" \"") + file + QStringLiteral("\" が壊れているため読み込みませんでした。");
    if (keptAs.isEmpty()) text += QStringLiteral("\n壊れたファイルを別の名前で残せませんでした。");
    else text += QStringLiteral("\n壊れたファイルは \"") + keptAs + QStringLiteral("\" として残してあります。");
    if (!after.isEmpty()) text += u'\n' + after;
    return text;
}

QString keptAsText(const QString& keptAs) {
    return keptAs.isEmpty() ? QStringLiteral("元のﾌｧｲﾙを別の名前で残せませんでした。")
                            : QStringLiteral("元のﾌｧｲﾙは \"%1\" として残してあります。").arg(keptAs);
}

} // namespace tess
