// Start-up, the settings file, the quick-save exit and restore, and the close
// sequence of the main window.

#include "core/caption.h"
#include "core/systemerror.h"
#include "core/cp932.h"
#include "core/filenames.h"
#include "core/programfolder.h"
#include "core/quicklists.h"
#include "mainwindowfixture.h"

#include <QComboBox>
#include <QDate>
#include <QListWidget>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace tess::testing {
namespace {

using Answer = Prompter::Answer;

TEST_F(MainWindowTest, FirstRunOpensANewDocumentAtTheDesignBoundsWithoutAMessage) {
    start();
    EXPECT_EQ(title(), QStringLiteral("Tessarine  // NewFile"));
    EXPECT_TRUE(memo()->toPlainText().isEmpty());
    EXPECT_FALSE(modified());
    EXPECT_EQ(w().pos(), QPoint(130, 67));
    EXPECT_EQ(w().size(), QSize(656, 467));
    for (const char* name : {"PnlLst", "Panel4", "PnlASet", "PnlExp", "PnlCS"})
        EXPECT_FALSE(visible(QString::fromLatin1(name))) << name;
    EXPECT_TRUE(prompter.shown.isEmpty()) << qPrintable(prompter.shown.join(u'|'));
    EXPECT_FALSE(w().alarmOn());
    EXPECT_TRUE(w().state().LblQS.isEmpty());
    EXPECT_TRUE(w().state().LblUpdate.isEmpty());
    EXPECT_EQ(widget(QStringLiteral("PAL"))->toolTip(), QStringLiteral("現在：アラーム機能 OFF"));

    const std::pair<const char*, QString> labels[] = {
        {"Label1", QStringLiteral("1")},
        {"Label2", QStringLiteral("1")},
        {"LblAl", QString()},
        {"LblComma", QStringLiteral("：")},
        {"Label5", QStringLiteral("アラーム時間：")},
        {"Panel11", QStringLiteral("...Tessarine...")},
        {"Panel1", QStringLiteral("ﾌｧｲﾙﾘｽﾄ")},
        {"Panel5", QStringLiteral(" 指定ファイル プレビュー　　　　// クリックで終了")},
    };
    for (const auto& [name, text] : labels) EXPECT_EQ(labelText(QString::fromLatin1(name)), text) << name;

    // The explorer's grid, hidden with its panel, has its headings already.
    auto* grid = widget<QTableWidget>(QStringLiteral("Grd1"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->parentWidget(), widget(QStringLiteral("PnlExp")));
    EXPECT_EQ(grid->size(), QSize(252, 248));
    ASSERT_EQ(grid->columnCount(), 2);
    ASSERT_TRUE(grid->horizontalHeaderItem(0) && grid->horizontalHeaderItem(1));
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), QStringLiteral("ｶｳﾝﾄ"));
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), QStringLiteral("登録ﾌｧｲﾙ"));

    // The alarm lists, first entries selected.
    auto* hours = widget<QComboBox>(QStringLiteral("CBHor"));
    auto* minutes = widget<QComboBox>(QStringLiteral("CBMin"));
    ASSERT_EQ(hours->count(), 24);
    ASSERT_EQ(minutes->count(), 12);
    const std::pair<QComboBox*, std::pair<int, QString>> items[] = {
        {hours, {0, QStringLiteral("  0時")}},   {hours, {9, QStringLiteral("  9時")}},
        {hours, {10, QStringLiteral("10時")}},   {hours, {23, QStringLiteral("23時")}},
        {minutes, {0, QStringLiteral("00分")}},  {minutes, {1, QStringLiteral("05分")}},
        {minutes, {11, QStringLiteral("55分")}},
    };
    for (const auto& [combo, item] : items) EXPECT_EQ(combo->itemText(item.first), item.second);
    EXPECT_EQ(hours->currentIndex(), 0);
    EXPECT_EQ(minutes->currentIndex(), 0);

    // The clock labels show the date and time of the start.
    const QString date = labelText(QStringLiteral("LblDate"));
    EXPECT_TRUE(date == QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd")) ||
                date == QDate::currentDate().addDays(-1).toString(QStringLiteral("yyyy/MM/dd")));
    const QRegularExpression twoDigits(QStringLiteral("^[0-9][0-9]$"));
    EXPECT_TRUE(twoDigits.match(labelText(QStringLiteral("LblHor"))).hasMatch());
    EXPECT_TRUE(twoDigits.match(labelText(QStringLiteral("LblMin"))).hasMatch());
}

