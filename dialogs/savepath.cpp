#include "savepath.h"

#include "core/groupregistry.h"
#include "core/pathstyle.h"

namespace tess {

QString stripDocumentExtensions(const QString& name, const PathStyle& style) {
    static const QString kTxt = QStringLiteral(".TXT");
    static const QString kRtf = QStringLiteral(".RTF");
    const Qt::CaseSensitivity cs = style.caseSensitivity();
    QString out = name;
    // Removing one ending can join the pieces of another ("A.T.RTFXT"), so
    // repeat until neither is left.
    while (out.contains(kTxt, cs) || out.contains(kRtf, cs)) {
        while (out.contains(kTxt, cs)) out.remove(kTxt, cs);
        while (out.contains(kRtf, cs)) out.remove(kRtf, cs);
    }
    return out;
}

QString BuildSavePath(const QString& name, const QString& group, const GroupRegistry& registry,
                      const QString& programFolder) {
    const PathStyle& style = registry.style();
    const QString bare = stripDocumentExtensions(name, style);
    // The separator follows the registered folder even when it ends with one:
    // unregistering builds the same key for the history.
    if (!group.isEmpty() && registry.isFolderGroup(group))
        return registry.folderOfFolderGroup(group) + style.separator() + bare;
    return programFolder + bare;
}

QString saveExtension(const QString& name, const QString& extension) {
    return name.endsWith(extension, Qt::CaseInsensitive) ? name.right(extension.size()) : extension;
}

bool nameHasSeparator(const QString& name, const PathStyle& style) {
    if (style.isWindows())
        return name.contains(u'/') || name.contains(u'\\') || name.contains(u':');
    return name.contains(u'/');
}

} // namespace tess
