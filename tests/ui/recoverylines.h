#pragma once
// What the recovery driver types, shared with the test that checks what
// came back.

#include <QString>
#include <QTextCharFormat>

namespace tess::testing {

inline const QString kDriverDocument = QStringLiteral("DOC.RTF");
constexpr int kDriverStepMs = 15;
constexpr int kDriverSaveEvery = 40;
// The driver's save-kill run: the copy holds the first text, the save
// both.
inline const QString kSaveKillCopied = QStringLiteral("保存前の写し\n");
inline const QString kSaveKillTypedAfter = QStringLiteral("その後の6字。");

inline QString driverLine(int n) {
    return QStringLiteral("行%1 ﾃｷｽﾄ かなカナ {\\}\n").arg(n);
}
// Every third line bold, so that formatting has to come back too.
inline QTextCharFormat driverFormat(int n) {
    QTextCharFormat f;
    f.setFontWeight(n % 3 == 0 ? QFont::Bold : QFont::Normal);
    return f;
}
inline QString driverText(int lines) {
    QString out;
    for (int i = 1; i <= lines; ++i) out += driverLine(i);
    return out;
}

} // namespace tess::testing