TEST_F(MainWindowTest, FirstCloseWritesEveryKeyOfTheSettingsFile) {
    start();
    ASSERT_TRUE(requestClose());
    const std::pair<std::array<const char*, 2>, QString> expected[] = {
        {{"System", "PAL"}, QStringLiteral("Raise")},     {{"System", "ALHor"}, QStringLiteral("0")},
        {{"System", "ALMin"}, QStringLiteral("0")},       {{"System", "PLWidth"}, QStringLiteral("85")},
        {{"System", "PPHeight"}, QStringLiteral("82")},   {{"FrmTSMain", "Top"}, QStringLiteral("67")},
        {{"FrmTSMain", "Left"}, QStringLiteral("130")},   {{"FrmTSMain", "Height"}, QStringLiteral("467")},
        {{"FrmTSMain", "Width"}, QStringLiteral("656")},  {{"GroupFiles", "Files"}, QStringLiteral("non")},
        {{"OpendFile", "Count"}, QStringLiteral("0")},    {{"QuickSave", "System"}, QStringLiteral("OFF")},
    };
    for (const auto& [key, value] : expected)
        EXPECT_EQ(setting(QString::fromLatin1(key[0]), QString::fromLatin1(key[1])).value, value)
            << key[0] << "/" << key[1];
    // The quick-save record and its files belong to the quick-save exit only.
    EXPECT_FALSE(setting(ini::kQuickSave, ini::kModified).found);
    EXPECT_EQ(snapshot().keys(), QStringList{QStringLiteral("tessarine.ini")});
    EXPECT_TRUE(prompter.shown.isEmpty());
}

struct CloseCase {
    const char* name;
    bool named;  // the document has a path
    Answer answer;
    bool closes, documentWritten;
};
void PrintTo(const CloseCase& c, std::ostream* os) { *os << c.name; }

class CloseQuestion : public MainWindowTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseQuestion, ModifiedDocumentAsksAndFollowsTheAnswer) {
    const CloseCase& c = GetParam();
    writeSettings({{{ini::kSystem, ini::kPLWidth, QStringLiteral("120")}}});
    start();
    if (c.named) nameDocument(QStringLiteral("NOTE.TXT"));
    type(QStringLiteral("変更した"));
    const auto before = snapshot();
    prompter.yesNoCancel.push_back(c.answer);

