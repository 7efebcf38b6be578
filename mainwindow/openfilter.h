#pragma once
// The open dialog's filter is written "description|pattern|description|pattern";
// Qt's file dialogs want "description (pattern);;...".

#include <QString>
#include <QStringList>

namespace tess {

// One Qt filter per pair, in order.  A description that already ends with
// its pattern in parentheses is kept as it is; otherwise the pattern is
// appended ("*.*" becomes "*", so names without a dot are listed too).
// A trailing description without a pattern is dropped.
QStringList toQtFilters(const QString& filter);

} // namespace tess
