#pragma once
// Files dropped on the editor are opened (the first local file of the drop),
// not pasted in as their address.  Other drops (text) go to the editor.

#include <QObject>
#include <QString>

#include <functional>

class QMimeData;
class QPlainTextEdit;

namespace tess {

class FileDrop : public QObject {
    Q_OBJECT
public:
    FileDrop(QPlainTextEdit* editor, std::function<void(const QString&)> open);

    // The local file a drop carries, or empty when it carries none.
    static QString droppedFile(const QMimeData* data);

    // A drop on the editor: true when it carried a file, which then opens
    // once the drop is over.
    bool drop(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(const QString&)> open_;
};

} // namespace tess