    EXPECT_EQ(requestClose(), c.closes);
    EXPECT_EQ(prompter.shown.first(), kSaveQuestion);
    EXPECT_EQ(QFile::exists(path(QStringLiteral("NOTE.TXT"))), c.documentWritten);
    if (c.documentWritten) {
        EXPECT_EQ(readFile(path(QStringLiteral("NOTE.TXT"))), cp932::encode(u"変更した"));
    }
    if (!c.closes) {
        // A refused close writes nothing at all.
        EXPECT_EQ(snapshot(), before);
        EXPECT_TRUE(modified());
        EXPECT_EQ(memo()->toPlainText(), QStringLiteral("変更した"));
    } else {
        EXPECT_EQ(setting(ini::kQuickSave, ini::kQSSystem).value, QStringLiteral("OFF"));
    }
    if (!c.named && c.answer == Answer::Yes) {
        EXPECT_TRUE(prompter.shown.contains(QStringLiteral("saveas")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, CloseQuestion,
    ::testing::Values(CloseCase{"CancelKeepsEverything", true, Answer::Cancel, false, false},
                      CloseCase{"NoClosesWithoutSaving", true, Answer::No, true, false},
                      CloseCase{"YesSavesThenCloses", true, Answer::Yes, true, true},
                      CloseCase{"YesWithoutPathAndSaveAsLeftRefuses", false, Answer::Yes, false, false}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return info.param.name; });

// A quick-save exit with a modified, formatted document, the history in the
// list and a preview, and everything as it was at the next start.
TEST_F(MainWindowTest, QuickSaveExitAndRestoreRoundTrip) {
    start();
    QTextCursor c(memo()->document());
    c.insertText(QStringLiteral("普通の行\n"));
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("太字"), bold);
    nameDocument(QStringLiteral("NOTE.RTF"));
    w().state().GrdR.RirekiSet(QStringLiteral("OTHER.TXT"));
    w().PGFClick();
    w().state().setLblGName(QStringLiteral("仕事"));
    w().RirekiSet();
    w().MarkClean();
    type(QStringLiteral("追記"));
    const QString savedTitle = title();
    ASSERT_EQ(savedTitle, QStringLiteral("Tessarine  // 仕事 / NOTE.RTF (更新)"));
    widget(QStringLiteral("Panel4"))->show();
    widget<QPlainTextEdit>(QStringLiteral("Memo2"))->setPlainText(QStringLiteral("プレビューの本文"));
    widget<QLabel>(QStringLiteral("Panel5"))->setText(QStringLiteral("OTHER.TXT の見出し"));
    w().state().LblCS1 = flag::kSet;
    const QStringList history{QStringLiteral("NOTE.RTF"), QStringLiteral("OTHER.TXT")};

    widget<QToolButton>(QStringLiteral("SpeedButton11"))->click();
    EXPECT_TRUE(prompter.shown.isEmpty()) << "the quick-save exit asks nothing";
    EXPECT_EQ(setting(ini::kQuickSave, ini::kQSSystem).value, QStringLiteral("ON"));
    EXPECT_EQ(setting(ini::kQuickSave, ini::kModified).value, QStringLiteral("True"));
    EXPECT_EQ(readQuickLists(path(files::kQuickLists)).entries, history);
    EXPECT_TRUE(readFile(path(files::kQuickSave)).startsWith("{\\rtf"));

    start();
    EXPECT_TRUE(prompter.shown.isEmpty()) << qPrintable(prompter.shown.join(u'|'));
    EXPECT_EQ(title(), savedTitle);
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("普通の行\n太字追記"));
    const QTextBlock second = memo()->document()->findBlockByNumber(1);
    EXPECT_EQ(second.begin().fragment().charFormat().fontWeight(), QFont::Bold);
    EXPECT_TRUE(modified());
    EXPECT_EQ(labelText(QStringLiteral("Panel1")), QStringLiteral("ﾌｧｲﾙ使用履歴"));
    auto* list = widget<QListWidget>(QStringLiteral("PanelPass"));
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), history[0]);
    EXPECT_EQ(list->item(1)->text(), history[1]);
    EXPECT_EQ(labelText(QStringLiteral("Panel5")), QStringLiteral("OTHER.TXT の見出し"));
    EXPECT_EQ(widget<QPlainTextEdit>(QStringLiteral("Memo2"))->toPlainText(), QStringLiteral("プレビューの本文"));
    EXPECT_TRUE(visible(QStringLiteral("PnlLst")));
    EXPECT_TRUE(visible(QStringLiteral("Panel4")));
    EXPECT_EQ(w().state().LblGName(), QStringLiteral("仕事"));
    EXPECT_EQ(w().state().LblFName(), QStringLiteral("NOTE.RTF"));
    EXPECT_EQ(w().state().LblFullName(), QStringLiteral("NOTE.RTF"));
    EXPECT_EQ(w().state().LblCS1, flag::kSet);
    EXPECT_TRUE(w().state().LblQS.isEmpty());
    EXPECT_EQ(w().state().GrdR.entries(), history);

    // Typing adds no second marker.
    type(QStringLiteral("!"));
    EXPECT_EQ(title(), savedTitle);

    // A normal exit asks again and writes "OFF"; the old record stays.
    prompter.yesNoCancel.push_back(Answer::No);
    EXPECT_TRUE(requestClose());
    EXPECT_EQ(prompter.shown, QStringList{kSaveQuestion});
    EXPECT_EQ(setting(ini::kQuickSave, ini::kQSSystem).value, QStringLiteral("OFF"));
    EXPECT_EQ(setting(ini::kQuickSave, ini::kMainFormCaption).value, savedTitle);

    prompter.shown.clear();
    start();
    EXPECT_EQ(title(), QStringLiteral("Tessarine  // NewFile"));
    EXPECT_TRUE(memo()->toPlainText().isEmpty());
    EXPECT_FALSE(visible(QStringLiteral("PnlLst")));
    EXPECT_FALSE(visible(QStringLiteral("Panel4")));
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(MainWindowTest, UnmodifiedQuickSaveComesBackCleanAndTheNextEditMarksIt) {
    start();
    type(QStringLiteral("保存済み"));
    w().state().setLblFullName(QStringLiteral("A.TXT"));
    w().RirekiSet();
    w().MarkClean();
    w().SpeedButton11Click();
    EXPECT_EQ(setting(ini::kQuickSave, ini::kModified).value, QStringLiteral("False"));
    EXPECT_EQ(setting(ini::kQuickSave, ini::kListVisible).value, QStringLiteral("False"));

    start();
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("保存済み"));
    EXPECT_FALSE(modified());
    EXPECT_EQ(title(), QStringLiteral("Tessarine  // [ｸﾞﾙｰﾌﾟなし] / A.TXT"));
    type(QStringLiteral("x"));
    EXPECT_EQ(title(), QStringLiteral("Tessarine  // [ｸﾞﾙｰﾌﾟなし] / A.TXT (更新)"));
}

