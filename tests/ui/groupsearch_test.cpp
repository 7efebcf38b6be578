// The search through a group's documents: its scopes, the find panel's
// options, documents in every format and those that cannot be read, the
// worker's cancel, and a hit opened as the file list opens an entry.

#include "mainwindowfixture.h"

#include "core/groupregistry.h"
#include "mainwindow/filelist.h"
#include "mainwindow/findreplace.h"
#include "mainwindow/groupsearch.h"
#include "richtext/documentfile.h"
#include "richtext/softbreaks.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTextBlock>
#include <QTreeWidget>

#include <atomic>
#include <thread>

namespace tess::testing {
namespace {

using Answer = Prompter::Answer;
using Scope = GroupSearch::Scope;

constexpr int kWaitMs = 20000;  // the most a search here may take

QByteArray shiftJis(const QString& text) { return QStringEncoder("windows-31j").encode(text); }

class GroupSearchTest : public MainWindowTest {
public:
    void SetUp() override {
        MainWindowTest::SetUp();
        start();
        work = folder + QStringLiteral("work");
        ASSERT_TRUE(QDir().mkpath(work));
    }
    GroupSearch& gs() { return w().groupSearch(); }
    template <typename T = QWidget>
    T* part(const QString& name) {
        T* found = gs().findChild<T*>(name);
        EXPECT_NE(found, nullptr) << qPrintable(name);
        return found;
    }
    QTreeWidget* list() { return part<QTreeWidget>(QStringLiteral("TrvGrep")); }
    QString summary() { return part<QLabel>(QStringLiteral("LblGrepSummary"))->text(); }

    void addFolderGroup(const QString& name, const QString& at) {
        prompter.yesNo.push_back(false);  // no history import
        ASSERT_EQ(w().registry().Touroku(kind::kFolder, name, at, w().state().GrdR, prompter),
                  TourokuResult::Registered);
    }
    void addInnerGroup(const QString& name, const QStringList& files) {
        registerGroup(name);
        for (const QString& f : files) w().registry().FileGroupSet(name, f);
    }
    void addToHistory(const QString& entry) { w().state().GrdR.RirekiSet(entry); }

    // The folder group WORK with a Shift-JIS, a UTF-8 and a rich-text
    // document, and the inner groups NOTES and OTHER.
    void makeGroups() {
        addFolderGroup(QStringLiteral("WORK"), work);
        w().registry().FileGroupSet(QStringLiteral("WORK"), QStringLiteral("SJIS.TXT"));
        w().registry().FileGroupSet(QStringLiteral("WORK"), QStringLiteral("U8.TXT"));
        w().registry().FileGroupSet(QStringLiteral("WORK"), QStringLiteral("C.RTF"));
        writeFile(work + QStringLiteral("/SJIS.TXT"), shiftJis(QStringLiteral("一行目\r\n今日は検索語の日\r\n")));
        writeFile(work + QStringLiteral("/U8.TXT"), QStringLiteral("ａ\n\nＵＴＦ－８の検索語\n").toUtf8());
        writeFile(work + QStringLiteral("/C.RTF"),
                  "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 MS Gothic;}}\\f0 "
                  "\\'8c\\'9f\\'8d\\'f5\\'8c\\'ea {\\b \\u26908?\\u32034?\\u35486?}\\par}");
        addInnerGroup(QStringLiteral("NOTES"), {QStringLiteral("N.TXT")});
        writeFile(path(QStringLiteral("N.TXT")), shiftJis(QStringLiteral("メモ\r\nメモの検索語\r\n")));
        addInnerGroup(QStringLiteral("OTHER"), {QStringLiteral("O.TXT")});
        writeFile(path(QStringLiteral("O.TXT")), shiftJis(QStringLiteral("別の検索語")));
    }

