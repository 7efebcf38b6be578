#pragma once
// Removing a document the user asked to delete: to the desktop's trash where
// the platform has one, so that a mistaken delete can be undone there, and
// deleted outright only where there is no trash.

#include <QString>

namespace tess {

// True when the file is gone from its place; otherwise `error` says why,
// naming the file.
bool removeDocumentFile(const QString& path, QString* error = nullptr);

// "\"path\" を削除できません" and the reason on a second line.
QString cannotRemoveMessage(const QString& path, const QString& reason);

} // namespace tess