// A record whose caption and modified flag disagree (edited by hand, or
// from another version) comes back with the marker the flag calls for.
TEST_F(MainWindowTest, RestoredMarkerFollowsTheRestoredFlag) {
    const QString plain = QStringLiteral("Tessarine  // [ｸﾞﾙｰﾌﾟなし] / A.TXT");
    for (const bool flagged : {true, false}) {
        SCOPED_TRACE(flagged);
        start();
        type(QStringLiteral("本文"));
        w().SpeedButton11Click();
        writeSettings({{ini::kQuickSave, ini::kModified, flagged ? ini::kTrue : ini::kFalse},
                       {ini::kQuickSave, ini::kMainFormCaption, flagged ? plain : plain + caption::kModifiedMarker}});
        start();
        EXPECT_EQ(modified(), flagged);
        EXPECT_EQ(title(), flagged ? plain + caption::kModifiedMarker : plain);
    }
}

TEST_F(MainWindowTest, OnlyTheExactOnFlagStartsARestore) {
    writeSettings({{{ini::kQuickSave, ini::kQSSystem, QStringLiteral("on")}},
                   {{ini::kQuickSave, ini::kMainFormCaption, QStringLiteral("Tessarine  // X / Y")}}});
    start();
    EXPECT_EQ(title(), QStringLiteral("Tessarine  // NewFile"));
    EXPECT_TRUE(prompter.shown.isEmpty());
}

// After a quick-save exit one thing goes wrong before the next start: each is
// reported with its own text, naming the file.  The document comes back
// unless its own file is gone (then it starts as a new one); the list only
// when its file is sound.
TEST_F(MainWindowTest, DamagedQuickSaveIsReportedAndTheRestoreGoesAsFarAsItCan) {
    QFile absent(path(QStringLiteral("absent")));
    ASSERT_FALSE(absent.open(QIODevice::ReadOnly));
    const struct {
        const char* name;
        std::function<void()> damage;
        QStringList messages, errors;
        QString text;
        int listed;
    } cases[] = {
        {"list file missing", [&] { QFile::remove(path(files::kQuickLists)); },
         {QStringLiteral("ｸｲｯｸｾｰﾌﾞのﾘｽﾄﾌｧｲﾙ \"QuickList\" が見つかりません")}, {}, QStringLiteral("本文"), 0},
        {"document file missing", [&] { QFile::remove(path(files::kQuickSave)); },
         {}, {path(files::kQuickSave) + QStringLiteral(": ") + systemErrorText(absent.errorString())}, QString(), 1},
        {"preview file missing", [&] { QFile::remove(path(files::kQuickPrevew)); },
         {}, {path(files::kQuickPrevew) + QStringLiteral(": ") + systemErrorText(absent.errorString())}, QStringLiteral("本文"), 1},
        {"list count not a number", [&] { writeFile(path(files::kQuickLists), "two\r\nA\r\nB\r\n"); },
         {}, {QStringLiteral("ｸｲｯｸｾｰﾌﾞのﾘｽﾄﾌｧｲﾙ \"QuickLists\" の件数 \"two\" は整数ではありません")},
         QStringLiteral("本文"), 0},
        {"list count too large", [&] { writeFile(path(files::kQuickLists), "2147483647\r\nA\r\n"); },
         {}, {QStringLiteral("ｸｲｯｸｾｰﾌﾞのﾘｽﾄﾌｧｲﾙ \"QuickLists\" の件数 \"2147483647\" は大きすぎます（ﾌｧｲﾙには 1 行しかありません）")},
         QStringLiteral("本文"), 0},
        {"bad number in the settings", [&] { writeSettings({{{ini::kSystem, ini::kALHor, QStringLiteral("abc")}}}); },
         {}, {badNumberMessage("tessarine.ini", ini::kSystem, ini::kALHor, QStringLiteral("abc"))}, QStringLiteral("本文"), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString& file : snapshot().keys()) QFile::remove(path(file));
        start();
        w().state().setLblFullName(QStringLiteral("A.TXT"));
        w().RirekiSet();
        w().PGFClick();
        type(QStringLiteral("本文"));
        w().SpeedButton11Click();
        c.damage();
        prompter.shown.clear();
        start();
        EXPECT_EQ(prompter.messages(), c.messages);
        EXPECT_EQ(prompter.errors(), c.errors);
        EXPECT_EQ(memo()->toPlainText(), c.text);
        EXPECT_EQ(widget<QListWidget>(QStringLiteral("PanelPass"))->count(), c.listed);
        EXPECT_TRUE(w().state().LblQS.isEmpty());
        if (!c.text.isEmpty()) {
            EXPECT_TRUE(title().endsWith(caption::kModifiedMarker));
        } else {
            EXPECT_EQ(title(), caption::kNewFile);
            EXPECT_EQ(w().state().LblFullName(), QString());
        }
    }
}

