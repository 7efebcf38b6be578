// Start-up (settings and the quick-save restore), activation and the close
// sequence of the main window.

#include "TSMain.h"

#include "editorzoom.h"

#include "clipsave.h"
#include "filelist.h"
#include "groupsearch.h"
#include "printing.h"
#include "recovery.h"

#include "core/caption.h"
#include "core/damagedfile.h"
#include "core/filenames.h"
#include "core/groupstore.h"
#include "core/panelsplit.h"
#include "core/quickcheck.h"
#include "core/quicklists.h"
#include "core/settingsfile.h"
#include "core/textlines.h"
#include "richtext/documentfile.h"
#include "richtext/richtext.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QSessionManager>
#include <QTableWidget>
#include <QTextDocument>
#include <QPlainTextEdit>
#include <QTimer>

#include <utility>

namespace tess {

namespace {

// The encoding and line ends of a plain-text document file on disk; the
// program's own format when there is none.
text::Format plainFormatOf(const QString& path) {
    QByteArray bytes;
    if (path.isEmpty() || !readDocumentBytes(path, bytes).ok() || isRichText(bytes)) return text::Format{};
    return text::decodeDetected(bytes).format;
}

} // namespace

void TfrmTSMain::FormCreate() {
    // Composition colours: Qt's input methods offer no such setting.
    state_.setLblFName(QString());
    state_.setLblGName(QString());
    state_.setLblFullName(QString());
    clipSave_->start();
    Label1->setText(QStringLiteral("1"));
    Label2->setText(QStringLiteral("1"));
    PnlLst->hide();
    Panel4->hide();
    alarm_->start();

    readSettings();

    if (state_.LblQS != flag::kOn) {
        startAsNewDocument();
        Memo2->clear();
    }
    // A stale "ON" would make the next close a silent quick-save exit.
    state_.LblQS.clear();
    // Whatever the restore brought back, the placeholder must not hide
    // the next edit, and the marker says what the modified flag says (a
    // stored caption may disagree with the stored flag).
    if (state_.LblUpdate == flag::kStartupPlaceholder) {
        const bool modified = Memo1->document()->isModified();
        if (modified && !caption::hasMarker(windowTitle()))
            setWindowTitle(windowTitle() + caption::kModifiedMarker);
        else if (!modified && caption::hasMarker(windowTitle()))
            setWindowTitle(caption::withoutMarker(windowTitle()));
        state_.LblUpdate = modified ? flag::kSet : QString();
    }
    relayout();
}

void TfrmTSMain::readSettings() {
    SettingsFile settings(settingsPath());
    if (settings.load() == SettingsFile::Load::Damaged) {
        // Nothing of a file read part-way is used, and it is kept aside so
        // that the next close does not write the defaults over it.
        prompter_.message(damagedSettingsMessage(settingsFileName_, settings.setAside()));
    }
    const auto flagValue = [&](const QString& section, const QString& key) {
        return settings.read(section, key, ini::kShortLimit);
    };
    // A number that is not one is reported and skipped; stopping there would
    // leave the group flag and the history unread, and the next close would
    // write them away.
    const auto number = [&](const QString& section, const QString& key) -> std::optional<int> {
        const SettingValue v = flagValue(section, key);
        if (!v.found) return std::nullopt;
        const std::optional<int> n = toInteger(v.value);
        if (!n) prompter_.errorBox(badNumberMessage(settingsFileName_, section, key, v.value));
        return n;
    };

    alarm_->readSettings(settings, number);
    // A zoom that is not one falls back to 100 % without a word: it is ours.
    zoom_->setPercent(zoom::fromSetting(settings.read(ini::kTessarine, ini::kZoom, ini::kShortLimit).value));
    search_->readSettings(settings);
    printing_->readSettings(settings);

    if (const auto n = number(ini::kSystem, ini::kPLWidth)) plWidth_ = *n;
    if (const auto n = number(ini::kSystem, ini::kPPHeight)) ppHeight_ = *n;

    if (const auto n = number(ini::kFrmTSMain, ini::kTop)) move(x(), *n);
    if (const auto n = number(ini::kFrmTSMain, ini::kLeft)) move(*n, y());
    if (const auto n = number(ini::kFrmTSMain, ini::kHeight)) resize(width(), *n);
    if (const auto n = number(ini::kFrmTSMain, ini::kWidth)) resize(*n, height());

    keepOnScreen();
    // Stored sizes are bounded by the window they come back in: a panel
    // past its edge would hide the editor for good.
    plWidth_ = split::bounded(plWidth_, listSpace());
    ppHeight_ = split::bounded(ppHeight_, previewSpace());
    relayout();

    if (const SettingValue v = flagValue(ini::kGroupFiles, ini::kFiles); v.found)
        state_.LblGF = v.value;

    // A bad count is reported; the stored rows are still read.
    QString badCount;
    state_.GrdR.load(settings, &badCount);
    if (!badCount.isEmpty())
        prompter_.errorBox(badNumberMessage(settingsFileName_, ini::kOpendFile, ini::kCount, badCount));

    if (const SettingValue v = flagValue(ini::kQuickSave, ini::kQSSystem); v.found)
        state_.LblQS = v.value;
    if (state_.LblQS == flag::kOn) quickSaveRestore(settings);
}

void TfrmTSMain::keepOnScreen() {
    // Bounds stored on a screen that is gone would put the window where
    // nobody can reach it.
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty()) return;
    const QRect bounds(pos(), size());
    for (const QScreen* screen : screens)
        if (screen->availableGeometry().intersects(bounds)) return;
    move(screens.first()->availableGeometry().topLeft() + QPoint(kDesignLeft, kDesignTop));
}