    void setQuery(const QString& pattern, const search::Options& o = {}) {
        part<QLineEdit>(QStringLiteral("EdtGrep"))->setText(pattern);
        part<QCheckBox>(QStringLiteral("CBGrepMatchCase"))->setChecked(o.matchCase);
        part<QCheckBox>(QStringLiteral("CBGrepWholeWord"))->setChecked(o.wholeWord);
        part<QCheckBox>(QStringLiteral("CBGrepRegex"))->setChecked(o.regex);
        part<QCheckBox>(QStringLiteral("CBGrepWidth"))->setChecked(o.widthInsensitive);
    }
    // Starts the search with the button and waits until it has ended.
    void search(const QString& pattern, Scope scope, const QString& group = {}, const search::Options& o = {}) {
        setQuery(pattern, o);
        gs().setScope(scope, group);
        QSignalSpy ended(&gs(), &GroupSearch::finished);
        QTest::mouseClick(part<QPushButton>(QStringLiteral("BtnGrepStart")), Qt::LeftButton);
        // A search it replaced ends first.
        ASSERT_TRUE(QTest::qWaitFor([&] { return ended.count() > 0 && !gs().running(); }, kWaitMs));
    }
    // "document|group|line|match" for each row, or the reason for a
    // document that could not be read.
    QStringList found() {
        QStringList out;
        for (const GroupSearch::Row& r : gs().rows())
            out << QStringLiteral("%1|%2|%3|%4")
                       .arg(r.document, r.group)
                       .arg(r.line)
                       .arg(r.line ? r.text.mid(r.start, r.length) : r.text);
        EXPECT_EQ(list()->topLevelItemCount(), out.size());
        return out;
    }
    int rowOf(const QString& document) {
        for (int i = 0; i < gs().rows().size(); ++i)
            if (gs().rows()[i].document == document) return i;
        ADD_FAILURE() << qPrintable(document);
        return -1;
    }
    // Enter on the row's item, as the user opens a hit.
    void pressEnterOn(int row) {
        gs().show();
        list()->setCurrentItem(list()->topLevelItem(row));
        QTest::keyClick(list(), Qt::Key_Return);
    }

    QString work;
};

TEST_F(GroupSearchTest, EachScopeReadsItsDocumentsInEveryFormat) {
    makeGroups();
    writeFile(work + QStringLiteral("/LOOSE.TXT"), "no group\n");
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("else")));
    writeFile(folder + QStringLiteral("else/H.TXT"), shiftJis(QStringLiteral("履歴だけの検索語")));
    addToHistory(QStringLiteral("N.TXT"));
    addToHistory(folder + QStringLiteral("else/H.TXT"));
    w().state().setLblGName(QStringLiteral("WORK"));