// A record without its text starts as a new document: the next save must not
// replace the real document with an empty editor, and the window must not
// stay in its start-up state.
TEST_F(MainWindowTest, RestoreWithoutItsTextStartsAsANewDocument) {
    const QString named = QStringLiteral("Tessarine  // [ｸﾞﾙｰﾌﾟなし] / A.TXT");
    writeFile(path(QStringLiteral("A.TXT")), "the real document");
    for (const QString& caption : {named + caption::kModifiedMarker, named}) {
        SCOPED_TRACE(caption.toStdString());
        // No "QuickSave" file beside the record.
        writeSettings({{{ini::kQuickSave, ini::kQSSystem, flag::kOn}},
                       {{ini::kQuickSave, ini::kModified, ini::kTrue}},
                       {{ini::kQuickSave, ini::kMainFormCaption, caption}},
                       {{ini::kQuickSave, ini::kFileName, QStringLiteral("A.TXT")}},
                       {{ini::kQuickSave, ini::kFilePath, QStringLiteral("A.TXT")}}});
        prompter.shown.clear();
        start();
        ASSERT_FALSE(prompter.errors().isEmpty());
        EXPECT_TRUE(prompter.errors().first().startsWith(path(files::kQuickSave) + QStringLiteral(": ")));
        EXPECT_TRUE(w().state().LblQS.isEmpty());
        EXPECT_EQ(w().state().LblFullName(), QString());
        EXPECT_EQ(title(), caption::kNewFile);
        type(QStringLiteral("x"));
        EXPECT_EQ(title(), caption::kNewFile + caption::kModifiedMarker);
        // A save goes to the save-as dialog, not over A.TXT.
        w().SpeedButton1Click();
        EXPECT_EQ(prompter.shown.last(), QStringLiteral("saveas"));
        EXPECT_EQ(readFile(path(QStringLiteral("A.TXT"))), "the real document");
        prompter.yesNoCancel.push_back(Answer::Cancel);
        EXPECT_FALSE(requestClose());
        EXPECT_EQ(prompter.shown.last(), kSaveQuestion);
    }
}

struct BadSetting {
    const char* name;
    QString section, key;
};
void PrintTo(const BadSetting& b, std::ostream* os) { *os << b.name; }

class NonIntegerSetting : public MainWindowTest, public ::testing::WithParamInterface<BadSetting> {};