TfrmTSMain::QuickFile TfrmTSMain::readQuickFile(const QString& name, const QString& entry) {
    QuickFile file;
    file.path = style_.join(programFolder_, name);
    // A file the last quick-save exit wrote may be as large as it was then;
    // anything else is held to what an open accepts.
    const qint64 limit = std::max(kMaxDocumentBytes, quickcheck::recordedSize(entry).value_or(0));
    file.load = readDocumentBytes(file.path, file.bytes, limit);
    if (file.load.ok()) file.match = quickcheck::compare(entry, file.bytes);
    return file;
}

QString TfrmTSMain::setQuickFileAside(const QString& path, const QString& told) {
    return told + u'\n' + keptAsText(setDamagedFileAside(path));
}

void TfrmTSMain::quickSaveRestore(const SettingsFile& settings) {
    const auto flagValue = [&](const QString& key) {
        return settings.read(ini::kQuickSave, key, ini::kShortLimit);
    };
    // Captions, names and paths come back whole: a cut path would make the
    // next save write to another file.
    const auto textValue = [&](const QString& key) {
        return settings.read(ini::kQuickSave, key, ini::kWhole);
    };
    // A file that is there but cannot be read is kept under another name:
    // the next quick-save exit must not write over it.
    const auto loadFailed = [this](const QuickFile& f) {
        prompter_.errorBox(f.load.missing ? f.load.error : setQuickFileAside(f.path, f.load.error));
    };

    // The text first: without it the document fields must not come back, or
    // the next overwrite save would replace the real document with nothing.
    const bool modified = flagValue(ini::kModified).value == ini::kTrue;
    QuickFile text = readQuickFile(files::kQuickSave, textValue(ini::kQuickSaveCheck).value);
    if (!text.load.ok()) {
        loadFailed(text);
        startAsNewDocument();
    } else if (text.match == quickcheck::Match::Differs) {
        // Not the text the recorded caption and path belong to: it comes
        // back, but under no name, so that a save cannot put it over
        // another document.
        prompter_.message(setQuickFileAside(
            text.path, main_text::quickFileMismatch(files::kQuickSave, QStringLiteral("内容は名前のない文書として開きます。"))));
        startAsNewDocument();
        fillEditor(Memo1, std::move(text.bytes), text.load);
        setDocumentFormat(text::Format{});
        Memo1->document()->setModified(true);
        setWindowTitle(caption::kNewFile + caption::kModifiedMarker);
    } else {
        fillEditor(Memo1, std::move(text.bytes), text.load);
        if (const SettingValue v = textValue(ini::kMainFormCaption); v.found) setWindowTitle(v.value);
        if (const SettingValue v = textValue(ini::kGroupName); v.found) state_.setLblGName(v.value);
        if (const SettingValue v = textValue(ini::kFileName); v.found) state_.setLblFName(v.value);
        if (const SettingValue v = textValue(ini::kFilePath); v.found) state_.setLblFullName(v.value);
        // The quick-save file is rich text; the document's own file tells
        // which encoding and line ends its next save keeps.
        setDocumentFormat(plainFormatOf(documentFile()));
        // Loading is not an edit: the saved modified state stands (the
        // marker flag follows the caption once start-up is over).
        Memo1->document()->setModified(modified);
        if (!modified) MarkClean();
    }

    fileList_->readQuickSave(settings);
    if (const SettingValue v = textValue(ini::kFilePrevewCaption); v.found) Panel5->setText(v.value);

    if (const SettingValue v = flagValue(ini::kCS1); v.found) state_.LblCS1 = v.value;
    if (const SettingValue v = flagValue(ini::kCS2); v.found) state_.LblCS2 = v.value;

    if (flagValue(ini::kListVisible).value == ini::kTrue) showListPanel(true);
    if (flagValue(ini::kPrevewVisible).value == ini::kTrue) showPreview(true);

    QuickFile preview = readQuickFile(files::kQuickPrevew, textValue(ini::kQuickPrevewCheck).value);
    if (!preview.load.ok())
        loadFailed(preview);
    else if (preview.match == quickcheck::Match::Differs)
        prompter_.message(setQuickFileAside(preview.path, main_text::quickFileMismatch(files::kQuickPrevew, QStringLiteral("プレビューは空にします。"))));
    else
        fillEditor(Memo2, std::move(preview.bytes), preview.load);

    const QString listsFile = style_.join(programFolder_, files::kQuickLists);
    const QuickListsRead lists = readQuickLists(listsFile);
    switch (lists.status) {
    case QuickListsRead::Status::Missing:
        prompter_.message(kQuickListsMissing);
        break;
    case QuickListsRead::Status::Unreadable:
        prompter_.errorBox(setQuickFileAside(listsFile, lists.problem));
        break;
    case QuickListsRead::Status::BadCount:
    case QuickListsRead::Status::TooLarge:
        prompter_.errorBox(quickListsProblem(lists));
        break;
    case QuickListsRead::Status::Ok:
        if (quickcheck::compare(textValue(ini::kQuickListsCheck).value, lists.bytes) == quickcheck::Match::Differs) {
            prompter_.message(setQuickFileAside(listsFile,
                                                main_text::quickFileMismatch(files::kQuickLists, QStringLiteral("ﾌｧｲﾙﾘｽﾄは空にします。"))));
            break;
        }
        fileList_->setEntries(lists.entries);
        break;
    }
}

