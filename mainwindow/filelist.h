#pragma once
// The file list panel `PnlLst` (heading `Panel1`, list `PanelPass`) and the
// preview area `Panel4` (heading `Panel5`, read-only view `Memo2`): the two
// list modes (a group's files, the file history), the preview of the
// selected entry, the open from the list and the clicks that show and hide
// the panels.  The list mode is kept apart from the heading text, so that a
// group named like the history's heading is still a group; a quick-save
// writes both.

#include "richtext/documentfile.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QLabel;
class QListWidget;
class QTextDocument;
class QWidget;

namespace tess {

class DocumentHost;
class Prompter;
class SettingsFile;

namespace list_text {
inline const QString kNoGroupFiles = QStringLiteral("..ｸﾞﾙｰﾌﾟﾌｧｲﾙ無し..");
inline const QString kUnknownGroup = QStringLiteral("グループ名認識エラー");
inline const QString kGroupSearch = QStringLiteral("ﾌｧｲﾙｸﾞﾙｰﾌﾟ検索エラー：frmTSMain.PanelPassClick");
inline const QString kPreviewMissing = QStringLiteral("指定されたﾌｫﾙﾀﾞ あるいはﾌｧｲﾙが存在しません");
// After the previewed path in the preview heading.
inline const QString kPreviewLabel = QStringLiteral(" プレビュー　　　// クリックで終了");
// An entry naming a file outside its folder is never opened.
QString outsideFolder(const QString& entry);
} // namespace list_text

class FileList : public QObject {
    Q_OBJECT
public:
    struct Widgets {
        QWidget* PnlLst;
        QLabel* Panel1;
        QListWidget* PanelPass;
        QWidget* Panel4;
        QLabel* Panel5;
        QWidget* Memo2;
        QWidget* editor;  // Memo1: takes the focus after an open
    };
    struct Hooks {
        // The save question: true to go on.
        std::function<bool()> askSaveChanges;
        // Load a file into the editor / the preview, leaving it untouched
        // when the load fails.
        std::function<LoadResult(const QString& path)> loadEditor;
        std::function<LoadResult(const QString& path)> loadPreview;
        // The preview's document, for text shown without formatting.
        std::function<QTextDocument*()> previewDocument;
    };

    FileList(const Widgets& widgets, DocumentHost& host, Prompter& prompter, Hooks hooks,
             QObject* parent = nullptr);

    enum class Mode {
        None,     // nothing listed yet
        Group,    // the files of group()
        History,  // the file history
    };
    Mode mode() const { return mode_; }
    bool historyMode() const { return mode_ == Mode::History; }
    // The group listed in group mode; empty otherwise.
    QString group() const { return group_; }

    // The heading and the list mode of a quick-save exit.
    void writeQuickSave(SettingsFile& settings) const;
    // Brings them back; a settings file from before the mode was written
    // tells the mode by the heading, as it was then.
    void readQuickSave(const SettingsFile& settings);

    // Rebuilds the list from the history when it shows the history.
    void refreshHistory();
    // The list's entries, top to bottom.
    QStringList entries() const;
    // Replaces the entries without previewing any of them; each shows its
    // whole path as its tooltip.
    void setEntries(const QStringList& items);

    // Opens `path` as an entry of the list is opened: the save question
    // first, then the load, named under the file's own group.  False when
    // the user cancelled or the file could not be read (after the message).
    bool openDocument(const QString& path);

public slots:
    void GourpFileSet();       // the current group's files
    void PGFClick();           // the file history
    void PanelPassClick();     // preview the selected entry
    void PanelPassDblClick();  // open the selected entry
    void Panel1Click();        // hide the list
    void Panel5Click();        // hide the preview
    void Panel15Click();       // show or hide the list
    // The preview font size (the group picker sets it as it opens).
    void setPreviewPointSize(int points);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isPlaceholder(const QString& entry) const;
    void setMode(Mode mode, const QString& heading);
    // The selected entry's file, or nothing (after a message when due).
    std::optional<QString> selectedPath();
    // The open after the save question.
    bool openAsked(const QString& path);

    Widgets w_;
    DocumentHost& host_;
    Prompter& prompter_;
    Hooks hooks_;
    Mode mode_ = Mode::None;
    QString group_;
};

} // namespace tess
