#pragma once
// Names of the files the program keeps in its program folder.

#include <QString>

namespace tess::files {

inline const QString kGroupStore = QStringLiteral("GroupFiles");
inline const QString kQuickSave = QStringLiteral("QuickSave");
inline const QString kQuickPrevew = QStringLiteral("QuickPrevew");
inline const QString kQuickLists = QStringLiteral("QuickLists");
inline const QString kClipSave1 = QStringLiteral("ClipSave1");
inline const QString kClipSave2 = QStringLiteral("ClipSave2");

} // namespace tess::files