void TfrmTSMain::startAsNewDocument() {
    state_.setLblGName(QString());
    state_.setLblFName(QString());
    state_.setLblFullName(QString());
    // At start-up LblUpdate still holds its placeholder, so clearing adds no
    // marker; later, the marker the clearing adds goes with the caption below.
    Memo1->clear();
    Memo1->document()->setModified(false);
    state_.LblUpdate.clear();
    setWindowTitle(caption::kNewFile);
    setDocumentFormat(text::Format{});
}

void TfrmTSMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Memo1->setFocus();
}

void TfrmTSMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        // The user is back: the log-off that asked before did not happen.
        endSessionQuery();
        // A click on the picker button that brings this window back closes
        // the popup instead of reopening it.
        if (picker_ && picker_->isVisible()) {
            state_.L1 = flag::kPickerClosed;
            picker_->hide();
        }
        Timer1->start();
    }
}

void TfrmTSMain::SpeedButton11Click() {
    state_.LblQS = flag::kOn;
    close();
}

void TfrmTSMain::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery()) {
        event->accept();
        // Its worker stops with the program.
        search_->close();
    } else {
        event->ignore();
    }
}

void TfrmTSMain::sessionCommit(QSessionManager& manager) {
    // Logging off runs the same query as the close box; a refusal cancels
    // the shutdown where the session manager lets us.
    const bool mayAsk = manager.allowsInteraction();
    const bool agreed = sessionQuery(mayAsk);
    if (mayAsk) manager.release();
    if (!agreed) manager.cancel();
}

