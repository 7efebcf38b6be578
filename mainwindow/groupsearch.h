#pragma once
// The search through a group's documents `FrmGrep`: a window of its own,
// beside the main window, with a pattern, the find panel's four options and
// a scope (the current group, a chosen group, every group or the file
// history).  The documents are read and searched on a worker thread; the
// hits come back one document at a time, in order, with the progress.  A hit
// opens as an entry of the file list opens, with the match selected.

#include "core/groupdocuments.h"
#include "core/textsearch.h"
#include "richtext/documentsearch.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <atomic>
#include <functional>
#include <thread>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tess {

class DocumentHost;
class FindReplace;
class SettingsFile;

namespace grep_text {
inline const QString kTitle = QStringLiteral("グループ内を検索");
inline const QString kScope = QStringLiteral("検索範囲:");
inline const QString kScopeCurrent = QStringLiteral("現在のグループ");
inline const QString kScopeChosen = QStringLiteral("指定したグループ");
inline const QString kScopeAll = QStringLiteral("全てのグループ");
inline const QString kScopeHistory = QStringLiteral("ファイル使用履歴（最近の50件）");
inline const QString kStart = QStringLiteral("検索開始");
inline const QString kCancel = QStringLiteral("中止");
inline const QString kColumnDocument = QStringLiteral("文書");
inline const QString kColumnGroup = QStringLiteral("グループ");
inline const QString kColumnLine = QStringLiteral("行");
inline const QString kColumnText = QStringLiteral("内容");
inline const QString kNoPattern = QStringLiteral("検索する文字列を入力してください");
inline const QString kNoCurrentGroup = QStringLiteral("現在のグループがありません（文書をグループから開いてください）");
inline const QString kNoGroups = QStringLiteral("登録されたグループがありません");
inline const QString kNoDocuments = QStringLiteral("検索する文書がありません");
// "検索中... 3 / 10 文書"
QString progress(int done, int total);
// "12 件（3 文書）"; with ", 読めない文書 n" when some could not be read,
// and cut short with "中止しました: " in front.
QString summary(qsizetype hits, int documents, int unreadable, bool cancelled);
// "（最初の n 件を表示）": the hits beyond the list's limit are counted but not listed.
QString listedOnly(qsizetype listed);
} // namespace grep_text

class GroupSearch : public QWidget {
    Q_OBJECT
public:
    using Scope = group_documents::Scope;
    // The most hits listed in one search (a pattern found in every line of
    // many documents would otherwise fill the list with millions).
    static constexpr int kMaxListed = 20000;

    // `open` opens a document as the file list does (save question first);
    // false when it did not.  The window is a child of `parent`, opened with
    // Ctrl+Shift+F there and from the find panel's button.
    GroupSearch(DocumentHost& host, FindReplace& find, QPlainTextEdit* editor,
                std::function<bool(const QString& path)> open, QWidget* parent);
    ~GroupSearch() override;

    // Shows the window with the find panel's pattern and options.
    void showFromFindPanel();
    // Starts a search with what the window holds; a search still running is
    // cancelled and waited for first.
    void start();
    // Asks the running search to stop; the window stays usable.
    void cancel();
    bool running() const { return running_; }
    // Whether the running search was asked to stop (any thread may ask).
    bool cancelRequested() const { return cancel_; }

    void setScope(Scope scope, const QString& group = {});
    Scope scope() const;

    // The hits and unreadable documents listed, top to bottom.
    struct Row {
        QString path;       // the document's file
        QString document;   // as listed
        QString group;
        qsizetype line = 0;        // 0 for a document that could not be read
        QString text;              // the line, or why the document could not be read
        qsizetype start = 0, length = 0;  // the match in `text`
        qsizetype position = 0;    // the match in the document's text
    };
    const QList<Row>& rows() const { return rows_; }
    // Opens the hit of row `index` (as a double click or Enter does).
    void openRow(int index);

    // The scope and the window's size, in the program's own section.
    void readSettings(const SettingsFile& settings);
    void writeSettings(SettingsFile& settings) const;

    // Called on the worker thread before each document's result is handed
    // over, with its index: tests hold the worker here.
    void setWorkerHook(std::function<void(int document)> hook) { workerHook_ = std::move(hook); }

signals:
    // A search ended (done or cancelled); the summary is shown.
    void finished();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void received(int generation, const document_search::Result& result);
    void ended(int generation);
    // Cancels the worker and waits for it.
    void stopWorker();
    void fillGroups();
    void updateScopeChoice();
    void setRunning(bool running);
    void showSummary(const QString& text, bool error = false);
    void addRow(Row row);
    QString summaryText(bool cancelled) const;
    void selectMatch(const Row& row);

    DocumentHost& host_;
    FindReplace& find_;
    QPlainTextEdit* editor_;
    std::function<bool(const QString&)> open_;
    std::function<void(int)> workerHook_;

    QLineEdit* pattern_ = nullptr;
    QCheckBox* matchCase_ = nullptr;
    QCheckBox* wholeWord_ = nullptr;
    QCheckBox* regex_ = nullptr;
    QCheckBox* width_ = nullptr;
    QComboBox* scope_ = nullptr;
    QComboBox* group_ = nullptr;
    // The group picked in an earlier run, until the groups are listed.
    QString keptGroup_;
    QPushButton* startButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* summary_ = nullptr;

    std::thread worker_;
    std::atomic<bool> cancel_ = false;
    bool running_ = false;
    int generation_ = 0;  // results of an earlier search are dropped
    QList<group_documents::Document> searched_;  // those given to the worker, in order
    QList<Row> rows_;
    int done_ = 0, total_ = 0;
    qsizetype hits_ = 0, listedHits_ = 0;
    int hitDocuments_ = 0, unreadable_ = 0;
};

} // namespace tess