// Reported once with its own text and skipped; the settings after it, the
// group flag and the history above all, still apply and survive the next close.
TEST_P(NonIntegerSetting, IsReportedAndSkipped) {
    const BadSetting& b = GetParam();
    writeSettings({{{ini::kSystem, ini::kPAL, ini::kLower}},
                   {{ini::kSystem, ini::kPLWidth, QStringLiteral("140")}},
                   {{ini::kGroupFiles, ini::kFiles, flag::kStoreWritten}},
                   {{ini::kOpendFile, ini::kCount, QStringLiteral("1")}},
                   {{ini::kOpendFile, QStringLiteral("Opend1"), QStringLiteral("A.TXT")}},
                   {{b.section, b.key, QStringLiteral("abc")}}});
    start();
    EXPECT_EQ(prompter.errors(), QStringList{badNumberMessage("tessarine.ini", b.section, b.key, QStringLiteral("abc"))});
    EXPECT_TRUE(w().alarmOn());
    EXPECT_EQ(w().listWidth(), b.key == ini::kPLWidth ? 85 : 140);
    EXPECT_EQ(w().state().LblGF, QStringLiteral("o"));
    // Even a bad count keeps the history: the present rows are read.
    EXPECT_EQ(w().state().GrdR.entries(), QStringList{QStringLiteral("A.TXT")});
    EXPECT_EQ(title(), QStringLiteral("Tessarine  // NewFile"));
    EXPECT_TRUE(w().state().LblQS.isEmpty());
    type(QStringLiteral("still works"));
    EXPECT_EQ(title(), QStringLiteral("Tessarine  // NewFile (更新)"));

    // A clean document closes without a question (the prompter fails on one).
    w().MarkClean();
    ASSERT_TRUE(requestClose());
    EXPECT_EQ(setting(ini::kOpendFile, ini::kCount).value, QStringLiteral("1"));
    EXPECT_EQ(setting(ini::kOpendFile, QStringLiteral("Opend1")).value, QStringLiteral("A.TXT"));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, NonIntegerSetting,
    ::testing::Values(BadSetting{"ALHor", ini::kSystem, ini::kALHor}, BadSetting{"ALMin", ini::kSystem, ini::kALMin},
                      BadSetting{"PLWidth", ini::kSystem, ini::kPLWidth},
                      BadSetting{"PPHeight", ini::kSystem, ini::kPPHeight},
                      BadSetting{"Top", ini::kFrmTSMain, ini::kTop}, BadSetting{"Left", ini::kFrmTSMain, ini::kLeft},
                      BadSetting{"Height", ini::kFrmTSMain, ini::kHeight},
                      BadSetting{"Width", ini::kFrmTSMain, ini::kWidth},
                      BadSetting{"Count", ini::kOpendFile, ini::kCount}),
    [](const ::testing::TestParamInfo<BadSetting>& info) { return info.param.name; });

// Settings under the executable's own name; the per-user folder keeps the
// lower-case program name whatever the title.
TEST_F(MainWindowTest, SettingsFileAndUserFolderNames) {
    writeSettings({{{ini::kSystem, ini::kPAL, ini::kLower}}});
    ASSERT_TRUE(QFile::rename(settingsPath(), path(QStringLiteral("renamed.ini"))));
    window = std::make_unique<TfrmTSMain>(prompter, folder, PathStyle::posix(), nullptr,
                                          settingsFileName(QStringLiteral("renamed")));
    EXPECT_TRUE(w().alarmOn());
    ASSERT_TRUE(requestClose());
    EXPECT_EQ(snapshot().keys(), QStringList{QStringLiteral("renamed.ini")});

    ASSERT_EQ(QApplication::applicationName(), QStringLiteral("Tessarine"));
    EXPECT_EQ(userDataFolder(),
              QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                  QStringLiteral("/tessarine"));
    const QString fallback = folder + QStringLiteral("user");
    EXPECT_EQ(resolveProgramFolder(folder + QStringLiteral("missing"), PathStyle::posix(), fallback),
              fallback + u'/');
    EXPECT_TRUE(QFileInfo(fallback).isDir());
}