    const QStringList work3 = {QStringLiteral("SJIS.TXT|WORK|2|検索語"), QStringLiteral("U8.TXT|WORK|3|検索語"),
                               QStringLiteral("C.RTF|WORK|1|検索語"), QStringLiteral("C.RTF|WORK|1|検索語")};
    const struct {
        Scope scope;
        QString group;
        QStringList expected;
        QString summary;
    } cases[] = {
        {Scope::CurrentGroup, {}, work3, QStringLiteral("4 件（3 文書）")},
        {Scope::ChosenGroup, QStringLiteral("NOTES"), {QStringLiteral("N.TXT|NOTES|2|検索語")}, QStringLiteral("1 件（1 文書）")},
        {Scope::AllGroups, {}, work3 + QStringList{QStringLiteral("N.TXT|NOTES|2|検索語"), QStringLiteral("O.TXT|OTHER|1|検索語")},
         QStringLiteral("6 件（5 文書）")},
        // Newest first; each under the group it would open under.
        {Scope::History, {}, {folder + QStringLiteral("else/H.TXT||1|検索語"), QStringLiteral("N.TXT|NOTES|2|検索語")},
         QStringLiteral("2 件（2 文書）")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(group_documents::toSetting(c.scope).toStdString());
        search(QStringLiteral("検索語"), c.scope, c.group);
        EXPECT_EQ(found(), c.expected);
        EXPECT_EQ(summary(), c.summary);
    }
    // The list shows the line with the match, the group and the line number.
    const QTreeWidgetItem* first = list()->topLevelItem(0);
    EXPECT_EQ(first->text(0), QStringLiteral("H.TXT"));
    EXPECT_EQ(first->text(2), QStringLiteral("1"));
    EXPECT_EQ(first->text(3), QStringLiteral("履歴だけの検索語"));
    EXPECT_EQ(first->toolTip(0), folder + QStringLiteral("else/H.TXT"));
}

TEST_F(GroupSearchTest, ScopesWithoutDocumentsSaySoAndSearchNothing) {
    const auto startNow = [&](Scope scope) {
        setQuery(QStringLiteral("x"));
        gs().setScope(scope);
        gs().start();
        EXPECT_FALSE(gs().running());
        EXPECT_TRUE(gs().rows().isEmpty());
        return summary();
    };
    EXPECT_EQ(startNow(Scope::CurrentGroup), QStringLiteral("現在のグループがありません（文書をグループから開いてください）"));
    EXPECT_EQ(startNow(Scope::ChosenGroup), QStringLiteral("登録されたグループがありません"));
    EXPECT_EQ(startNow(Scope::AllGroups), QStringLiteral("登録されたグループがありません"));
    EXPECT_EQ(startNow(Scope::History), QStringLiteral("検索する文書がありません"));
    // A group of the document that is no longer registered.
    w().state().setLblGName(QStringLiteral("GONE"));
    EXPECT_EQ(startNow(Scope::CurrentGroup), QStringLiteral("グループ名認識エラー"));
    setQuery(QString());
    gs().start();
    EXPECT_EQ(summary(), QStringLiteral("検索する文字列を入力してください"));
}

TEST_F(GroupSearchTest, TheFindPanelsOptionsApply) {
    addInnerGroup(QStringLiteral("NOTES"), {QStringLiteral("N.TXT")});
    writeFile(path(QStringLiteral("N.TXT")),
              shiftJis(QStringLiteral("ｹﾝｻｸ語 です\r\nCase and case\r\n番号123件\r\nCasement\r\n")));
    const auto opts = [](bool matchCase, bool wholeWord, bool regex, bool width) {
        return search::Options{matchCase, wholeWord, regex, width};
    };
    const struct {
        QString pattern;
        search::Options options;
        QStringList matches;  // "line|match"
    } cases[] = {
        {QStringLiteral("けんさく語"), opts(false, false, false, true), {QStringLiteral("1|ｹﾝｻｸ語")}},
        {QStringLiteral("けんさく語"), opts(false, false, false, false), {}},
        {QStringLiteral("case"), opts(true, false, false, false), {QStringLiteral("2|case")}},
        {QStringLiteral("case"), opts(false, false, false, false),
         {QStringLiteral("2|Case"), QStringLiteral("2|case"), QStringLiteral("4|Case")}},
        {QStringLiteral("case"), opts(false, true, false, false), {QStringLiteral("2|Case"), QStringLiteral("2|case")}},
        {QStringLiteral("[0-9]+件"), opts(false, false, true, false), {QStringLiteral("3|123件")}},
        {QStringLiteral("[0-9]+件"), opts(false, false, false, false), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern.toStdString());
        search(c.pattern, Scope::ChosenGroup, QStringLiteral("NOTES"), c.options);
        QStringList matches;
        for (const GroupSearch::Row& r : gs().rows()) matches << QStringLiteral("%1|%2").arg(r.line).arg(r.text.mid(r.start, r.length));
        EXPECT_EQ(matches, c.matches);
    }
}

TEST_F(GroupSearchTest, ABadRegularExpressionGivesTheFindPanelsMessage) {
    addInnerGroup(QStringLiteral("NOTES"), {QStringLiteral("N.TXT")});
    writeFile(path(QStringLiteral("N.TXT")), "(x\r\n");
    search::Options regex;
    regex.regex = true;
    w().findReplace().setQuery(QStringLiteral("(x"), QString(), regex);
    w().findReplace().showFind();
    EXPECT_FALSE(w().findReplace().findNext());
    const QString panelNote = w().findReplace().note();
    ASSERT_TRUE(panelNote.startsWith(QStringLiteral("正規表現ｴﾗｰ: "))) << qPrintable(panelNote);

    setQuery(QStringLiteral("(x"), regex);
    gs().setScope(Scope::ChosenGroup, QStringLiteral("NOTES"));
    gs().start();
    EXPECT_EQ(summary(), panelNote);
    EXPECT_FALSE(gs().running());
    EXPECT_TRUE(gs().rows().isEmpty());
}

TEST_F(GroupSearchTest, DocumentsThatCannotBeReadAreListedWithTheReason) {
    addFolderGroup(QStringLiteral("WORK"), work);
    for (const char* f : {"A.TXT", "GONE.TXT", "SUB", "B.TXT"})
        w().registry().FileGroupSet(QStringLiteral("WORK"), QString::fromLatin1(f));
    writeFile(work + QStringLiteral("/A.TXT"), "hit\n");
    writeFile(work + QStringLiteral("/B.TXT"), "no\nhit\n");
    ASSERT_TRUE(QDir().mkpath(work + QStringLiteral("/SUB")));
    // A history entry that would reach outside the program folder.
    addToHistory(QStringLiteral("../A.TXT"));

    // The reason as the open gives it.
    const auto reason = [](const QString& file) {
        QByteArray unused;
        return readDocumentBytes(file, unused).error;
    };
    ASSERT_TRUE(reason(work + QStringLiteral("/GONE.TXT")).startsWith(work + QStringLiteral("/GONE.TXT: ファイルまたはフォルダが見つかりません")));
    search(QStringLiteral("hit"), Scope::ChosenGroup, QStringLiteral("WORK"));
    EXPECT_EQ(found(), (QStringList{
                           QStringLiteral("A.TXT|WORK|1|hit"),
                           QStringLiteral("GONE.TXT|WORK|0|") + reason(work + QStringLiteral("/GONE.TXT")),
                           QStringLiteral("SUB|WORK|0|") + reason(work + QStringLiteral("/SUB")),
                           QStringLiteral("B.TXT|WORK|2|hit"),
                       }));
    EXPECT_EQ(summary(), QStringLiteral("2 件（2 文書）、読めない文書 2"));

    search(QStringLiteral("hit"), Scope::History);
    EXPECT_EQ(found(), QStringList{QStringLiteral("../A.TXT||0|\"../A.TXT\" はﾌｫﾙﾀﾞの外を指すため開けません")});
    // Opening it does nothing: there is no file to open.
    const QStringList shown = prompter.shown;
    pressEnterOn(0);
    EXPECT_EQ(prompter.shown, shown);
    EXPECT_TRUE(w().state().LblFullName().isEmpty());
}

class HeldSearchTest : public GroupSearchTest {
protected:
    void SetUp() override {
        GroupSearchTest::SetUp();
        QStringList names;
        for (int i = 0; i < 30; ++i) {
            const QString name = QStringLiteral("D%1.TXT").arg(i, 2, 10, QLatin1Char('0'));
            writeFile(path(name), shiftJis(QStringLiteral("文書 %1 の検索語").arg(i)));
            names << name;
        }
        addInnerGroup(QStringLiteral("MANY"), names);
        // The worker waits after the first document until it is let go or
        // cancelled.
        // (The window's own pointer: the test's may be going while it waits.)
        GroupSearch* search = &gs();
        search->setWorkerHook([this, search](int document) {
            if (document != 0 || !hold) return;
            held = true;
            while (!release && !search->cancelRequested()) std::this_thread::yield();
        });
    }
    void startHeld(const QString& pattern) {
        setQuery(pattern);
        gs().setScope(Scope::ChosenGroup, QStringLiteral("MANY"));
        gs().start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return held.load(); }, kWaitMs));
        EXPECT_TRUE(gs().running());
    }
    std::atomic<bool> hold = true, held = false, release = false;
};

