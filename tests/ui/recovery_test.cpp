// The recovery copy: kept while the document has unsaved changes, removed by
// a save or a close that goes ahead, offered at the next start, left alone
// by a second copy of the program, and good after a SIGKILL at any moment.

#include "mainwindowfixture.h"
#include "recoverylines.h"

#include "core/atomicfile.h"
#include "core/caption.h"
#include "core/damagedfile.h"
#include "core/recovery.h"
#include "core/systemerror.h"
#include "mainwindow/recovery.h"
#include "richtext/documentfile.h"
#include "richtext/richtext.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSysInfo>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace tess::testing {
namespace {

using namespace Qt::StringLiterals;

QString recoveryQuestion(const QString& name) {
    return u"yesno: 前回は保存されていない変更を残したまま終了しました（"_s + name +
           u"）。\n保存されていない内容を復元しますか？\n「いいえ」のときは Recovery.old として残し、次回からは尋ねません。"_s;
}

// Told once when this run keeps no recovery copy.
QString unprotectedMessage(const QString& reason) {
    return u"message: 復元用ﾌｧｲﾙを残せないため、この実行中に保存されていない変更は異常終了のときに失われます。\n"_s + reason;
}

// Empties the folder, whatever stands in it.
void clearFolder(const QString& folder) {
    for (const QFileInfo& fi : QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (fi.isDir() && !fi.isSymLink()) QDir(fi.absoluteFilePath()).removeRecursively();
        else ::unlink(QFile::encodeName(fi.absoluteFilePath()).constData());
    }
}

void makeFifo(const QString& p) { ASSERT_EQ(::mkfifo(QFile::encodeName(p).constData(), 0600), 0); }
void makeLink(const QString& target, const QString& p) {
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(p).constData()), 0);
}

class RecoveryTest : public MainWindowTest {
protected:
    QString copyPath() const { return path(recovery::kFileName); }
    bool copyExists() const { return QFileInfo::exists(copyPath()); }
    // A run that typed `text` into a named document and then died: the copy
    // is on disk and the window is dropped without its close sequence.
    void crashAfterTyping(const QString& text, const QString& name = u"NOTE.RTF"_s) {
        start();
        nameDocument(name);
        w().RirekiSet();
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        QTextCursor c(memo()->document());
        c.insertText(text.left(2), bold);
        c.insertText(text.mid(2), QTextCharFormat());
        w().recovery().copyNow();
        w().recovery().flush();
        ASSERT_TRUE(copyExists());
        window.reset();
    }
};

