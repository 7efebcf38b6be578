// The document cycle (new, open, save, save as, the modified marker), the
// history button and the editor's frame (font, cursor position, window
// buttons, about box).

#include "TSMain.h"

#include "editorwidget.h"
#include "recovery.h"

#include "core/caption.h"
#include "core/listentry.h"
#include "filelist.h"
#include "richtext/documentfile.h"
#include "richtext/richtext.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QSignalBlocker>
#include <QTimer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QPlainTextEdit>
#include <QTextLayout>

namespace tess {

bool TfrmTSMain::AskSaveChanges() {
    if (!Memo1->document()->isModified()) return true;
    switch (prompter_.askYesNoCancel(main_text::kSaveQuestion)) {
    case Prompter::Answer::Cancel:
        return false;
    case Prompter::Answer::Yes:
        SpeedButton1Click();
        // Still modified: the user left the save-as dialog, declined, or the
        // write failed.
        return !Memo1->document()->isModified();
    case Prompter::Answer::No:
        return true;
    }
    return false;
}

void TfrmTSMain::MarkClean() {
    Memo1->document()->setModified(false);
    recovery_->discard();
    state_.LblUpdate.clear();
    const QString title = windowTitle();
    if (caption::hasMarker(title)) setWindowTitle(caption::withoutMarker(title));
}

void TfrmTSMain::Memo1Change(bool modified) {
    // While the window is being prepared the marker is start-up's to set.
    if (state_.LblUpdate == flag::kStartupPlaceholder) return;
    if (modified) {
        if (!state_.LblUpdate.isEmpty()) return;
        state_.LblUpdate = flag::kSet;
        setWindowTitle(windowTitle() + caption::kModifiedMarker);
    } else if (!state_.LblUpdate.isEmpty()) {
        // Undone back to the saved text: the close asks nothing, so the
        // caption says nothing either.
        state_.LblUpdate.clear();
        setWindowTitle(caption::withoutMarker(windowTitle()));
    }
}

void TfrmTSMain::RirekiSet() {
    state_.GrdR.RirekiSet(state_.LblFullName());
    fileList_->refreshHistory();
    setWindowTitle(caption::forDocument(state_.LblGName(), state_.LblFullName(), style_));
}

LoadResult TfrmTSMain::loadInto(QPlainTextEdit* edit, const QString& path,
                                 std::optional<text::Encoding> encoding) {
    // Reading is the only step that can fail, and it leaves the editor as it
    // was.
    QByteArray bytes;
    LoadResult loaded = readDocumentBytes(path, bytes);
    if (loaded.ok()) fillEditor(edit, std::move(bytes), loaded, encoding);
    return loaded;
}

void TfrmTSMain::fillEditor(QPlainTextEdit* edit, QByteArray&& bytes, LoadResult& loaded,
                            std::optional<text::Encoding> encoding) {
    auto* doc = new QTextDocument(edit);
    doc->setDefaultFont(edit->font());
    {
        // The editor takes the document while it is still empty: setting up
        // its layout then costs one paragraph, not one layout object for
        // every paragraph of a large file.  Filling it is not an edit.
        const QSignalBlocker quiet(edit);
        setEmptyDocument(edit, doc);
        // A large file shows its start at once and takes keys while the
        // rest goes in.
        fillDocument(std::move(bytes), *doc, loaded, encoding, TextFill::InParts);
    }
    edit->moveCursor(QTextCursor::Start);
    if (edit == Memo1) {
        updateCursorPosition();
        setDocumentFormat(loaded.format, loaded.invalid);
    }
}

void TfrmTSMain::setDocumentFormat(text::Format format, qsizetype invalidBytes) {
    docFormat_ = format;
    const QString name = text::encodingName(format.encoding) + QStringLiteral(" / ") + text::lineEndName(format.lineEnd);
    if (invalidBytes > 0) Panel11->setText(name + main_text::invalidBytesNote(invalidBytes));
    else Panel11->setText(format.isDefault() ? main_text::kStatusCaption : name);
}

QString TfrmTSMain::documentFile() const {
    return fileOfDocumentPath(state_.LblFullName(), programFolder_, style_);
}

void TfrmTSMain::reopenInEncoding(text::Encoding encoding) {
    const QString path = documentFile();
    if (path.isEmpty() || style_.isRichTextPath(path) || encoding == docFormat_.encoding) return;
    if (!AskSaveChanges()) return;
    if (const LoadResult r = loadInto(Memo1, path, encoding); !r.ok()) {
        prompter_.message(main_text::cannotOpen(path, r));
        return;
    }
    MarkClean();
}

TfrmTSMain::WriteOutcome TfrmTSMain::writeDocument(const QString& path, QString* error) {
    // Saved under a new name, a document becomes one of the program's own:
    // Shift-JIS with CR LF.
    const WriteOutcome outcome = writeDocumentIn(path, text::Format{}, error);
    if (outcome == WriteOutcome::Written) setDocumentFormat(text::Format{});
    return outcome;
}

TfrmTSMain::WriteOutcome TfrmTSMain::writeDocumentIn(const QString& path, text::Format format, QString* error) {
    const QTextDocument& doc = *Memo1->document();
    // The recovery copy is marked before the file is written and ends with
    // a write that went through: a kill between the two never leaves it to
    // pass for unsaved work at the next start.
    const auto write = [&](LossPolicy policy) {
        recovery_->saving(path);
        WriteResult written = WriteDocument(path, doc, style_, policy, format);
        recovery_->saved(written.ok());
        return written;
    };
    WriteResult r = write(LossPolicy::Refuse);
    if (r.status == WriteResult::Status::Unencodable) {
        if (!prompter_.askYesNo(main_text::unencodableQuestion(r.unencodable, text::encodingName(format.encoding))))
            return WriteOutcome::Declined;
        r = write(LossPolicy::Replace);
    }
    if (r.ok()) return WriteOutcome::Written;
    if (error) *error = r.error;
    return r.status == WriteResult::Status::CannotCreate ? WriteOutcome::CannotCreate
                                                          : WriteOutcome::Failed;
}

void TfrmTSMain::SpeedButton6Click() {
    if (!AskSaveChanges()) return;
    startAsNewDocument();
    // Clean now: the recovery copy of the document left goes too.
    MarkClean();
    Memo1->setFocus();
}

void TfrmTSMain::SpeedButton7Click() {
    if (!AskSaveChanges()) return;
    const QString path = prompter_.openFile(main_text::kOpenFilter);
    if (path.isEmpty()) return;
    openChosenFile(path);
}

void TfrmTSMain::openFromOutside(const QString& path) {
    if (!AskSaveChanges()) return;
    openChosenFile(path);
}

void TfrmTSMain::anotherStart(const QString& path) {
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    if (!path.isEmpty()) QTimer::singleShot(0, this, [this, path] { openFromOutside(path); });
}

void TfrmTSMain::openChosenFile(const QString& path) {
    // A file that cannot be read leaves the open document, its name and its
    // modified state exactly as they were.
    if (const LoadResult r = loadInto(Memo1, path); !r.ok()) {
        prompter_.message(main_text::cannotOpen(path, r));
        return;
    }

    state_.setLblFullName(documentPathOf(path, programFolder_, style_));
    state_.setLblFName(style_.fileName(path));
    RirekiSet();
    MarkClean();
}

void TfrmTSMain::SpeedButton1Click() {
    const QString path = documentFile();
    if (path.isEmpty()) {
        SpeedButton8Click();
        return;
    }
    QString error;
    switch (writeDocumentIn(path, docFormat_, &error)) {
    case WriteOutcome::Written:
        MarkClean();
        break;
    case WriteOutcome::Declined:
        break;
    case WriteOutcome::CannotCreate:
    case WriteOutcome::Failed:
        // The system's reason under the usual line: a full disk is not a
        // missing folder.
        prompter_.errorBox(main_text::cannotCreate(path) + u'\n' + error);
        break;
    }
}

void TfrmTSMain::SpeedButton8Click() { prompter_.showSaveAs(); }

void TfrmTSMain::SpeedButton5Click() { PGFClick(); }

void TfrmTSMain::PGFClick() { fileList_->PGFClick(); }

void TfrmTSMain::SpeedButton2Click() {
    const QTextCharFormat current = Memo1->currentCharFormat();
    Prompter::FontChoice initial;
    initial.font = current.font().resolve(Memo1->document()->defaultFont());
    // The editor's sizes are in pixels; the dialog lists points.
    if (initial.font.pointSizeF() <= 0 && initial.font.pixelSize() > 0)
        initial.font.setPointSizeF(initial.font.pixelSize() * 72.0 / logicalDpiY());
    initial.colour = current.foreground().style() != Qt::NoBrush
                         ? current.foreground().color()
                         : Memo1->palette().color(QPalette::Text);

    if (const std::optional<Prompter::FontChoice> chosen = prompter_.chooseFont(initial)) {
        // Every attribute is set, also those left untouched in the dialog.
        const QFont& f = chosen->font;
        QTextCharFormat format;
        format.setFontFamilies(QStringList{f.family()});
        if (const qreal points = sizedInPoints(f).pointSizeF(); points > 0) format.setFontPointSize(points);
        format.setForeground(chosen->colour);
        format.setFontWeight(f.weight());
        format.setFontItalic(f.italic());
        format.setFontUnderline(f.underline());
        format.setFontStrikeOut(f.strikeOut());
        Memo1->mergeCurrentCharFormat(format);
    }
    Memo1->setFocus();
}

void TfrmTSMain::updateCursorPosition() {
    // Display lines: a wrapped paragraph counts as several lines.
    const EditorWidget::Position at =
        static_cast<EditorWidget*>(Memo1)->displayPosition(Memo1->textCursor().selectionStart());
    Label2->setText(QString::number(at.line));
    Label1->setText(QString::number(at.column));
}

void TfrmTSMain::SpeedButton10Click() {
    move(x(), 0);
    move(0, y());
}

void TfrmTSMain::SpeedButton19Click() {
    panel9Width_ = panel9Width_ > Panel10->width() + 4 ? Panel10->width() + 2
                                                       : Panel10->width() + 25 + 4;
    updateMinimumSize();
    relayout();
}

void TfrmTSMain::SpeedButton12Click() { setWindowState(windowState() | Qt::WindowMinimized); }

void TfrmTSMain::SpeedButton9Click() { prompter_.showAbout(); }

} // namespace tess