TEST_F(HeldSearchTest, CancelStopsTheSearchAndTheWindowStaysUsable) {
    const struct {
        const char* how;
        std::function<void(GroupSearchTest&)> cancel;
    } ways[] = {
        {"button", [](GroupSearchTest& t) { QTest::mouseClick(t.part<QPushButton>(QStringLiteral("BtnGrepCancel")), Qt::LeftButton); }},
        {"Esc", [](GroupSearchTest& t) { QTest::keyClick(t.part<QLineEdit>(QStringLiteral("EdtGrep")), Qt::Key_Escape); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        held = false;
        hold = true;
        gs().show();
        QSignalSpy ended(&gs(), &GroupSearch::finished);
        startHeld(QStringLiteral("検索語"));
        EXPECT_TRUE(part<QPushButton>(QStringLiteral("BtnGrepCancel"))->isEnabled());
        // The window answers while the worker is held: the progress so far.
        QApplication::processEvents();
        EXPECT_EQ(summary(), QStringLiteral("検索中... 0 / 30 文書"));
        EXPECT_EQ(part<QProgressBar>(QStringLiteral("PrbGrep"))->maximum(), 30);
        EXPECT_EQ(part<QProgressBar>(QStringLiteral("PrbGrep"))->value(), 0);
        way.cancel(*this);
        ASSERT_TRUE(QTest::qWaitFor([&] { return ended.count() > 0; }, kWaitMs));
        EXPECT_FALSE(gs().running());
        // Only the document held was handed over.
        EXPECT_EQ(found(), QStringList{QStringLiteral("D00.TXT|MANY|1|検索語")});
        EXPECT_EQ(summary(), QStringLiteral("中止しました: 1 件（1 文書）"));
        EXPECT_FALSE(part<QPushButton>(QStringLiteral("BtnGrepCancel"))->isEnabled());
        EXPECT_TRUE(gs().isVisible());

        hold = false;
        search(QStringLiteral("検索語"), Scope::ChosenGroup, QStringLiteral("MANY"));
        EXPECT_EQ(gs().rows().size(), 30);
        EXPECT_EQ(summary(), QStringLiteral("30 件（30 文書）"));
    }
}

TEST_F(HeldSearchTest, ClosingEitherWindowStopsTheWorker) {
    startHeld(QStringLiteral("検索語"));
    gs().close();
    EXPECT_FALSE(gs().running());
    EXPECT_EQ(summary(), QStringLiteral("中止しました: 0 件（0 文書）"));

    held = false;
    startHeld(QStringLiteral("検索語"));
    EXPECT_TRUE(requestClose());
    EXPECT_FALSE(gs().running());

    // And a window destroyed with its search running waits for it.
    held = false;
    startHeld(QStringLiteral("検索語"));
    window.reset();
}

class OpenHitTest : public GroupSearchTest {
protected:
    QString selected() { return soft_breaks::selectedText(memo()->textCursor()); }
};

TEST_F(OpenHitTest, AsksTheSaveQuestionThenSelectsTheMatchUnderItsGroup) {
    makeGroups();
    prompter.shown.clear();
    type(QStringLiteral("unsaved"));
    const QString titleBefore = title();
    search(QStringLiteral("検索語"), Scope::AllGroups);

    // Cancel leaves everything as it was.
    prompter.yesNoCancel.push_back(Answer::Cancel);
    pressEnterOn(rowOf(QStringLiteral("U8.TXT")));
    EXPECT_EQ(prompter.shown, QStringList{kSaveQuestion});
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("unsaved"));
    EXPECT_EQ(title(), titleBefore);
    EXPECT_TRUE(modified());

    // A double click, answered No: opened as the file list opens it.
    prompter.yesNoCancel.push_back(Answer::No);
    const QRect at = list()->visualItemRect(list()->topLevelItem(rowOf(QStringLiteral("U8.TXT"))));
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at.center());
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at.center());
    EXPECT_EQ(prompter.shown, (QStringList{kSaveQuestion, kSaveQuestion}));
    EXPECT_EQ(w().state().LblFullName(), work + QStringLiteral("/U8.TXT"));
    EXPECT_EQ(w().state().LblGName(), QStringLiteral("WORK"));
    EXPECT_EQ(w().state().GrdR.place(1), work + QStringLiteral("/U8.TXT"));
    EXPECT_FALSE(modified());
    EXPECT_EQ(selected(), QStringLiteral("検索語"));
    EXPECT_EQ(memo()->textCursor().blockNumber(), 2);
    EXPECT_EQ(memo()->textCursor().selectionStart(), 9);

    // An inner group's document, the second of the two hits in a rich text.
    pressEnterOn(rowOf(QStringLiteral("N.TXT")));
    EXPECT_EQ(w().state().LblFullName(), QStringLiteral("N.TXT"));
    EXPECT_EQ(w().state().LblGName(), QStringLiteral("NOTES"));
    EXPECT_EQ(selected(), QStringLiteral("検索語"));
    EXPECT_EQ(memo()->textCursor().selectionStart(), 6);
    pressEnterOn(rowOf(QStringLiteral("C.RTF")) + 1);
    EXPECT_EQ(selected(), QStringLiteral("検索語"));
    EXPECT_EQ(memo()->textCursor().selectionStart(), 4);
    EXPECT_TRUE(memo()->textCursor().charFormat().font().bold());
    EXPECT_EQ(prompter.shown.size(), 2);  // nothing modified since: no question

    // A document gone since the search: the usual open message, nothing changes.
    QFile::remove(path(QStringLiteral("O.TXT")));
    pressEnterOn(rowOf(QStringLiteral("O.TXT")));
    EXPECT_EQ(prompter.messages(), QStringList{QStringLiteral("\"") + path(QStringLiteral("O.TXT")) + QStringLiteral("\" が見つかりません")});
    EXPECT_EQ(w().state().LblFullName(), work + QStringLiteral("/C.RTF"));
}