TEST_F(RecoveryTest, YesBringsBackTextFormattingFieldsAndCaptionModified) {
    crashAfterTyping(u"太字と普通\n二行目"_s);
    prompter.yesNo.push_back(true);
    start();
    EXPECT_EQ(prompter.shown, QStringList{recoveryQuestion(u"NOTE.RTF"_s)});
    EXPECT_EQ(documentPlainText(*memo()->document()).left(9), u"太字と普通\n二行目"_s);
    EXPECT_EQ(memo()->document()->begin().begin().fragment().text(), u"太字"_s);
    EXPECT_EQ(memo()->document()->begin().begin().fragment().charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(title(), u"Tessarine  // [ｸﾞﾙｰﾌﾟなし] / NOTE.RTF (更新)"_s);
    EXPECT_EQ(w().state().LblFullName(), u"NOTE.RTF"_s);
    EXPECT_EQ(w().state().LblFName(), u"NOTE.RTF"_s);
    EXPECT_TRUE(modified());
    // The restored document saves where it belongs, and that ends the copy.
    w().SpeedButton1Click();
    EXPECT_FALSE(copyExists());
    QTextDocument saved;
    ASSERT_TRUE(LoadDocument(path(u"NOTE.RTF"_s), saved).ok());
    EXPECT_TRUE(documentPlainText(saved).startsWith(u"太字と普通\n二行目"_s));
    // Typing after the restore is one period: no second marker.
    type(u"x"_s);
    EXPECT_EQ(title(), u"Tessarine  // [ｸﾞﾙｰﾌﾟなし] / NOTE.RTF (更新)"_s);
}

TEST_F(RecoveryTest, NoKeepsTheCopyAsideOnceAndNeverOffersItAgain) {
    crashAfterTyping(u"一回目"_s);
    prompter.yesNo.push_back(false);
    start();
    EXPECT_EQ(prompter.shown, QStringList{recoveryQuestion(u"NOTE.RTF"_s)});
    EXPECT_FALSE(copyExists());
    EXPECT_EQ(memo()->toPlainText(), QString());
    EXPECT_EQ(title(), caption::kNewFile);
    EXPECT_FALSE(modified());
    QTextDocument kept;
    ASSERT_TRUE(LoadDocument(path(recovery::kDeclinedFileName), kept).ok());
    EXPECT_TRUE(documentPlainText(kept).startsWith(u"一回目"_s));

    prompter.shown.clear();
    start();
    EXPECT_TRUE(prompter.shown.isEmpty());
    window.reset();

    // A later declined copy takes the place of the earlier one: one is kept.
    crashAfterTyping(u"二回目"_s);
    prompter.yesNo.push_back(false);
    start();
    QTextDocument second;
    ASSERT_TRUE(LoadDocument(path(recovery::kDeclinedFileName), second).ok());
    EXPECT_TRUE(documentPlainText(second).startsWith(u"二回目"_s));
    EXPECT_EQ(QDir(folder).entryList({u"Recovery*"_s}, QDir::Files), (QStringList{u"Recovery.lock"_s, u"Recovery.old"_s}));
}

// What removes the copy and what keeps it, case by case.
TEST_F(RecoveryTest, SaveAndCloseRemoveTheCopyACancelledCloseKeepsIt) {
    struct Case {
        const char* name;
        std::function<void()> act;
        bool kept;
    };
    const Case cases[] = {
        {"overwrite save", [this] { w().SpeedButton1Click(); }, false},
        {"close, answer No",
         [this] {
             prompter.yesNoCancel.push_back(Prompter::Answer::No);
             EXPECT_TRUE(requestClose());
         },
         false},
        {"quick-save exit", [this] { w().SpeedButton11Click(); }, false},
        {"close, answer Cancel",
         [this] {
             prompter.yesNoCancel.push_back(Prompter::Answer::Cancel);
             EXPECT_FALSE(requestClose());
         },
         true},
        {"new document, answer No",
         [this] {
             prompter.yesNoCancel.push_back(Prompter::Answer::No);
             w().SpeedButton6Click();
         },
         false},
        {"save fails on a full disk",
         [this] {
             faults::setAtomicFault([](AtomicStep s) { return s == AtomicStep::Write ? ENOSPC : 0; });
             w().SpeedButton1Click();
             faults::setAtomicFault(nullptr);
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(copyPath());
        start();
        nameDocument(u"A.TXT"_s);
        type(u"未保存"_s);
        w().recovery().copyNow();
        w().recovery().flush();
        ASSERT_TRUE(copyExists());
        c.act();
        EXPECT_EQ(copyExists(), c.kept);
        window.reset();
        prompter.shown.clear();
    }
}

TEST_F(RecoveryTest, TheCopyFollowsTypingByItselfAndGoesWhenTheTextIsSavedClean) {
    start();
    w().recovery().setDelay(20);
    nameDocument(u"A.TXT"_s);
    type(u"abc"_s);
    EXPECT_TRUE(QTest::qWaitFor([&] { return copyExists(); }, 3000));
    w().recovery().flush();
    QTextDocument copy;
    ASSERT_TRUE(LoadDocument(copyPath(), copy).ok());
    EXPECT_EQ(documentPlainText(copy).left(3), u"abc"_s);
    // An undo back to the saved text leaves nothing unsaved.
    w().SpeedButton1Click();
    type(u"d"_s);
    EXPECT_TRUE(QTest::qWaitFor([&] { return copyExists(); }, 3000));
    memo()->undo();
    EXPECT_FALSE(modified());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !copyExists(); }, 3000));
}

