#pragma once
// The two path styles the program knows.  Windows: "\" separators, drive paths
// ("C:\..."), and paths folded to upper case like every name.  POSIX: "/"
// separators, absolute paths start with "/", and paths keep their letter case
// (the file system is case-sensitive: folding would name another file).

#include <QString>

namespace tess {

class PathStyle {
public:
    enum class Kind { Windows, Posix };

    static PathStyle windows() { return PathStyle(Kind::Windows); }
    static PathStyle posix() { return PathStyle(Kind::Posix); }
    // The style of the platform the program runs on.
    static PathStyle native();

    Kind kind() const { return kind_; }
    bool isWindows() const { return kind_ == Kind::Windows; }
    QChar separator() const { return isWindows() ? QChar(u'\\') : QChar(u'/'); }
    Qt::CaseSensitivity caseSensitivity() const {
        return isWindows() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    }

    // A full path: ":\" at the 2nd and 3rd characters (Windows), a leading "/"
    // (POSIX).  Anything else is a bare name in the program folder.
    bool isFullPath(QStringView path) const;

    // Whether a folder group may be registered with this path: Windows needs
    // at least 4 characters with ":\" at the 2nd and 3rd; POSIX a leading "/"
    // and at least 2 characters ("/" alone is refused as "C:\" is).
    bool isValidFolderGroupPath(QStringView path) const;

    // Paths and file names folded as the style wants them stored.
    QString foldPath(QStringView path) const;

    // Everything up to and including the last separator (or ":" on Windows);
    // empty for a bare name.
    QString folderPart(QStringView path) const;
    // Everything after the last separator (or ":" on Windows).
    QString fileName(QStringView path) const;

    // A document is written as rich text when the last three characters of its
    // path are "RTF" (letter case ignored on POSIX).
    bool isRichTextPath(QStringView path) const;

    // folder + separator + name; no separator is doubled when the folder
    // already ends with one.
    QString join(QStringView folder, QStringView name) const;

    bool operator==(const PathStyle&) const = default;

private:
    explicit PathStyle(Kind kind) : kind_(kind) {}
    qsizetype lastSeparator(QStringView path) const;
    Kind kind_;
};

} // namespace tess
