#pragma once
// The window fonts are named as the program has always named them; where a
// face is not installed it maps to one that is.

#include <QFont>
#include <QString>

namespace tess::fonts {

inline const QString kFixedSys = QStringLiteral("FixedSys");
inline const QString kMsPGothic = QStringLiteral("ＭＳ Ｐゴシック");
inline const QString kMsGothic = QStringLiteral("ＭＳゴシック");

// Maps the names above to installed faces (a Japanese sans-serif, the
// system's fixed-pitch font).  Safe to call any number of times.
void installFontSubstitutions();

// A font of `family` at `pixelSize` pixels, bold when asked.
QFont make(const QString& family, int pixelSize, bool bold = false);

} // namespace tess::fonts
