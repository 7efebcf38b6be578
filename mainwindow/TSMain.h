#pragma once
// The editor window: tool column, file list, preview, editor and status bar,
// the document cycle (new, open, save, save as), start-up from the settings
// file, the quick-save exit and the close sequence.

#include "core/cp932.h"
#include "core/recovery.h"
#include "core/editorstate.h"
#include "core/groupregistry.h"
#include "core/pathstyle.h"
#include "core/quickcheck.h"
#include "core/textencoding.h"
#include "richtext/documentfile.h"
#include "alarmclock.h"
#include "documenthost.h"
#include "grouppanels.h"
#include "prompter.h"

#include <QList>

#include <array>
#include <QPointer>
#include <QString>
#include <QWidget>

class QFrame;
class QLabel;
class QListWidget;
class QSessionManager;
class QTextDocument;
class QTableWidget;
class QPlainTextEdit;
class QTimer;
class QToolButton;

namespace tess {

class SettingsFile;

namespace main_text {
inline const QString kSaveQuestion = QStringLiteral("内容の変更を保存しますか？");
inline const QString kOpenFilter = QStringLiteral(
    "ﾃｷｽﾄﾌｧｲﾙ(*.TXT)|*.TXT|ﾘｯﾁﾃｷｽﾄﾌｧｲﾙ(*.RTF)|*.RTF|全てのﾌｧｲﾙ|*.*");
inline const QString kHistoryHeading = QStringLiteral("ﾌｧｲﾙ使用履歴");
inline const QString kNoHistory = QStringLiteral("..ﾌｧｲﾙ履歴無し..");
inline const QString kListHeading = QStringLiteral("ﾌｧｲﾙﾘｽﾄ");
inline const QString kPreviewHeading =
    QStringLiteral(" 指定ファイル プレビュー　　　　// クリックで終了");
inline const QString kStatusCaption = QStringLiteral("...Tessarine...");
// Asked when a close could not write the settings or the group store.
inline const QString kEndWithoutSaving = QStringLiteral(
    "設定ファイルまたはグループ情報ファイルを保存できませんでした。\n"
    "このまま終了すると、今回の設定と登録したグループは保存されません。\n"
    "終了しますか？");

// "\"path\" が見つかりません"
QString notFound(const QString& path);
// What an open that failed tells: "が見つかりません" for a file that is not
// there, otherwise the file and why it cannot be opened (too large, a pipe,
// no permission).
QString cannotOpen(const QString& path, const LoadResult& result);
// A quick-save file the record does not claim, then `after`.
QString quickFileMismatch(const QString& name, const QString& after);
// "ﾌｧｲﾙ path を作成できません"
QString cannotCreate(const QString& path);
// The status bar's note for a file read with bytes that are not valid in
// its encoding: they show as replacement characters and are saved as read.
QString invalidBytesNote(qsizetype count);
// Asks before characters Shift-JIS cannot hold become "?"; names the first few.
QString unencodableQuestion(const QList<cp932::Unencodable>& lost,
                            const QString& encoding = QStringLiteral("Shift-JIS"));
} // namespace main_text

class ClipSave;
class EditorZoom;
class FileList;
class FindReplace;
class GroupSearch;
class Printing;
class RecoveryCopy;

class TfrmTSMain : public QWidget, public DocumentHost {
    Q_OBJECT
public:
    // Where the window opens when the settings say nothing.
    static constexpr int kDesignLeft = 130;
    static constexpr int kDesignTop = 67;

    // `programFolder` ends with the style's separator; the settings file
    // (the executable's base name with ".ini") lies in it.  `clock` gives the
    // status-bar clock its time and beep (the system's when empty).
    TfrmTSMain(Prompter& prompter, QString programFolder, PathStyle style = PathStyle::native(),
               QWidget* parent = nullptr,
               QString settingsFileName = QStringLiteral("tessarine.ini"), ClockHooks clock = {});
    ~TfrmTSMain() override;

    // What the dialogs use.
    EditorState& state() override { return state_; }
    GroupRegistry& registry() override { return registry_; }
    QString programFolder() const override { return programFolder_; }
    WriteOutcome writeDocument(const QString& path, QString* error) override;
    void RirekiSet() override;
    void MarkClean() override;
    void GourpFileSet() override;

