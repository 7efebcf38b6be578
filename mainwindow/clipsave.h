#pragma once
// The two clip-save slots: the panel `PnlCS` over the main window, the
// buttons "CS1" (`SB9`) and "CS2" (`SpeedButton13`) that open it, and the
// slot files "ClipSave1" and "ClipSave2".  A slot's flag (`LblCS1`,
// `LblCS2`) is "X" only while its file holds its text; the quick-save exit
// carries the flags into the next run, any other exit forgets them.

#include "core/editorstate.h"
#include "core/pathstyle.h"
#include "richtext/documentfile.h"

#include <QColor>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <thread>

class QAbstractButton;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QTextDocument;
class QWidget;

namespace tess {

class Prompter;

namespace clip_text {
inline const QString kNoCursor = QStringLiteral("メインエディタにカーソルがありません");
inline const QString kCurrentClip = QStringLiteral("現在のクリップ内容：");
inline const QString kSaveHere = QStringLiteral("ここに保存");
inline const QString kPasteThis = QStringLiteral("これを張り付け");
inline const QString kCancel = QStringLiteral("キャンセル");
// A slot file that no longer holds the whole text it was written with.
inline QString cutShort(const QString& file) {
    return QStringLiteral("ｸﾘｯﾌﾟｾｰﾌﾞのﾌｧｲﾙ \"%1\" は途中で切れているため読み込みませんでした。").arg(file);
}
} // namespace clip_text

class ClipSave : public QObject {
    Q_OBJECT
public:
    // Puts bytes already read into a fresh document of `edit`.
    using Loader = std::function<void(QPlainTextEdit* edit, QByteArray&& bytes, LoadResult& loaded)>;

    // `cs1` and `cs2` are the tool column's buttons; the panel is created
    // over `window`.  `programFolder` ends with the style's separator.
    ClipSave(QWidget* window, QAbstractButton* cs1, QAbstractButton* cs2, QPlainTextEdit* editor,
             EditorState& state, Prompter& prompter, QString programFolder, PathStyle style,
             Loader load);
    ~ClipSave() override;

    QFrame* panel() const { return PnlCS; }
    // Both slots empty and the panel hidden.
    void start();
    // The slot the panel shows (1 or 2): its title is the record.
    int shownSlot() const;
    QString slotPath(int slot) const;

public slots:
    void openSlot(int slot);    // SB9 (1), SpeedButton13 (2)
    void SpeedButton14Click();  // save here
    void SpeedButton15Click();  // paste this
    void SpeedButton18Click();  // cancel

private:
    QString& flagOf(int slot);
    // A large slot's rich text is read on a thread of its own and shown
    // when it is read; the paste waits for it.
    void readAside(QByteArray&& bytes);
    void showRead(std::unique_ptr<QTextDocument> doc, int read);
    void waitForReader();

    QPlainTextEdit* editor_;
    EditorState& state_;
    Prompter& prompter_;
    QString programFolder_;
    PathStyle style_;
    Loader load_;

    QFrame* PnlCS = nullptr;
    QLabel* Label4 = nullptr;
    QPlainTextEdit* CrpVew = nullptr;

    std::thread reader_;
    int reads_ = 0;  // reads started; only the last one's text is shown
};

} // namespace tess