bool TfrmTSMain::sessionQuery(bool mayAsk) {
    endSessionQuery();
    lblQSBeforeSession_ = state_.LblQS;
    // Without leave to ask, a modified document is kept by a quick-save exit
    // rather than lost.
    if (!mayAsk && Memo1->document()->isModified()) state_.LblQS = flag::kOn;
    closeMayAsk_ = mayAsk;
    const bool agreed = FormCloseQuery();
    closeMayAsk_ = true;
    if (!agreed) {
        state_.LblQS = lblQSBeforeSession_;
        return false;
    }
    sessionAnswered_ = true;
    return true;
}

void TfrmTSMain::endSessionQuery() {
    if (!sessionAnswered_) return;
    sessionAnswered_ = false;
    state_.LblQS = lblQSBeforeSession_;
    recovery_->resume();
}

bool TfrmTSMain::FormCloseQuery() {
    // Only the close that directly follows an answered session query skips
    // the question.
    const bool afterSession = std::exchange(sessionAnswered_, false);
    const bool quickSave = state_.LblQS == flag::kOn;
    const auto refuse = [&] {
        if (afterSession) state_.LblQS = lblQSBeforeSession_;
        // A quick-save exit that could not write its files is over: the next
        // close is an ordinary one, with the save question.
        else if (quickSave) state_.LblQS.clear();
        return false;
    };
    if (!quickSave && Memo1->document()->isModified() && !afterSession) {
        if (!AskSaveChanges()) return false;
    }

    registry_.trimGroupFiles();

    // The files the settings point at are written first, so the settings
    // never announce a quick-save that is not on disk.
    if (quickSave && !writeQuickSaveFiles()) return refuse();

    QStringList errors;
    QString error;
    if (registry_.hasGroups() && !writeGroupStoreKeepingUnread(&error)) errors << error;

    SettingsFile settings(settingsPath());
    // A file damaged since the start is kept aside rather than overwritten.
    settings.setAside();
    writeSettings(settings);
    if (!settings.save(&error)) errors << error;

    if (!errors.isEmpty()) {
        prompter_.errorBox(errors.join(u'\n'));
        // A quick-save exit that cannot record itself would lose the
        // document: it is refused, and the next close asks about the
        // document.  An ordinary close has settled the document already, so
        // a folder that cannot be written never keeps the user from leaving.
        if (quickSave || !closeMayAsk_ || !prompter_.askYesNo(main_text::kEndWithoutSaving)) return refuse();
    }
    // Last: until everything else is on disk the copy may still be needed.
    recovery_->release();
    return true;
}

bool TfrmTSMain::writeGroupStoreKeepingUnread(QString* error) {
    const QString store = style_.join(programFolder_, files::kGroupStore);
    // A store this run could not read still holds the groups of earlier
    // runs: it is kept under another name, never written over.
    if (state_.storeKept) {
        if (setDamagedFileAside(store).isEmpty()) {
            if (error)
                *error = store + QStringLiteral(": 読み込めなかったグループ情報ファイルを別の名前で残せないため、"
                                                "書き込みませんでした");
            return false;
        }
        state_.storeKept = false;
    }
    return writeGroupStore(store, registry_, error);
}