TEST_F(OpenHitTest, FindsMatchesBeyondSoftParagraphEndsAndBeyondWhatIsLoaded) {
    // One line long enough to be shown in pieces, of numbered words so that
    // every word is found once; and a file long enough to go in in parts.
    QString line;
    for (int i = 0; line.size() < 3 * soft_breaks::kLongParagraph; ++i) line += QStringLiteral("w%1 ").arg(i, 5, 10, QLatin1Char('0'));
    const std::vector<int> cuts = soft_breaks::cuts(line);
    ASSERT_GE(cuts.size(), 2u);
    // Cut after a blank: each piece starts with a word.
    ASSERT_EQ(line[cuts[0]], u'w');
    ASSERT_EQ(line[cuts[1]], u'w');
    writeFile(path(QStringLiteral("LONG.TXT")), ("first\r\n" + line + "\r\nlast 検索語\r\n").toUtf8());
    QByteArray many;
    for (int i = 0; i < 5000; ++i) many += "line " + QByteArray::number(i) + "\r\n";
    many += "the end 検索語\r\n";
    writeFile(path(QStringLiteral("MANY.TXT")), many);
    addInnerGroup(QStringLiteral("BIG"), {QStringLiteral("LONG.TXT"), QStringLiteral("MANY.TXT")});

    const auto word = [&](int at) { return line.mid(at, 6); };
    const struct {
        QString pattern;
        QString document;
        int block;        // the editor's paragraph the match is in
        int inBlock;      // where in it
    } cases[] = {
        {word(0), QStringLiteral("LONG.TXT"), 1, 0},
        // The first word of the second and third piece: right after a soft end.
        {word(cuts[0]), QStringLiteral("LONG.TXT"), 2, 0},
        {word(cuts[1]), QStringLiteral("LONG.TXT"), 3, 0},
        // The last word before the second soft end.
        {word(cuts[1] - 7), QStringLiteral("LONG.TXT"), 2, cuts[1] - cuts[0] - 7},
        {QStringLiteral("last 検索語"), QStringLiteral("LONG.TXT"), int(cuts.size()) + 2, 0},
        {QStringLiteral("end 検索語"), QStringLiteral("MANY.TXT"), 5000, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern.toStdString());
        search(c.pattern, Scope::ChosenGroup, QStringLiteral("BIG"));
        ASSERT_EQ(gs().rows().size(), 1);
        EXPECT_EQ(gs().rows()[0].document, c.document);
        pressEnterOn(0);
        if (c.document == u"LONG.TXT") {
            EXPECT_EQ(soft_breaks::positions(*memo()->document()).size(), cuts.size());
        }
        EXPECT_EQ(selected(), c.pattern);
        const QTextCursor cursor = memo()->textCursor();
        EXPECT_EQ(memo()->document()->findBlock(cursor.selectionStart()).blockNumber(), c.block);
        EXPECT_EQ(cursor.selectionStart() - memo()->document()->findBlock(cursor.selectionStart()).position(), c.inBlock);
    }
}

