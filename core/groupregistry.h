#pragma once
// The group registry: the folder group table GrdFG, the inner group table
// GrdIG and the group file table GrdGF, with the operations that change them.
// Row 0 of GrdFG and GrdIG holds headings; row 0 of GrdGF holds group names.

#include "filehistory.h"
#include "notifier.h"
#include "pathstyle.h"
#include "textgrid.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace tess {

namespace kind {
inline const QString kFolder = QStringLiteral("FG");
inline const QString kInner = QStringLiteral("IG");
} // namespace kind

namespace registry_text {
inline const QString kHeadingName = QStringLiteral("グループ名");
inline const QString kHeadingFolder = QStringLiteral("フォルダのパス");
inline const QString kInnerPlaceholder = QStringLiteral("X");
inline const QString kNoName = QStringLiteral("グループ名が入力されていません");
inline const QString kNoPath = QStringLiteral("フォルダへのパスが入力されていません");
inline const QString kBadPath = QStringLiteral("フォルダへのパスが不正です");
// "グループ名 "N" は既に登録されています"
QString duplicateName(const QString& name);
// The history-import question; the line break is LF CR, in that order.
QString importQuestion(const QString& folder);
inline const QString kKaijyoGroup = QStringLiteral("ｸﾞﾙｰﾌﾟ名検索ｴﾗｰ // frmTSMain.Kaijyo");
inline const QString kKaijyoGroup2 = QStringLiteral("ｸﾞﾙｰﾌﾟ名検索ｴﾗｰ // frmTSMain.Kaijyo2");
inline const QString kKaijyoFile = QStringLiteral("ﾌｧｲﾙ名検索ｴﾗｰ // frmTSMain.Kaijyo");
inline const QString kKaijyoHistory = QStringLiteral("ﾌｧｲﾙ履歴検索ｴﾗｰ // frmTSMain.Kaijyo");
} // namespace registry_text

enum class TourokuResult { Registered, NoName, NoPath, BadPath, Duplicate };

struct KaijyoResult {
    QString fullPath;  // set once the group is found, also when a later step fails
    bool unregistered = false;  // the file's registration was removed
    bool ok = false;            // ... and its history entry too
};

struct GroupFolder {
    QString kind;    // kind::kFolder or kind::kInner
    QString folder;  // the registered path, or the program folder for an inner group
};

class GroupRegistry {
public:
    GroupRegistry(PathStyle style, QString programFolder);

    // Back to the start state: headings and one empty data row in each group
    // table, one empty column of two rows in the file table.
    void reset();

    TextGrid& GrdFG() { return fg_; }
    TextGrid& GrdIG() { return ig_; }
    TextGrid& GrdGF() { return gf_; }
    const TextGrid& GrdFG() const { return fg_; }
    const TextGrid& GrdIG() const { return ig_; }
    const TextGrid& GrdGF() const { return gf_; }

    const PathStyle& style() const { return style_; }
    const QString& programFolder() const { return programFolder_; }

    // Whether any group is registered (cell 0,0 of GrdGF is non-empty).
    bool hasGroups() const;
    // Folder groups in table order, then inner groups; empty names skipped.
    QStringList groupList() const;
    QStringList folderGroupNames() const;
    QStringList innerGroupNames() const;
    bool isFolderGroup(const QString& name) const;
    bool isInnerGroup(const QString& name) const;
    // The registered folder of a folder group (empty when it is not one).
    QString folderOfFolderGroup(const QString& name) const;

    // Column of GrdGF whose row 0 is `group`; -1 when none.
    int columnOf(const QString& group) const;
    // The non-empty file cells of the group's column, rows 1 down.
    QStringList filesOf(const QString& group) const;

    // Register a group of kind `kindCode` ("FG" with `path`, "IG" with "X").
    TourokuResult Touroku(const QString& kindCode, const QString& name, const QString& path,
                          const FileHistory& history, Notifier& notifier);
    // Delete a group and its file registrations.
    void Sakujyo(const QString& kindCode, const QString& name);
    // Register a bare file name to a group unless it is there already.
    void FileGroupSet(const QString& group, const QString& fileName);
    // Unregister a file; also removes its history entry.
    KaijyoResult Kaijyo(const QString& group, const QString& fileName, FileHistory& history,
                        Notifier& notifier);
    // Write `cells` into rows 1.. of the group's column, as they are.
    void reorder(const QString& group, const QStringList& cells);
    // Kind and storage folder of a group; nullopt when it is not registered.
    std::optional<GroupFolder> folderOf(const QString& group) const;

    // Close step: drop trailing rows of GrdGF that are empty in every column,
    // never below 2 rows.
    void trimGroupFiles();

private:
    PathStyle style_;
    QString programFolder_;
    TextGrid fg_;
    TextGrid ig_;
    TextGrid gf_;
};

} // namespace tess
