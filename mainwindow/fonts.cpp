#include "fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace tess::fonts {

namespace {
const QString kJapaneseSans = QStringLiteral("Noto Sans CJK JP");
const QString kJapaneseMono = QStringLiteral("Noto Sans Mono CJK JP");

bool installed(const QString& family) {
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}
} // namespace

void installFontSubstitutions() {
    static bool done = false;
    if (done) return;
    done = true;
    // A platform that has the original faces keeps them.
    if (!installed(kMsPGothic)) QFont::insertSubstitutions(kMsPGothic, {kJapaneseSans});
    if (!installed(kMsGothic)) QFont::insertSubstitutions(kMsGothic, {kJapaneseMono, kJapaneseSans});
    if (!installed(kFixedSys)) {
        // One monospaced face for both scripts, so that a full-width
        // character is exactly two half-width ones wide; the system's fixed
        // face only where that one is missing.
        QStringList faces{kJapaneseMono};
        const QString fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
        if (!fixed.isEmpty() && fixed != kFixedSys) faces << fixed;
        QFont::insertSubstitutions(kFixedSys, faces);
    }
}

QFont make(const QString& family, int pixelSize, bool bold) {
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace tess::fonts