void TfrmTSMain::writeSettings(SettingsFile& settings) const {
    alarm_->writeSettings(settings);
    settings.write(ini::kTessarine, ini::kZoom, QString::number(zoom_->percent()));
    search_->writeSettings(settings);
    printing_->writeSettings(settings);
    settings.write(ini::kSystem, ini::kPLWidth, QString::number(plWidth_));
    settings.write(ini::kSystem, ini::kPPHeight, QString::number(ppHeight_));

    // A maximised window keeps the bounds it had last in a normal state.
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
        settings.write(ini::kFrmTSMain, ini::kTop, QString::number(y()));
        settings.write(ini::kFrmTSMain, ini::kLeft, QString::number(x()));
        settings.write(ini::kFrmTSMain, ini::kHeight, QString::number(height()));
        settings.write(ini::kFrmTSMain, ini::kWidth, QString::number(width()));
    }

    // A store that could not be read keeps its flag: the groups come back
    // once it can be read again.
    settings.write(ini::kGroupFiles, ini::kFiles,
                   registry_.hasGroups() || state_.storeKept ? flag::kStoreWritten : flag::kNoGroups);
    state_.GrdR.save(settings);

    const bool quickSave = state_.LblQS == flag::kOn;
    settings.write(ini::kQuickSave, ini::kQSSystem, quickSave ? flag::kOn : flag::kOff);
    if (!quickSave) return;
    settings.write(ini::kQuickSave, ini::kModified, ini::trueFalse(Memo1->document()->isModified()));
    settings.write(ini::kQuickSave, ini::kMainFormCaption, windowTitle());
    fileList_->writeQuickSave(settings);
    settings.write(ini::kQuickSave, ini::kFilePrevewCaption, Panel5->text());
    settings.write(ini::kQuickSave, ini::kGroupName, state_.LblGName());
    settings.write(ini::kQuickSave, ini::kFileName, state_.LblFName());
    settings.write(ini::kQuickSave, ini::kFilePath, state_.LblFullName());
    settings.write(ini::kQuickSave, ini::kCS1, state_.LblCS1);
    settings.write(ini::kQuickSave, ini::kCS2, state_.LblCS2);
    settings.write(ini::kQuickSave, ini::kListVisible, ini::trueFalse(PnlLst->isVisibleTo(Panel2)));
    settings.write(ini::kQuickSave, ini::kPrevewVisible, ini::trueFalse(Panel4->isVisibleTo(Panel2)));
    // Last: only with these does the record claim the files as its own.
    settings.write(ini::kQuickSave, ini::kQuickSaveCheck, quickChecks_[0]);
    settings.write(ini::kQuickSave, ini::kQuickPrevewCheck, quickChecks_[1]);
    settings.write(ini::kQuickSave, ini::kQuickListsCheck, quickChecks_[2]);
}

bool TfrmTSMain::writeQuickSaveFiles() {
    QString error;
    quickChecks_ = {};
    bool ok = writeQuickRichText(files::kQuickSave, *Memo1->document(), &quickChecks_[0], &error) &&
              writeQuickRichText(files::kQuickPrevew, *Memo2->document(), &quickChecks_[1], &error);
    if (ok) {
        QStringList items;
        for (int i = 0; i < PanelPass->count(); ++i) items << PanelPass->item(i)->text();
        ok = writeQuickLists(style_.join(programFolder_, files::kQuickLists), items, &error, &quickChecks_[2]);
    }
    if (!ok) prompter_.errorBox(error);
    return ok;
}

bool TfrmTSMain::writeQuickRichText(const QString& name, const QTextDocument& doc, QString* check,
                                    QString* error) {
    // These files have no ".RTF" ending, but hold rich text all the same.
    const QByteArray bytes = writeRichText(doc);
    *check = quickcheck::of(bytes);
    return writeFileAtomically(style_.join(programFolder_, name), bytes, error, FileUse::ProgramState);
}

} // namespace tess
