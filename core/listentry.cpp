#include "listentry.h"

namespace tess {

bool isPlainFileName(QStringView name, const PathStyle& style) {
    if (name.isEmpty() || name == u"." || name == u"..") return false;
    if (name.contains(style.separator()) || name.contains(u'/')) return false;
    return !(style.isWindows() && (name.contains(u':') || name.contains(u'\\')));
}

ResolvedEntry ResolveListEntry(const QString& entry, bool historyMode, const QString& heading,
                               const GroupRegistry& registry) {
    const PathStyle& style = registry.style();
    const QString& programFolder = registry.programFolder();
    ResolvedEntry out;
    if (historyMode) {
        if (style.isFullPath(entry)) {
            out.status = ResolvedEntry::Status::Path;
            out.path = entry;
        } else if (isPlainFileName(entry, style)) {
            out.status = ResolvedEntry::Status::Path;
            out.path = programFolder + entry;
        } else {
            out.status = ResolvedEntry::Status::Outside;
        }
        return out;
    }
    const std::optional<GroupFolder> where = registry.folderOf(heading);
    if (!where) return out;
    if (!isPlainFileName(entry, style)) {
        out.status = ResolvedEntry::Status::Outside;
        return out;
    }
    out.status = ResolvedEntry::Status::Path;
    // The separator follows the registered folder as it was entered, the way
    // the save-as dialog and unregistering build the same path.
    out.path = where->kind == kind::kFolder ? where->folder + style.separator() + entry
                                            : programFolder + entry;
    return out;
}

QString documentPathOf(const QString& path, const QString& programFolder, const PathStyle& style) {
    if (style.foldPath(style.folderPart(path)) == style.foldPath(programFolder))
        return style.foldPath(style.fileName(path));
    return style.foldPath(path);
}

QString fileOfDocumentPath(const QString& documentPath, const QString& programFolder, const PathStyle& style) {
    if (documentPath.isEmpty() || style.isFullPath(documentPath)) return documentPath;
    return style.join(programFolder, documentPath);
}

QString groupOfOpenedFile(const QString& path, const GroupRegistry& registry) {
    const PathStyle& style = registry.style();
    const QString documentPath = documentPathOf(path, registry.programFolder(), style);
    if (style.isFullPath(documentPath)) {
        const QString folder = style.foldPath(style.folderPart(path));
        const TextGrid& fg = registry.GrdFG();
        QString found;
        for (int r = 1; r < fg.rowCount(); ++r) {
            if (fg.cell(0, r).isEmpty()) continue;
            if (style.foldPath(fg.cell(1, r)) + style.separator() == folder) found = fg.cell(0, r);
        }
        return found;
    }
    for (const QString& group : registry.innerGroupNames())
        if (registry.filesOf(group).contains(documentPath)) return group;
    return QString();
}

} // namespace tess
