#include "filedrop.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTimer>
#include <QUrl>

namespace tess {

FileDrop::FileDrop(QPlainTextEdit* editor, std::function<void(const QString&)> open)
    : QObject(editor), open_(std::move(open)) {
    // Drag events go to the widget under the pointer (the viewport) or up to
    // the first one that takes drops.
    editor->setAcceptDrops(true);
    editor->viewport()->setAcceptDrops(true);
    editor->installEventFilter(this);
    editor->viewport()->installEventFilter(this);
}

QString FileDrop::droppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            return QDir::toNativeSeparators(url.toLocalFile());
    return {};
}

bool FileDrop::drop(const QMimeData* data) {
    const QString path = droppedFile(data);
    if (path.isEmpty()) return false;
    // The save question must not run inside the drag source's loop.
    QTimer::singleShot(0, this, [this, path] { open_(path); });
    return true;
}

bool FileDrop::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* e = static_cast<QDragMoveEvent*>(event);
        if (droppedFile(e->mimeData()).isEmpty()) break;
        e->setDropAction(Qt::CopyAction);
        e->accept();
        return true;
    }
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        if (!drop(e->mimeData())) break;
        e->setDropAction(Qt::CopyAction);
        e->accept();
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tess
