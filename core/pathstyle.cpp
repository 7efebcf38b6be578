#include "pathstyle.h"

#include "textfold.h"

namespace tess {

PathStyle PathStyle::native() {
#ifdef Q_OS_WIN
    return windows();
#else
    return posix();
#endif
}

bool PathStyle::isFullPath(QStringView path) const {
    if (isWindows()) return path.size() >= 3 && path[1] == u':' && path[2] == u'\\';
    return path.startsWith(u'/');
}

bool PathStyle::isValidFolderGroupPath(QStringView path) const {
    if (isWindows()) return path.size() >= 4 && path[1] == u':' && path[2] == u'\\';
    return path.size() >= 2 && path.startsWith(u'/');
}

QString PathStyle::foldPath(QStringView path) const {
    return isWindows() ? foldUpper(path) : path.toString();
}

qsizetype PathStyle::lastSeparator(QStringView path) const {
    const qsizetype sep = path.lastIndexOf(separator());
    if (!isWindows()) return sep;
    return std::max(sep, path.lastIndexOf(u':'));
}

QString PathStyle::folderPart(QStringView path) const {
    return path.left(lastSeparator(path) + 1).toString();
}

QString PathStyle::fileName(QStringView path) const {
    return path.mid(lastSeparator(path) + 1).toString();
}

bool PathStyle::isRichTextPath(QStringView path) const {
    return path.size() >= 3 && path.right(3).compare(u"RTF", caseSensitivity()) == 0;
}

QString PathStyle::join(QStringView folder, QStringView name) const {
    QString out = folder.toString();
    if (!out.isEmpty() && !out.endsWith(separator())) out.append(separator());
    out.append(name);
    return out;
}

} // namespace tess
