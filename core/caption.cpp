#include "caption.h"

namespace tess::caption {

QString forDocument(const QString& group, const QString& documentPath, const PathStyle& style) {
    const QString name = style.fileName(documentPath);
    if (group.isEmpty())
        return QStringLiteral("Tessarine  // [ｸﾞﾙｰﾌﾟなし] / ") + name;
    return QStringLiteral("Tessarine  // ") + group + QStringLiteral(" / ") + name;
}

bool hasMarker(const QString& caption) { return caption.endsWith(kModifiedMarker); }

QString withoutMarker(const QString& caption) {
    return hasMarker(caption) ? caption.left(caption.size() - kModifiedMarker.size()) : caption;
}

} // namespace tess::caption
