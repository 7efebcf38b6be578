#include "clipsave.h"

#include "fonts.h"
#include "look.h"
#include "editorwidget.h"
#include "prompter.h"

#include "core/damagedfile.h"
#include "core/filenames.h"
#include "richtext/documentfile.h"
#include "richtext/richtext.h"
#include "richtext/softbreaks.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QTextCursor>
#include <QTextDocument>
#include <QPlainTextEdit>
#include <QPointer>
#include <QToolButton>

namespace tess {

namespace {

// What differs between the two slots.
struct Slot {
    QString title;
    QColor colour;
    QString file;
    QString EditorState::*flag;
};

const Slot& slotOf(int slot) {
    static const Slot table[2] = {
        {QStringLiteral("［クリップセーブ１］"), look::kGreen, files::kClipSave1, &EditorState::LblCS1},
        {QStringLiteral("［クリップセーブ２］"), look::kPurple, files::kClipSave2, &EditorState::LblCS2},
    };
    return table[slot == 1 ? 0 : 1];
}

// A slot file larger than this is read on a thread of its own.
constexpr qsizetype kReadAsideBytes = 1024 * 1024;

// The preview's font, which is also the only formatting a slot file holds.
QFont previewFont() { return fonts::make(fonts::kMsPGothic, 13); }

// The selection as plain characters, paragraphs and line breaks as '\n'.
QString selectedPlainText(const QPlainTextEdit* edit) {
    QString text = soft_breaks::selectedText(edit->textCursor());
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

} // namespace

ClipSave::ClipSave(QWidget* window, QAbstractButton* cs1, QAbstractButton* cs2, QPlainTextEdit* editor,
                   EditorState& state, Prompter& prompter, QString programFolder, PathStyle style,
                   Loader load)
    : QObject(window),
      editor_(editor),
      state_(state),
      prompter_(prompter),
      programFolder_(std::move(programFolder)),
      style_(style),
      load_(std::move(load)) {
    // Floats just right of the tool column.
    constexpr int kInner = 285;  // the width inside the panel's bevel
    constexpr int kLeft = 6;
    PnlCS = new QFrame(window);
    PnlCS->setObjectName(QStringLiteral("PnlCS"));
    PnlCS->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PnlCS->setLineWidth(2);
    PnlCS->setAutoFillBackground(true);
    PnlCS->setGeometry(49, 76, 297, 208);

    auto* Bevel9 = new QFrame(PnlCS);
    Bevel9->setObjectName(QStringLiteral("Bevel9"));
    Bevel9->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel9->setGeometry(kLeft, 6, kInner, 20);
    Label4 = new QLabel(slotOf(1).title, PnlCS);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setAlignment(Qt::AlignCenter);
    Label4->setFont(fonts::make(fonts::kMsPGothic, 12, true));
    look::setTextColour(Label4, slotOf(1).colour);
    Label4->setGeometry(kLeft + 1, 7, kInner - 2, 18);

    auto* Label8 = new QLabel(clip_text::kCurrentClip, PnlCS);
    Label8->setObjectName(QStringLiteral("Label8"));
    Label8->setFont(fonts::make(fonts::kMsPGothic, 12));
    look::setTextColour(Label8, look::kNavy);
    Label8->setGeometry(kLeft, 30, kInner, 14);

    auto* Bevel10 = new QFrame(PnlCS);
    Bevel10->setObjectName(QStringLiteral("Bevel10"));
    Bevel10->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel10->setGeometry(kLeft - 1, 46, kInner + 2, 96);
    CrpVew = new QPlainTextEdit(PnlCS);
    CrpVew->setObjectName(QStringLiteral("CrpVew"));
    CrpVew->setReadOnly(true);
    CrpVew->setFrameShape(QFrame::NoFrame);
    CrpVew->setLineWrapMode(QPlainTextEdit::NoWrap);
    CrpVew->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    CrpVew->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    CrpVew->setFont(previewFont());
    CrpVew->document()->setDefaultFont(previewFont());
    CrpVew->setGeometry(kLeft, 47, kInner, 94);

    // None takes the focus: the editor keeps it, with its selection.
    const auto button = [&](const QString& name, const QString& text, const QColor& colour,
                            const QRect& geometry) {
        auto* b = new QToolButton(PnlCS);
        b->setObjectName(name);
        b->setText(text);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFont(fonts::make(fonts::kMsPGothic, 12, true));
        look::setTextColour(b, colour);
        b->setGeometry(geometry);
        return b;
    };
    QToolButton* save = button(QStringLiteral("SpeedButton14"), clip_text::kSaveHere, look::kBlue,
                               QRect(kLeft, 146, kInner, 18));
    QToolButton* paste = button(QStringLiteral("SpeedButton15"), clip_text::kPasteThis, look::kBlue,
                                QRect(kLeft, 165, kInner, 18));
    constexpr int kCancelWidth = 100;
    QToolButton* cancel = button(QStringLiteral("SpeedButton18"), clip_text::kCancel, look::kRed,
                                 QRect(kLeft + (kInner - kCancelWidth) / 2, 185, kCancelWidth, 18));
    PnlCS->hide();

    connect(save, &QToolButton::clicked, this, &ClipSave::SpeedButton14Click);
    connect(paste, &QToolButton::clicked, this, &ClipSave::SpeedButton15Click);
    connect(cancel, &QToolButton::clicked, this, &ClipSave::SpeedButton18Click);
    connect(cs1, &QAbstractButton::clicked, this, [this] { openSlot(1); });
    connect(cs2, &QAbstractButton::clicked, this, [this] { openSlot(2); });
}

QString& ClipSave::flagOf(int slot) { return state_.*(slotOf(slot).flag); }

QString ClipSave::slotPath(int slot) const { return style_.join(programFolder_, slotOf(slot).file); }

int ClipSave::shownSlot() const { return Label4->text() == slotOf(1).title ? 1 : 2; }

void ClipSave::start() {
    PnlCS->hide();
    state_.LblCS1.clear();
    state_.LblCS2.clear();
}

void ClipSave::openSlot(int slot) {
    // The window's focus widget, not hasFocus(): the window may be inactive
    // for a moment while a popup over it closes.
    if (editor_->window()->focusWidget() != editor_) {
        prompter_.message(clip_text::kNoCursor);
        return;
    }
    if (flagOf(slot).isEmpty()) {
        CrpVew->clear();
    } else {
        const QString path = slotPath(slot);
        // A slot file that cannot be read changes nothing: the panel keeps
        // the slot it showed, or stays hidden.  One that is there but cannot
        // be read, or was cut short since it was written whole, is kept
        // under another name and the slot is empty from then on, so that
        // the next clip-save does not write over it.
        QByteArray bytes;
        LoadResult r = readDocumentBytes(path, bytes);
        if (!r.ok() && r.missing) {
            prompter_.errorBox(r.error);
            return;
        }
        // Rich text is what the program writes; plain text another program
        // wrote there is read as it is.
        const bool cutShort = bytes.isEmpty() || (isRichText(bytes) && !isWholeRichText(bytes));
        if (!r.ok() || cutShort) {
            const QString kept = keptAsText(setDamagedFileAside(path));
            flagOf(slot).clear();
            if (!r.ok()) prompter_.errorBox(r.error + u'\n' + kept);
            else prompter_.message(clip_text::cutShort(slotOf(slot).file) + u'\n' + kept);
            return;
        }
        if (isRichText(bytes) && bytes.size() > kReadAsideBytes) readAside(std::move(bytes));
        else load_(CrpVew, std::move(bytes), r);
    }
    Label4->setText(slotOf(slot).title);
    look::setTextColour(Label4, slotOf(slot).colour);
    PnlCS->show();
    PnlCS->raise();
}

void ClipSave::SpeedButton14Click() {
    const QString text = selectedPlainText(editor_);
    if (text.isEmpty()) return;
    const int slot = shownSlot();
    const QString path = slotPath(slot);

    // The file is written first and whole: a failed write leaves the flag,
    // the file and the preview as they were, so no later quick-save exit
    // announces a slot whose file holds other text.
    QTextDocument doc;
    doc.setDefaultFont(previewFont());
    doc.setPlainText(text);
    const WriteResult r =
        WriteDocumentAs(path, doc, DocumentFormat::RichText, LossPolicy::Refuse, {}, FileUse::ProgramState);
    if (!r.ok()) {
        prompter_.errorBox(r.error);
        return;
    }
    CrpVew->setPlainText(text);
    flagOf(slot) = flag::kSet;
    PnlCS->hide();
    editor_->setFocus();
}

ClipSave::~ClipSave() { waitForReader(); }

void ClipSave::readAside(QByteArray&& bytes) {
    waitForReader();
    CrpVew->clear();
    const int read = ++reads_;
    reader_ = std::thread([this, bytes = std::move(bytes), font = CrpVew->font(), read, ui = thread()] {
        auto doc = std::make_shared<std::unique_ptr<QTextDocument>>(std::make_unique<QTextDocument>());
        (*doc)->setDefaultFont(font);
        readRichText(bytes, **doc);
        (*doc)->moveToThread(ui);
        // Dropped, document and all, when the panel is gone first.
        QMetaObject::invokeMethod(this, [this, doc, read] { showRead(std::move(*doc), read); }, Qt::QueuedConnection);
    });
}

void ClipSave::showRead(std::unique_ptr<QTextDocument> read, int number) {
    if (number != reads_ || !read) return;
    QTextDocument* doc = read.release();
    doc->setParent(CrpVew);
    doc->setDocumentLayout(new QPlainTextDocumentLayout(doc));
    doc->setModified(false);
    // The editor deletes a document of its own making itself.
    const QPointer<QTextDocument> old = CrpVew->document();
    CrpVew->setDocument(doc);
    if (old && old->parent() == CrpVew) delete old.data();
}

void ClipSave::waitForReader() {
    if (!reader_.joinable()) return;
    reader_.join();
    // The text read is waiting in the event queue: shown now.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void ClipSave::SpeedButton15Click() {
    waitForReader();
    const QString text = soft_breaks::plainText(*CrpVew->document());
    // An ordinary edit at the caret, in the current typing attributes; an
    // empty slot deletes the selection.
    QTextCursor cursor = editor_->textCursor();
    if (text.isEmpty()) {
        if (cursor.hasSelection()) {
            cursor.removeSelectedText();
            editor_->setTextCursor(cursor);
        }
    } else {
        insertPlainTextInParts(editor_, text);
    }
    PnlCS->hide();
}

void ClipSave::SpeedButton18Click() { PnlCS->hide(); }

} // namespace tess