    QString settingsPath() const;
    QPlainTextEdit* editor() const { return Memo1; }
    // The encoding and line ends the overwrite save keeps.
    const text::Format& documentFormat() const { return docFormat_; }
    bool alarmOn() const { return alarm_->isOn(); }
    AlarmClock& alarmClock() const { return *alarm_; }
    ClipSave& clipSave() const { return *clipSave_; }
    FileList& fileList() const { return *fileList_; }
    RecoveryCopy& recovery() const { return *recovery_; }
    FindReplace& findReplace() const { return *find_; }
    GroupSearch& groupSearch() const { return *search_; }
    Printing& printing() const { return *printing_; }
    int toolColumnWidth() const { return panel9Width_; }
    int listWidth() const { return plWidth_; }
    int previewHeight() const { return ppHeight_; }

    // The group picker popup is created after this window; activation hides
    // it, and the hint of `SB1` is off while it is open.
    void setGroupPicker(QWidget* picker);
    // The explorer panel, created over this window after it.
    void setGroupExplorer(GroupExplorer* explorer);

    // Save question: true to go on, false when the user abandoned.
    bool AskSaveChanges();
    // The close sequence: true when the window may close (everything written).
    bool FormCloseQuery();
    // The session manager's query before a log-off: the close sequence, and
    // without leave to ask a modified document is kept by a quick-save exit.
    // When it agrees, only the close that directly follows skips the question;
    // the next activation or edit ends that (the log-off went no further).
    bool sessionQuery(bool mayAsk);
    // A file named on the command line or dropped on the editor: opened as
    // the open dialog's choice is, after the save question.
    void openFromOutside(const QString& path);
    // A later start on this folder: the window comes to the front and opens
    // its file (when it gave one) once the running handler is done.
    void anotherStart(const QString& path);

public slots:
    void SpeedButton6Click();   // new
    void SpeedButton7Click();   // open
    void SpeedButton1Click();   // overwrite save
    void SpeedButton8Click();   // save as
    void SpeedButton5Click();   // history
    void PGFClick();
    void SpeedButton11Click();  // quick-save exit
    void SpeedButton2Click();   // editor font
    void SpeedButton10Click();  // move to the corner
    void SpeedButton19Click();  // collapse or expand the tool column
    void SpeedButton12Click();  // minimise
    void SpeedButton9Click();   // about box
    void SB1Click();            // open or close the group picker
    void SpeedButton4Click();   // group registration
    void SpeedButton3Click();   // open or close the group file explorer
    void Panel1Click();
    void Panel5Click();
    void Panel15Click();
    // The modified marker, set and cleared with the document's modified flag.
    void Memo1Change(bool modified);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    void buildToolColumn();
    void buildClientArea();
    void buildStatusBar();
    void buildFloatingPanels();
    void relayout();
    void layoutStatusBar();
    void updateMinimumSize();

    void FormCreate();
    void readSettings();
    void keepOnScreen();
    void quickSaveRestore(const SettingsFile& settings);
    // Empty editor, no group, name or path, clean, the new-file caption.
    void startAsNewDocument();
    bool writeQuickSaveFiles();
    void writeSettings(SettingsFile& settings) const;
    // Writes the group store; one this run could not read is set aside first.
    bool writeGroupStoreKeepingUnread(QString* error);
    // The room the list panel and the preview share with the editor.
    int listSpace() const;
    int previewSpace() const;
    void showListPanel(bool shown);
    void showPreview(bool shown);
    // Loads a file into a document of its own and, only when that worked,
    // puts it into `edit`: a failed load leaves the editor untouched.
    // `encoding` reads plain text in that encoding instead of the one the
    // bytes are in.  A load into the editor sets the document's format.
    LoadResult loadInto(QPlainTextEdit* edit, const QString& path,
                        std::optional<text::Encoding> encoding = std::nullopt);
    // The second step of a load: bytes already read go into a fresh document
    // of `edit`.
    void fillEditor(QPlainTextEdit* edit, QByteArray&& bytes, LoadResult& loaded,
                    std::optional<text::Encoding> encoding = std::nullopt);
    // The encoding and line ends the overwrite save keeps; shown in the
    // status bar when they are not Shift-JIS with CR LF.
    void setDocumentFormat(text::Format format, qsizetype invalidBytes = 0);
    WriteOutcome writeDocumentIn(const QString& path, text::Format format, QString* error);
    // The status bar's menu: the document read again from its file in
    // another encoding.
    void reopenInEncoding(text::Encoding encoding);
    // The document's file, or empty for a never-saved one.
    QString documentFile() const;
    // A quick-save file as rich text; `check` gets its quickcheck entry.
    bool writeQuickRichText(const QString& name, const QTextDocument& doc, QString* check, QString* error);
    // A quick-save file as read at a restore.
    struct QuickFile {
        QString path;
        QByteArray bytes;
        LoadResult load;
        quickcheck::Match match = quickcheck::Match::NoEntry;
    };
    QuickFile readQuickFile(const QString& name, const QString& entry);
    // Sets the file aside and adds where it was kept to `told`.
    QString setQuickFileAside(const QString& path, const QString& told);
    void updateCursorPosition();
    // The file chosen to open: loaded, named, recorded; a failed load keeps
    // the document.
    void openChosenFile(const QString& path);
    recovery::Fields recoveryFields() const;
    // The files the program keeps in its folder and writes whole.
    QStringList ownStateFiles() const;
    // At start-up: the last run's unsaved text, when there is one.
    void offerRecovery();
    void restoreRecoveryCopy(const QString& path);
    void sessionCommit(QSessionManager& manager);
    // Forgets an answered session query and gives LblQS its value back.
    void endSessionQuery();

