#pragma once
// The main window's caption forms and the modified marker.

#include "pathstyle.h"

#include <QString>

namespace tess::caption {

inline const QString kNewFile = QStringLiteral("Tessarine  // NewFile");
// " (更新)": seven bytes in Shift-JIS.
inline const QString kModifiedMarker = QStringLiteral(" (\u66F4\u65B0)");

// "Tessarine  // GROUP / NAME", or "Tessarine  // [ｸﾞﾙｰﾌﾟなし] / NAME" when the
// group is empty; NAME is the last component of the document path.
QString forDocument(const QString& group, const QString& documentPath, const PathStyle& style);

bool hasMarker(const QString& caption);
// The caption with a trailing modified marker removed (unchanged otherwise).
QString withoutMarker(const QString& caption);

} // namespace tess::caption
