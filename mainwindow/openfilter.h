#pragma once
// The open dialog's filter is written "description|pattern|description|pattern";
// Qt's file dialogs want "description (pattern);;...".

#include "core/pathstyle.h"

#include <QString>
#include <QStringList>

namespace tess {

// One Qt filter per pair, in order.  A description that already ends with
// its pattern in parentheses is kept as it is; otherwise the pattern is
// appended ("*.*" becomes "*", so names without a dot are listed too).
// Under a style that keeps letter case, an upper-case pattern is joined by
// its lower-case form, so "*.TXT" lists memo.txt as well.
// A trailing description without a pattern is dropped.
QStringList toQtFilters(const QString& filter, const PathStyle& style);

} // namespace tess
