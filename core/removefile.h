#pragma once
// Removing a document the user asked to delete: to the desktop's trash, so
// that a mistaken delete can be undone there; deleted for good only when no
// trash can take it and the user agrees.

#include <QString>

namespace tess {

struct RemoveResult {
    enum class Status {
        Removed,  // the file is in the trash
        NoTrash,  // no trash takes it: ask before deleting it for good
        Failed,   // it stays where it was; `message` says why
    };
    Status status = Status::Failed;
    QString message;  // for NoTrash the question, for Failed the message
};

// Moves the document at `path` to the trash.
RemoveResult trashDocumentFile(const QString& path);

// Deletes the document at `path` for good.  True when it is gone; otherwise
// `error` says why, naming the file.
bool deleteDocumentFile(const QString& path, QString* error = nullptr);

// "\"path\" を削除できません" and the reason on a second line.
QString cannotRemoveMessage(const QString& path, const QString& reason);

// Asked before a file that no trash takes is deleted for good.
QString deleteForGoodQuestion(const QString& path, const QString& reason);

} // namespace tess
