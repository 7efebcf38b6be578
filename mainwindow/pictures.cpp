#include "pictures.h"

#include <QImageReader>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initPictureResources() { Q_INIT_RESOURCE(pictures); }

namespace tess::pictures {

void ensureLoaded() {
    static const bool done = [] {
        initPictureResources();
        return true;
    }();
    (void)done;
}

QPixmap pixmap(const QString& path, QSize size) {
    ensureLoaded();
    QImageReader reader(path);
    if (size.isValid() && !size.isEmpty()) reader.setScaledSize(size);
    return QPixmap::fromImage(reader.read());
}

} // namespace tess::pictures