// Edits large and small anywhere in a document of many chunks: each copy
// the program takes by itself, its mirror of the document made between
// events or at the copy, is the document's rich text byte for byte.
TEST_F(RecoveryTest, EachCopyTakenByItselfIsTheDocumentExactlyAfterEditsAnywhere) {
    start();
    // At once: the first copy comes while most of the mirror is still to be
    // made.
    w().recovery().setDelay(0);
    nameDocument(u"BIG.RTF"_s);
    QTextDocument* doc = memo()->document();
    QString lines;
    for (int i = 0; i < 100000; ++i) lines += u"段落%1の文字列です\n"_s.arg(i);
    const auto select = [&](double from, double to) {
        QTextCursor c(doc);
        c.setPosition(int((doc->characterCount() - 1) * from));
        c.setPosition(int((doc->characterCount() - 1) * to), QTextCursor::KeepAnchor);
        return c;
    };
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    const std::pair<const char*, std::function<void()>> edits[] = {
        {"a paste of many lines", [&] { type(lines); }},
        {"bold over a third of the paragraphs", [&] { select(0.3, 0.6).mergeCharFormat(bold); }},
        {"Enter and typing at the end",
         [&] {
             QTextCursor c = select(1, 1);
             c.insertBlock();
             c.insertText(u"最後"_s);
         }},
        {"deleting across many paragraphs", [&] { select(0.25, 0.5).removeSelectedText(); }},
        {"undo", [&] { memo()->undo(); }},
        {"redo", [&] { memo()->redo(); }},
        {"typing at the start",
         [&] {
             memo()->moveCursor(QTextCursor::Start);
             type(u"先頭"_s);
         }},
    };
    for (const auto& [name, edit] : edits) {
        SCOPED_TRACE(name);
        const int before = w().recovery().written();
        edit();
        ASSERT_TRUE(QTest::qWaitFor([&] { return w().recovery().written() > before; }, 10000));
        w().recovery().flush();
        ASSERT_EQ(w().recovery().lastError(), QString());
        const QByteArray copy = readFile(copyPath());
        const std::optional<recovery::Fields> fields = recovery::readFields(copy);
        ASSERT_TRUE(fields);
        EXPECT_TRUE(copy == recovery::withFields(writeRichText(*doc), *fields));
    }
}

TEST_F(RecoveryTest, ASecondRunOnTheSameFolderNeitherOffersNorTouchesTheCopy) {
    start();
    nameDocument(u"FIRST.TXT"_s);
    type(u"一つ目"_s);
    w().recovery().copyNow();
    w().recovery().flush();
    const QByteArray firstCopy = readFile(copyPath());
    ASSERT_FALSE(firstCopy.isEmpty());

    ScriptedPrompter other;
    TfrmTSMain second(other, folder, PathStyle::posix());
    // Told once that its typing is not kept, naming the run that keeps it.
    EXPECT_EQ(other.shown, QStringList{unprotectedMessage(u"同じﾌｫﾙﾀﾞで動いている別の Tessarine（"_s +
                                                          QString::number(::getpid()) + u' ' +
                                                          QSysInfo::machineHostName() + u"）が復元用ﾌｧｲﾙを使っています。"_s)});
    EXPECT_FALSE(second.recovery().owned());
    second.editor()->insertPlainText(u"二つ目"_s);
    second.recovery().copyNow();
    second.recovery().flush();
    EXPECT_EQ(readFile(copyPath()), firstCopy);
    second.state().setLblFullName(u"SECOND.TXT"_s);
    second.SpeedButton1Click();
    other.yesNoCancel.push_back(Prompter::Answer::No);
    EXPECT_TRUE(second.close());
    EXPECT_EQ(readFile(copyPath()), firstCopy);
    EXPECT_TRUE(w().recovery().owned());
    EXPECT_EQ(other.shown.size(), 1);  // told once, not at every save or close
}

