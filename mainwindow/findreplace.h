#pragma once
// Find and replace in the editor: the floating panel `PnlFind` (non-modal,
// inside the editor area, so it never covers the tool column, the file list
// or the preview), the keys Ctrl+F, Ctrl+H, F3 and Shift+F3, and the note in
// the status bar when a search wraps around, finds nothing or replaced.

#include "core/textsearch.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <optional>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTextDocument;
class QTimer;
class QWidget;

namespace tess {

namespace find_text {
inline const QString kHeading = QStringLiteral("検索と置換");
inline const QString kFind = QStringLiteral("検索:");
inline const QString kReplace = QStringLiteral("置換:");
inline const QString kMatchCase = QStringLiteral("大文字と小文字を区別");
inline const QString kWholeWord = QStringLiteral("単語単位");
inline const QString kRegex = QStringLiteral("正規表現");
inline const QString kWidth = QStringLiteral("全角/半角・かな/ｶﾅを同一視");
inline const QString kNext = QStringLiteral("次を検索");
inline const QString kPrevious = QStringLiteral("前を検索");
inline const QString kReplaceOne = QStringLiteral("置換");
inline const QString kReplaceAll = QStringLiteral("全て置換");
inline const QString kClose = QStringLiteral("閉じる");
// Opens the search through a group's documents with this pattern.
inline const QString kGroupSearch = QStringLiteral("グループ内を検索...");
inline const QString kWrappedToStart = QStringLiteral("文末まで検索しました。文頭から検索を続けます");
inline const QString kWrappedToEnd = QStringLiteral("文頭まで検索しました。文末から検索を続けます");
// "「pattern」が見つかりません"
QString notFound(const QString& pattern);
// "n 件置換しました"
QString replaced(int count);
// "正規表現ｴﾗｰ: reason"
QString badPattern(const QString& reason);
} // namespace find_text

class FindReplace : public QObject {
    Q_OBJECT
public:
    // The panel goes into `editorArea` over `editor`; notes go over the
    // status bar `statusBar`.  The keys are the window's.
    FindReplace(QWidget* window, QPlainTextEdit* editor, QWidget* editorArea, QWidget* statusBar);
    ~FindReplace() override;

    QFrame* panel() const { return panel_; }
    // The status-bar note shown last (empty once it has gone).
    QString note() const;

    void showFind();     // Ctrl+F
    void showReplace();  // Ctrl+H
    void close();
    bool findNext();     // F3; false when nothing matched
    bool findPrevious(); // Shift+F3
    // Replaces the selected match and finds the next one.
    void replaceOne();
    // Every match, as one undo step; the number replaced.
    int replaceAll();

    // For tests and the screenshots: the pattern, replacement and options.
    void setQuery(const QString& pattern, const QString& replacement, const search::Options& options);
    // The pattern and options as the panel holds them.
    QString pattern() const;
    search::Options options() const;

signals:
    // The panel's button for the search through a group's documents.
    void groupSearchRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void open(bool replacing);
    void place();
    bool find(bool forward);
    std::optional<search::Searcher> searcher();
    const search::Subject& subject(const search::Options& options);
    void select(const search::Match& match);
    void showNote(const QString& text);

    QPlainTextEdit* editor_;
    QWidget* area_;
    QFrame* panel_ = nullptr;
    QLineEdit* findEdit_ = nullptr;
    QLineEdit* replaceEdit_ = nullptr;
    QWidget* replaceRow_ = nullptr;
    QCheckBox* matchCase_ = nullptr;
    QCheckBox* wholeWord_ = nullptr;
    QCheckBox* regex_ = nullptr;
    QCheckBox* width_ = nullptr;
    QLabel* panelNote_ = nullptr;
    QLabel* statusNote_ = nullptr;
    QTimer* noteTimer_ = nullptr;
    bool atBottom_ = false;

    // The searched text is kept while the document does not change.
    std::unique_ptr<search::Subject> subject_;
    QPointer<QTextDocument> subjectDoc_;
    int subjectRevision_ = -1;
};

} // namespace tess