TEST_F(MainWindowTest, SettingsAreAppliedAtStart) {
    writeSettings({{{ini::kSystem, ini::kPAL, ini::kLower}}, {{ini::kSystem, ini::kALHor, QStringLiteral("7")}},
                   {{ini::kSystem, ini::kALMin, QStringLiteral("6")}},
                   {{ini::kSystem, ini::kPLWidth, QStringLiteral("140")}},
                   {{ini::kSystem, ini::kPPHeight, QStringLiteral("120")}},
                   {{ini::kFrmTSMain, ini::kTop, QStringLiteral("40")}}, {{ini::kFrmTSMain, ini::kLeft, QStringLiteral("50")}},
                   {{ini::kFrmTSMain, ini::kHeight, QStringLiteral("500")}},
                   {{ini::kFrmTSMain, ini::kWidth, QStringLiteral("700")}},
                   {{ini::kGroupFiles, ini::kFiles, QStringLiteral("o")}}, {{ini::kOpendFile, ini::kCount, QStringLiteral("2")}},
                   {{ini::kOpendFile, QStringLiteral("Opend1"), QStringLiteral("A.TXT")}},
                   {{ini::kOpendFile, QStringLiteral("Opend2"), QStringLiteral("/tmp/B.RTF")}},
                   {{ini::kOpendFile, QStringLiteral("Opend3"), QStringLiteral("C.TXT")}}});
    start();
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_TRUE(w().alarmOn());
    EXPECT_EQ(labelText(QStringLiteral("LblAl")), QStringLiteral("A"));
    EXPECT_EQ(widget(QStringLiteral("PAL"))->toolTip(), QStringLiteral("現在：アラーム機能 ON"));
    EXPECT_EQ(widget<QComboBox>(QStringLiteral("CBHor"))->currentText(), QStringLiteral("  7時"));
    EXPECT_EQ(widget<QComboBox>(QStringLiteral("CBMin"))->currentText(), QStringLiteral("30分"));
    EXPECT_EQ(w().listWidth(), 140);
    EXPECT_EQ(w().previewHeight(), 120);
    EXPECT_EQ(w().geometry(), QRect(50, 40, 700, 500));
    EXPECT_EQ(w().state().LblGF, QStringLiteral("o"));
    EXPECT_EQ(w().state().GrdR.entries(), (QStringList{QStringLiteral("A.TXT"), QStringLiteral("/tmp/B.RTF")}));

    // Shown panels take the stored sizes.
    w().PGFClick();
    widget(QStringLiteral("Panel4"))->show();
    EXPECT_EQ(widget(QStringLiteral("PnlLst"))->width(), 140);
    EXPECT_EQ(widget(QStringLiteral("Panel4"))->height(), 120);

    ASSERT_TRUE(requestClose());
    EXPECT_EQ(setting(ini::kSystem, ini::kPAL).value, QStringLiteral("Lower"));
    EXPECT_EQ(setting(ini::kSystem, ini::kALMin).value, QStringLiteral("6"));
    EXPECT_EQ(setting(ini::kOpendFile, ini::kCount).value, QStringLiteral("2"));
    EXPECT_EQ(setting(ini::kOpendFile, QStringLiteral("Opend2")).value, QStringLiteral("/tmp/B.RTF"));
}

