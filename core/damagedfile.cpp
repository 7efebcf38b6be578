#include "damagedfile.h"

#include <QFile>
#include <QFileInfo>

namespace tess {

QString setDamagedFileAside(const QString& path) {
    const QString base = path + QStringLiteral(".damaged");
    for (int n = 1; n < 1000; ++n) {
        const QString target = n == 1 ? base : base + QString::number(n);
        if (QFileInfo::exists(target)) continue;
        return QFile::rename(path, target) ? QFileInfo(target).fileName() : QString();
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