    Prompter& prompter_;
    QString programFolder_;
    QString settingsFileName_;
    PathStyle style_;
    EditorState state_;
    GroupRegistry registry_;
    QPointer<QWidget> picker_;
    ClockHooks clockHooks_;
    AlarmClock* alarm_ = nullptr;
    ClipSave* clipSave_ = nullptr;
    FileList* fileList_ = nullptr;
    GroupExplorer* explorer_ = nullptr;
    RecoveryCopy* recovery_ = nullptr;
    FindReplace* find_ = nullptr;
    GroupSearch* search_ = nullptr;
    Printing* printing_ = nullptr;
    int panel9Width_ = 49;
    int plWidth_ = 85;
    int ppHeight_ = 82;
    // The session manager's query already had its answer; the close that
    // follows must not ask again.
    bool sessionAnswered_ = false;
    // The quickcheck entries of the quick-save files being written.
    std::array<QString, 3> quickChecks_;
    // False while a session manager closes us without leave to ask.
    bool closeMayAsk_ = true;
    QString lblQSBeforeSession_;

    // Tool column
    QFrame* Panel9 = nullptr;
    QFrame* Panel10 = nullptr;
    QToolButton* SpeedButton11 = nullptr;
    QToolButton* SpeedButton10 = nullptr;
    QToolButton* SpeedButton19 = nullptr;
    QToolButton* SpeedButton12 = nullptr;
    QLabel* Image2 = nullptr;
    QToolButton* SB1 = nullptr;
    QToolButton* SB9 = nullptr;
    QToolButton* SpeedButton13 = nullptr;
    QFrame* PAL = nullptr;
    QLabel* Img3 = nullptr;
    // Client area
    QWidget* Panel2 = nullptr;
    QFrame* PnlLst = nullptr;
    QLabel* Panel1 = nullptr;
    QListWidget* PanelPass = nullptr;
    QFrame* Splitter1 = nullptr;
    QFrame* Panel4 = nullptr;
    QLabel* Panel5 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    QFrame* Splitter2 = nullptr;
    QFrame* Panel8 = nullptr;
    QFrame* Panel15 = nullptr;
    QLabel* Image1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    EditorZoom* zoom_ = nullptr;
    QWidget* Panel12 = nullptr;
    // Status bar
    QLabel* Panel11 = nullptr;
    text::Format docFormat_;
    QLabel* Panel16 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QFrame* Bevel5 = nullptr;
    QFrame* Bevel6 = nullptr;
    QLabel* LblDate = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* LblHor = nullptr;
    QLabel* LblComma = nullptr;
    QLabel* LblMin = nullptr;
    QLabel* LblAl = nullptr;
    QLabel* LblZoom = nullptr;  // the zoom, while it is not 100 %
    // Floating panels
    QFrame* PnlASet = nullptr;
    QFrame* PnlCS = nullptr;

    QTimer* Timer1 = nullptr;
};

} // namespace tess