TEST_F(GroupSearchTest, OpensFromTheKeyAndTheFindPanelWithItsPatternAndOptions) {
    showActive();
    search::Options o;
    o.widthInsensitive = true;
    o.wholeWord = true;
    w().findReplace().setQuery(QStringLiteral("かな"), QString(), o);
    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(gs().isVisible());
    EXPECT_EQ(gs().windowTitle(), QStringLiteral("グループ内を検索"));
    EXPECT_EQ(part<QLineEdit>(QStringLiteral("EdtGrep"))->text(), QStringLiteral("かな"));
    EXPECT_TRUE(part<QCheckBox>(QStringLiteral("CBGrepWidth"))->isChecked());
    EXPECT_TRUE(part<QCheckBox>(QStringLiteral("CBGrepWholeWord"))->isChecked());
    EXPECT_FALSE(part<QCheckBox>(QStringLiteral("CBGrepRegex"))->isChecked());
    EXPECT_EQ(part<QCheckBox>(QStringLiteral("CBGrepWidth"))->text(), find_text::kWidth);
    gs().close();

    o = {};
    o.matchCase = true;
    w().findReplace().setQuery(QStringLiteral("別"), QString(), o);
    w().findReplace().showFind();
    auto* button = widget<QPushButton>(QStringLiteral("BtnGroupSearch"));
    EXPECT_EQ(button->text(), QStringLiteral("グループ内を検索..."));
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(gs().isVisible());
    EXPECT_EQ(part<QLineEdit>(QStringLiteral("EdtGrep"))->text(), QStringLiteral("別"));
    EXPECT_TRUE(part<QCheckBox>(QStringLiteral("CBGrepMatchCase"))->isChecked());
    EXPECT_FALSE(part<QCheckBox>(QStringLiteral("CBGrepWidth"))->isChecked());

    // An empty find panel leaves what was typed in the window; a group
    // registered meanwhile is offered when the window is brought back.
    part<QLineEdit>(QStringLiteral("EdtGrep"))->setText(QStringLiteral("自分で入力"));
    w().findReplace().setQuery(QString(), QString(), {});
    auto* groups = part<QComboBox>(QStringLiteral("CmbGrepGroup"));
    EXPECT_EQ(groups->count(), 0);
    registerGroup(QStringLiteral("NEW"));
    showActive();
    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&gs()));
    EXPECT_EQ(part<QLineEdit>(QStringLiteral("EdtGrep"))->text(), QStringLiteral("自分で入力"));
    EXPECT_EQ(groups->count(), 1);
    EXPECT_EQ(groups->currentText(), QStringLiteral("NEW"));
    EXPECT_FALSE(groups->isEnabled());
    gs().setScope(Scope::ChosenGroup);
    EXPECT_TRUE(groups->isEnabled());
}

// The scope, the group picked and the window's size come back at the next
// start.
TEST_F(GroupSearchTest, TheScopeGroupAndSizeComeBackAtTheNextStart) {
    makeGroups();
    gs().setScope(Scope::ChosenGroup, QStringLiteral("NOTES"));
    gs().resize(720, 520);
    ASSERT_TRUE(requestClose());
    EXPECT_EQ(setting(ini::kTessarine, QStringLiteral("SearchGroup")).value, QStringLiteral("NOTES"));
    start();
    makeGroups();
    gs().showFromFindPanel();
    EXPECT_EQ(gs().scope(), Scope::ChosenGroup);
    EXPECT_EQ(part<QComboBox>(QStringLiteral("CmbGrepGroup"))->currentText(), QStringLiteral("NOTES"));
    EXPECT_EQ(gs().size(), QSize(720, 520));
}

} // namespace
} // namespace tess::testing