TEST_F(RecoveryTest, AWriteThatFailsLeavesTheLastCopyWhole) {
    start();
    type(u"前の版"_s);
    w().recovery().copyNow();
    w().recovery().flush();
    const QByteArray before = readFile(copyPath());
    faults::setAtomicFault([](AtomicStep s) { return s == AtomicStep::Rename ? EIO : 0; });
    type(u"次の版"_s);
    w().recovery().copyNow();
    w().recovery().flush();
    faults::setAtomicFault(nullptr);
    EXPECT_EQ(readFile(copyPath()), before);
    EXPECT_FALSE(w().recovery().lastError().isEmpty());
    EXPECT_EQ(QDir(folder).entryList({u"Recovery*"_s}, QDir::Files | QDir::Hidden),
              (QStringList{u"Recovery"_s, u"Recovery.lock"_s}));
}

TEST_F(RecoveryTest, ACopyWithoutItsFieldsIsKeptAsideAsDamagedNotOffered) {
    writeFile(copyPath(), "{\\rtf1 text}");
    start();
    EXPECT_EQ(prompter.messages(),
              QStringList{damagedFileMessage(u"復元用ﾌｧｲﾙ"_s, u"Recovery"_s, u"Recovery.damaged"_s)});
    EXPECT_FALSE(copyExists());
    EXPECT_EQ(readFile(copyPath() + u".damaged"_s), "{\\rtf1 text}");
    EXPECT_EQ(memo()->toPlainText(), QString());
}

