#pragma once
// Upper-case folding and the blank test shared by every name and path field.

#include <QString>

namespace tess {

// Folds ASCII a-z to A-Z and leaves everything else alone.  Full-width Latin,
// Greek and Cyrillic letters are deliberately not folded: the fields compare
// whole strings byte for byte, and folding only ASCII keeps the rule the same
// for every field, every input and every stored file.
QString foldUpper(QStringView text);

// The text with every half-width space and every full-width space (U+3000)
// removed.  Only used to decide whether an input is blank; stored values keep
// their blanks.
QString RemoveBlanks(QStringView text);

inline bool isBlank(QStringView text) { return RemoveBlanks(text).isEmpty(); }

} // namespace tess