TEST_F(MainWindowTest, BoundsOffEveryScreenComeBackToTheDesignPlace) {
    writeSettings({{{ini::kFrmTSMain, ini::kTop, QStringLiteral("-5000")}},
                   {{ini::kFrmTSMain, ini::kLeft, QStringLiteral("-5000")}},
                   {{ini::kFrmTSMain, ini::kWidth, QStringLiteral("600")}}});
    start();
    const QPoint screenOrigin = QGuiApplication::primaryScreen()->availableGeometry().topLeft();
    EXPECT_EQ(w().pos(), screenOrigin + QPoint(130, 67));
    EXPECT_EQ(w().width(), 600);
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(MainWindowTest, AlarmSwitchNeedsExactlyLowerAndAnIndexOutsideTheListSelectsNothing) {
    writeSettings({{{ini::kSystem, ini::kPAL, QStringLiteral("lower")}},
                   {{ini::kSystem, ini::kALHor, QStringLiteral("24")}}});
    start();
    EXPECT_FALSE(w().alarmOn());
    EXPECT_EQ(widget<QComboBox>(QStringLiteral("CBHor"))->currentIndex(), -1);
    ASSERT_TRUE(requestClose());
    EXPECT_EQ(setting(ini::kSystem, ini::kPAL).value, QStringLiteral("Raise"));
    EXPECT_EQ(setting(ini::kSystem, ini::kALHor).value, QStringLiteral("-1"));
}

TEST_F(MainWindowTest, MaximisedCloseKeepsTheLastNormalBounds) {
    start();
    w().setGeometry(200, 150, 700, 500);
    ASSERT_TRUE(requestClose());
    start();
    w().show();
    w().setWindowState(Qt::WindowMaximized);
    QApplication::processEvents();
    ASSERT_TRUE(requestClose());
    for (const auto& [key, value] : {std::pair{ini::kTop, "150"}, {ini::kLeft, "200"}, {ini::kHeight, "500"},
                                     {ini::kWidth, "700"}})
        EXPECT_EQ(setting(ini::kFrmTSMain, key).value, QString::fromLatin1(value)) << qPrintable(key);
}

TEST_F(MainWindowTest, GroupStoreIsWrittenOnlyWhileAGroupIsRegistered) {
    writeFile(path(files::kGroupStore), "old store");
    start();
    ASSERT_TRUE(requestClose());
    EXPECT_EQ(setting(ini::kGroupFiles, ini::kFiles).value, QStringLiteral("non"));
    EXPECT_EQ(readFile(path(files::kGroupStore)), QByteArray("old store"));

    start();
    registerGroup(QStringLiteral("G"));
    // Trailing empty rows of the file table go at close.
    w().registry().GrdGF().setRowCount(6);
    w().registry().GrdGF().setCell(0, 2, QStringLiteral("A.TXT"));
    ASSERT_TRUE(requestClose());
    EXPECT_EQ(setting(ini::kGroupFiles, ini::kFiles).value, QStringLiteral("o"));
    EXPECT_EQ(w().registry().GrdGF().rowCount(), 3);
    EXPECT_NE(readFile(path(files::kGroupStore)), QByteArray("old store"));
}

TEST_F(MainWindowTest, HistoryOfFiftyIsWrittenWhole) {
    start();
    for (int i = 50; i >= 1; --i) {
        w().state().setLblFullName(QStringLiteral("F%1.TXT").arg(i));
        w().RirekiSet();
    }
    ASSERT_TRUE(requestClose());
    EXPECT_EQ(setting(ini::kOpendFile, ini::kCount).value, QStringLiteral("50"));
    EXPECT_EQ(setting(ini::kOpendFile, QStringLiteral("Opend1")).value, QStringLiteral("F1.TXT"));
    EXPECT_EQ(setting(ini::kOpendFile, QStringLiteral("Opend50")).value, QStringLiteral("F50.TXT"));
}

TEST_F(MainWindowTest, ActivationTimerEmptiesThePickerMarkerAndActivationHidesThePicker) {
    start();
    auto* timer = w().findChild<QTimer*>(QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isSingleShot());
    EXPECT_EQ(timer->interval(), 1000);
    EXPECT_TRUE(timer->isActive()) << "runs once from creation";

    QWidget picker(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    w().setGroupPicker(&picker);
    picker.show();
    w().state().L1 = flag::kPickerOpened;
    showActive();
    EXPECT_FALSE(picker.isVisible());
    EXPECT_EQ(w().state().L1, flag::kPickerClosed);
    EXPECT_TRUE(timer->isActive());
    timer->setInterval(10);
    timer->start();
    QTest::qWait(60);
    EXPECT_TRUE(w().state().L1.isEmpty());
}

// An answered log-off query spares only the close that follows it; when the
// log-off goes no further, the next activation or edit ends that.
TEST_F(MainWindowTest, AnsweredSessionQueryCoversOnlyTheCloseThatFollows) {
    start();
    type(QStringLiteral("draft"));
    prompter.yesNoCancel.push_back(Answer::No);
    ASSERT_TRUE(w().sessionQuery(true));
    EXPECT_TRUE(requestClose());
    EXPECT_EQ(prompter.shown, QStringList{kSaveQuestion});

    start();
    type(QStringLiteral("draft"));
    prompter.yesNoCancel = {Answer::No, Answer::Cancel, Answer::No, Answer::Cancel};
    ASSERT_TRUE(w().sessionQuery(true));
    showActive();
    EXPECT_FALSE(requestClose());
    ASSERT_TRUE(w().sessionQuery(true));
    type(QStringLiteral("more"));
    EXPECT_FALSE(requestClose());
    EXPECT_EQ(prompter.shown, QStringList(5, kSaveQuestion));
}

TEST_F(MainWindowTest, SessionQueryWithoutLeaveToAskQuickSavesForThatLogOffOnly) {
    start();
    type(QStringLiteral("draft"));
    ASSERT_TRUE(w().sessionQuery(false));
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_EQ(setting(ini::kQuickSave, ini::kQSSystem).value, QStringLiteral("ON"));
    EXPECT_EQ(w().state().LblQS, flag::kOn);

    // The log-off was cancelled elsewhere and the user comes back.
    showActive();
    EXPECT_TRUE(w().state().LblQS.isEmpty());
    prompter.yesNoCancel.push_back(Answer::Cancel);
    EXPECT_FALSE(requestClose());
    EXPECT_EQ(prompter.shown, QStringList{kSaveQuestion});
}

} // namespace
} // namespace tess::testing