// Whatever stands in the lock's place when no run holds it: the lock is
// taken over, the last run's copy is offered, and copies are kept again.
TEST_F(RecoveryTest, ADamagedOrLeftLockIsTakenOverAndTheCopyOffered) {
    const struct {
        const char* label;
        std::function<void(const QString&)> damage;
    } cases[] = {
        {"empty", [](const QString& p) { writeFile(p, QByteArray()); }},
        {"NUL-filled", [](const QString& p) { writeFile(p, QByteArray(4096, '\0')); }},
        {"1 GiB", [](const QString& p) {
             writeFile(p, "1");
             ASSERT_TRUE(QFile(p).resize(qint64(1) << 30));  // sparse: no disk space taken
         }},
        {"a folder", [](const QString& p) {
             ASSERT_TRUE(QDir().mkpath(p));
             writeFile(p + u"/inside"_s, "kept");
         }},
        {"a symbolic-link loop", [](const QString& p) {
             makeLink(p + u".2"_s, p);
             makeLink(p, p + u".2"_s);
         }},
        {"unreadable", [](const QString& p) {
             writeFile(p, "1\n");
             ASSERT_TRUE(QFile(p).setPermissions({}));
         }},
        {"a pipe", [](const QString& p) { makeFifo(p); }},
        // A name is no proof of life: this very process, which holds no lock.
        {"naming a live process", [](const QString& p) { writeFile(p, QByteArray::number(::getpid()) + " host\n"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        clearFolder(folder);
        crashAfterTyping(u"守る"_s);
        c.damage(path(recovery::kLockFileName));
        prompter.shown.clear();
        prompter.yesNo.push_back(true);
        start();
        EXPECT_EQ(prompter.shown, QStringList{recoveryQuestion(u"NOTE.RTF"_s)});
        EXPECT_TRUE(w().recovery().owned());
        EXPECT_TRUE(documentPlainText(*memo()->document()).startsWith(u"守る"_s));
        const QFileInfo lock(path(recovery::kLockFileName));
        EXPECT_TRUE(lock.isFile() && !lock.isSymLink());
        EXPECT_LT(lock.size(), 1024);
        // And the run keeps copies again.
        w().recovery().copyNow();
        w().recovery().flush();
        EXPECT_TRUE(copyExists());
        EXPECT_EQ(w().recovery().lastError(), QString());
        // A folder that stood in the lock's place is kept, with its files.
        if (QFileInfo(path(u"Recovery.lock.damaged"_s)).isDir()) {
            EXPECT_EQ(readFile(path(u"Recovery.lock.damaged/inside"_s)), "kept");
        }
        window.reset();
    }
}

// When no copy can be kept the user hears it once, with the reason.
TEST_F(RecoveryTest, WhenNoCopyCanBeKeptTheUserIsToldOnce) {
    const auto recoveryMessages = [this] {
        QStringList out;
        for (const QString& m : prompter.shown)
            if (m.contains(u"復元用ﾌｧｲﾙを残せない"_s)) out << m;
        return out;
    };
    {
        SCOPED_TRACE("copies that cannot be written");
        start();
        faults::setAtomicFault([](AtomicStep s) { return s == AtomicStep::Write ? ENOSPC : 0; });
        for (const QString& piece : {u"一"_s, u"二"_s}) {
            type(piece);
            w().recovery().copyNow();
            w().recovery().flush();
            QCoreApplication::processEvents();
        }
        faults::setAtomicFault(nullptr);
        EXPECT_EQ(recoveryMessages(), QStringList{unprotectedMessage(w().recovery().lastError())});
        EXPECT_TRUE(w().recovery().lastError().endsWith(systemErrorText(ENOSPC)));
        window.reset();
    }
    {
        SCOPED_TRACE("a program folder that is gone");
        prompter.shown.clear();
        const QString kept = folder;
        folder += u"gone/"_s;
        start();
        EXPECT_FALSE(w().recovery().owned());
        EXPECT_EQ(recoveryMessages(), QStringList{unprotectedMessage(folder + u"Recovery.lock: "_s + systemErrorText(ENOENT))});
        type(u"三"_s);
        w().recovery().copyNow();
        QCoreApplication::processEvents();
        EXPECT_EQ(recoveryMessages().size(), 1);
        window.reset();
        folder = kept;
    }
}

// A save and the copy's end are one step to the next start: killed just
// after the document reached its file, the older copy is not offered; killed
// just before, the copy is all there is and it is offered.
TEST_F(RecoveryTest, AKillRightAfterASaveNeverOffersTheOlderCopy) {
    const struct {
        const char* step;
        bool offered;
    } cases[] = {{"sync-folder", false}, {"rename", true}};
    const QString base = folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        folder = base + QString::fromLatin1(c.step) + u'/';
        ASSERT_TRUE(QDir().mkpath(folder));
        QProcess child;
        child.start(QStringLiteral(TESS_RECOVERY_DRIVER), {folder, u"save-kill"_s, QString::fromLatin1(c.step)});
        ASSERT_TRUE(child.waitForFinished(20000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << child.readAllStandardError().toStdString();
        ASSERT_TRUE(copyExists());

        prompter.shown.clear();
        if (c.offered) prompter.yesNo.push_back(true);
        start();
        if (c.offered) {
            EXPECT_EQ(prompter.shown, QStringList{recoveryQuestion(kDriverDocument)});
            EXPECT_EQ(documentPlainText(*memo()->document()), kSaveKillCopied);
            EXPECT_FALSE(QFileInfo::exists(path(kDriverDocument)));
        } else {
            EXPECT_EQ(prompter.shown, QStringList());
            EXPECT_FALSE(copyExists());
            QTextDocument saved;
            ASSERT_TRUE(LoadDocument(path(kDriverDocument), saved).ok());
            EXPECT_EQ(documentPlainText(saved), kSaveKillCopied + kSaveKillTypedAfter);
        }
        EXPECT_FALSE(QFileInfo::exists(path(recovery::kSaveMarkFileName)));
        window.reset();
    }
}

// A copy that cannot be read back whole is told and kept aside, never
// restored in part and never passed over.
TEST_F(RecoveryTest, ACopyThatCannotBeReadOrIsCutShortIsToldAndKeptAside) {
    const QString kept = u"元のﾌｧｲﾙは \"Recovery.damaged\" として残してあります。"_s;
    const struct {
        const char* label;
        std::function<void(const QString&)> damage;
        QString told;
    } cases[] = {
        {"cut short", [](const QString& p) { ASSERT_TRUE(QFile(p).resize(QFileInfo(p).size() - 40)); },
         u"message: 復元用ﾌｧｲﾙ \"Recovery\" は途中で切れているため、復元しません。\n"_s + kept},
        {"cut to its last brace", [](const QString& p) { ASSERT_TRUE(QFile(p).resize(QFileInfo(p).size() - 3)); },
         u"message: 復元用ﾌｧｲﾙ \"Recovery\" は途中で切れているため、復元しません。\n"_s + kept},
        {"a symbolic-link loop",
         [](const QString& p) {
             QFile::remove(p);
             makeLink(p + u".2"_s, p);
             makeLink(p, p + u".2"_s);
         },
         u"message: 復元用ﾌｧｲﾙ \"Recovery\" を読み込めないため、前回の保存されていない内容は復元できません。\n%1: "_s +
             systemErrorText(ELOOP) + u'\n' + kept},
        {"a pipe",
         [](const QString& p) {
             QFile::remove(p);
             makeFifo(p);
         },
         u"message: 復元用ﾌｧｲﾙ \"Recovery\" を読み込めないため、前回の保存されていない内容は復元できません。\n%1: 通常のファイルではありません\n"_s +
             kept},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        clearFolder(folder);
        crashAfterTyping(u"一部だけ戻ってはならない文章\n"_s.repeated(20));
        c.damage(copyPath());
        prompter.shown.clear();
        start();
        EXPECT_EQ(prompter.shown, QStringList{c.told.contains(u"%1"_s) ? c.told.arg(copyPath()) : c.told});
        EXPECT_EQ(memo()->toPlainText(), QString());
        EXPECT_FALSE(modified());
        const QFileInfo aside(copyPath() + u".damaged"_s);
        EXPECT_TRUE(aside.exists() || aside.isSymLink());
        EXPECT_FALSE(QFileInfo(copyPath()).exists() || QFileInfo(copyPath()).isSymLink());
        // New copies are kept from here on.
        type(u"新しい"_s);
        w().recovery().copyNow();
        w().recovery().flush();
        EXPECT_TRUE(QFileInfo(copyPath()).isFile());
        window.reset();
    }
}

// Temporary files of writes a kill cut short: the program's own go at the
// next start, anything else stays, and a run that does not own the folder
// touches none.
TEST_F(RecoveryTest, LeftoverTemporaryFilesOfTheProgramsOwnFilesGoAtStart) {
    const QStringList ours = {u".Recovery.k3x9a1.tmp"_s, u".QuickSave.0.tmp"_s,  u".QuickPrevew.zzzzzzz.tmp"_s,
                              u".QuickLists.1a.tmp"_s,   u".GroupFiles.q.tmp"_s, u".tessarine.ini.abc.tmp"_s,
                              u".ClipSave1.9.tmp"_s,     u".ClipSave2.a9.tmp"_s, u".Recovery.save.b.tmp"_s};
    const QStringList others = {u".MEMO.TXT.k3x9a1.tmp"_s,  // a document's: not ours to judge
                                u".QuickSave.tmp"_s, u".QuickSave.ABC.tmp"_s, u".QuickSave.12345678.tmp"_s,
                                u"QuickSave.abc.tmp"_s, u".QuickSave.abc.tmp.old"_s};
    const auto plant = [&] {
        for (const QString& name : ours + others) writeFile(path(name), "partial");
    };
    const auto present = [&](const QStringList& names) {
        QStringList out;
        for (const QString& name : names)
            if (QFileInfo::exists(path(name))) out << name;
        return out;
    };

    start();
    plant();
    ScriptedPrompter other;
    {
        // Another run while this one owns the folder: its writes could be
        // any of these.
        TfrmTSMain second(other, folder, PathStyle::posix());
        EXPECT_EQ(present(ours), ours);
    }
    window.reset();
    start();
    EXPECT_EQ(present(ours), QStringList());
    EXPECT_EQ(present(others), others);
}

// The real thing: the program is killed with SIGKILL at a random moment
// while it types and saves, then started again.  What comes back is exactly
// the text of some moment (never a mix or a half-written file), at most two
// seconds older than the kill, with its formatting.
TEST_F(RecoveryTest, KilledAtRandomMomentsWhileTypingAndSavingLosesAtMostTwoSeconds) {
    QRandomGenerator random(QRandomGenerator::global()->generate());
    const QString base = folder;
    for (int round = 0; round < 6; ++round) {
        folder = base + QStringLiteral("run%1/").arg(round);
        ASSERT_TRUE(QDir().mkpath(folder));
        const int killAfterMs = 300 + int(random.bounded(2700));
        SCOPED_TRACE(QStringLiteral("round %1, killed %2 ms after the first line").arg(round).arg(killAfterMs).toStdString());

        QProcess child;
        child.setProcessChannelMode(QProcess::SeparateChannels);
        child.start(QStringLiteral(TESS_RECOVERY_DRIVER), {folder});
        ASSERT_TRUE(child.waitForStarted(10000));

        QElapsedTimer clock;
        std::vector<std::pair<qint64, int>> typedAt;  // when each report arrived
        int lastTyped = 0;
        const auto readReports = [&] {
            while (child.canReadLine()) {
                const QByteArray line = child.readLine().trimmed();
                if (!line.startsWith("typed ")) continue;
                if (!clock.isValid()) clock.start();
                lastTyped = line.mid(6).toInt();
                typedAt.emplace_back(clock.elapsed(), lastTyped);
            }
        };
        while (!clock.isValid() || clock.elapsed() < killAfterMs) {
            child.waitForReadyRead(5);
            readReports();
            ASSERT_EQ(child.state(), QProcess::Running) << child.readAllStandardError().toStdString();
        }
        const qint64 killedAt = clock.elapsed();
        child.kill();  // SIGKILL
        ASSERT_TRUE(child.waitForFinished(10000));
        readReports();
        int required = 0;
        for (const auto& [when, n] : typedAt)
            if (when <= killedAt - 2000) required = n;

        const auto linesIn = [](const QString& text) -> int {
            // The text of k lines, exactly, or -1.
            QString t = text;
            while (t.endsWith(u'\n')) t.chop(1);
            const int k = int(t.count(u'\n')) + (t.isEmpty() ? 0 : 1);
            QString expected = driverText(k);
            expected.chop(1);
            return t == expected ? k : -1;
        };

        const bool offered = copyExists();
        prompter.shown.clear();
        if (offered) prompter.yesNo.push_back(true);
        start();
        EXPECT_TRUE(w().recovery().owned());
        int saved = 0;
        if (QFileInfo::exists(path(kDriverDocument))) {
            QTextDocument doc;
            ASSERT_TRUE(LoadDocument(path(kDriverDocument), doc).ok());
            saved = linesIn(documentPlainText(doc));
            EXPECT_GE(saved, 0) << "the saved document is not the text of any moment";
            EXPECT_EQ(saved % kDriverSaveEvery, 0);
        }
        int recovered = saved;
        if (offered) {
            ASSERT_EQ(prompter.shown, QStringList{recoveryQuestion(kDriverDocument)});
            recovered = linesIn(documentPlainText(*memo()->document()));
            ASSERT_GE(recovered, 0) << "the recovery copy is not the text of any moment";
            EXPECT_GE(recovered, saved);
            EXPECT_TRUE(modified());
            if (recovered >= 3) {
                const QTextBlock third = memo()->document()->findBlockByNumber(2);
                EXPECT_EQ(third.begin().fragment().charFormat().fontWeight(), QFont::Bold);
                EXPECT_EQ(third.next().begin().fragment().charFormat().fontWeight(), QFont::Normal);
            }
        } else {
            EXPECT_TRUE(prompter.shown.isEmpty());
        }
        EXPECT_LE(recovered, lastTyped);
        EXPECT_GE(recovered, required) << "typed " << lastTyped << ", saved " << saved;
        window.reset();
    }
}

} // namespace
} // namespace tess::testing
