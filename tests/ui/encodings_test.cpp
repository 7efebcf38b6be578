// Plain-text files in the encodings Japanese text comes in: opened as what
// they are, saved back the same way, shown in the status bar, and read again
// in another encoding on request.

#include "mainwindowfixture.h"

#include "core/caption.h"
#include "core/textencoding.h"

#include <QAction>
#include <QLabel>
#include <QTextCursor>

namespace tess::testing {
namespace {

using Answer = Prompter::Answer;

const QString kText = QStringLiteral("日本語のメモ\n二行目です。①ＡＢＣ\n");

struct EncodedFile {
    const char* label;
    text::Encoding encoding;
    QString lineEnd;
    QString status;
};

class EncodingTest : public MainWindowTest, public ::testing::WithParamInterface<EncodedFile> {};

TEST_P(EncodingTest, OpensAsWhatItIsAndSavesBackByteForByte) {
    const EncodedFile& f = GetParam();
    QString content = kText;
    content.replace(u'\n', f.lineEnd);
    const QByteArray bytes = text::encode(content, f.encoding);
    const QString file = path(QStringLiteral("DOC.TXT"));
    writeFile(file, bytes);

    start();
    prompter.openFiles.push_back(file);
    w().SpeedButton7Click();
    EXPECT_EQ(memo()->toPlainText(), kText);
    EXPECT_EQ(labelText(QStringLiteral("Panel11")), f.status);

    // Saved unchanged: the same bytes.  Saved after an edit: still its
    // encoding and line ends.
    w().SpeedButton1Click();
    EXPECT_EQ(readFile(file), bytes);
    memo()->moveCursor(QTextCursor::End);
    type(QStringLiteral("追記"));
    w().SpeedButton1Click();
    EXPECT_FALSE(modified());
    EXPECT_EQ(readFile(file), text::encode(content + QStringLiteral("追記"), f.encoding));

    // A quick-save exit and restart keep it for the next save.
    w().SpeedButton11Click();
    start();
    EXPECT_EQ(w().documentFormat(), (text::Format{f.encoding, text::detectLineEnd(content)}));
    EXPECT_EQ(labelText(QStringLiteral("Panel11")), f.status);
}

INSTANTIATE_TEST_SUITE_P(
    Files, EncodingTest,
    ::testing::Values(EncodedFile{"ShiftJisCrLf", text::Encoding::ShiftJis, "\r\n", "...Tessarine..."},
                      EncodedFile{"ShiftJisLf", text::Encoding::ShiftJis, "\n", "Shift-JIS / LF"},
                      EncodedFile{"Utf8Lf", text::Encoding::Utf8, "\n", "UTF-8 / LF"},
                      EncodedFile{"Utf8BomCrLf", text::Encoding::Utf8Bom, "\r\n", "UTF-8 (BOM) / CR+LF"},
                      EncodedFile{"EucJpLf", text::Encoding::EucJp, "\n", "EUC-JP / LF"},
                      EncodedFile{"JisCrLf", text::Encoding::Iso2022Jp, "\r\n", "JIS / CR+LF"},
                      EncodedFile{"Utf16LeCr", text::Encoding::Utf16Le, "\r", "UTF-16 LE / CR"}),
    [](const auto& info) { return std::string(info.param.label); });

// Byte forms real files come in, each opened as the text it is and saved
// unedited to the very same bytes.
struct ByteForm {
    const char* label;
    QByteArray bytes;
    QString text;
    QString status;
};

void PrintTo(const ByteForm& f, std::ostream* os) { *os << f.label; }

class ByteFormTest : public MainWindowTest, public ::testing::WithParamInterface<ByteForm> {};

TEST_P(ByteFormTest, OpensAsItsTextAndSavesUneditedToTheSameBytes) {
    const ByteForm& f = GetParam();
    const QString file = path(QStringLiteral("FORM.TXT"));
    writeFile(file, f.bytes);
    start();
    prompter.openFiles.push_back(file);
    w().SpeedButton7Click();
    EXPECT_EQ(memo()->toPlainText(), f.text);
    EXPECT_EQ(labelText(QStringLiteral("Panel11")), f.status);
    prompter.shown.clear();
    w().SpeedButton1Click();
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join(u'|').toStdString();
    EXPECT_EQ(readFile(file).toHex(' ').toStdString(), f.bytes.toHex(' ').toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ByteFormTest,
    ::testing::Values(
        ByteForm{"Utf8WithReplacementCharacter", "\xe3\x83\xa6\xe3\x83\xbc\xe3\x82\xb6\xe3\x83\xbc\xef\xbf\xbd\n",
                 QStringLiteral("ユーザー\uFFFD\n"), "UTF-8 / LF"},
        ByteForm{"Utf8AsciiWithReplacementCharacter", "a \xef\xbf\xbd b\r\n", QStringLiteral("a \uFFFD b\n"),
                 "UTF-8 / CR+LF"},
        ByteForm{"JisEndsInJapanese", "memo \x1b$B%a%b\x1b(B", QStringLiteral("memo メモ"), "JIS / CR+LF"},
        ByteForm{"JisEndsInJapaneseAndLineEnd", "\x1b$B%a%b\x1b(B\r\n", QStringLiteral("メモ\n"), "JIS / CR+LF"},
        ByteForm{"JisEndsInAscii", "\x1b$B%a%b\x1b(B memo", QStringLiteral("メモ memo"), "JIS / CR+LF"},
        ByteForm{"JisLastOfTwoLinesInJapanese", "a\n\x1b$B%a%b\x1b(B\nb \x1b$B%a\x1b(B",
                 QStringLiteral("a\nメモ\nb メ"), "JIS / LF"},
        ByteForm{"EucJpStandardCharacters", "\xa5\xe1\xa5\xe2 \xa1\xc1\xa1\xdd \x8f\xa2\xb7\n",
                 QStringLiteral("メモ \u301C\u2212 \uFF5E\n"), "EUC-JP / LF"},
        ByteForm{"JisStandardCharacters", "\x1b$B%a%b\x1b(B \x1b$B!A!]\x1b(B\r\n", QStringLiteral("メモ \u301C\u2212\n"),
                 "JIS / CR+LF"},
        ByteForm{"ShiftJisMixedLineEndsAndNecCode", "\x88\xea\n\x93\xf1\r\n\x87\x90\n", QStringLiteral("一\n二\n≒\n"),
                 "Shift-JIS / LF"},
        ByteForm{"Utf8WithStrayLatin1Byte", "\xe6\x97\xa5\xe6\x9c\xac caf\xe9\n", QStringLiteral("日本 caf\uFFFD\n"),
                 "UTF-8 / LF（不正なバイト 1 か所は元のまま保存します）"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(MainWindowTest, SaveAsAndNewDocumentsAreShiftJisWithCrLf) {
    const QString file = path(QStringLiteral("U.TXT"));
    writeFile(file, "utf-8 \xe3\x81\x82\n");
    start();
    prompter.openFiles.push_back(file);
    w().SpeedButton7Click();
    ASSERT_EQ(w().documentFormat().encoding, text::Encoding::Utf8);
    // What save-as does once it has a path.
    QString error;
    ASSERT_EQ(w().writeDocument(path(QStringLiteral("COPY.TXT")), &error), DocumentHost::WriteOutcome::Written);
    EXPECT_EQ(readFile(path(QStringLiteral("COPY.TXT"))), "utf-8 \x82\xa0\r\n");
    EXPECT_EQ(labelText(QStringLiteral("Panel11")), QStringLiteral("...Tessarine..."));

    prompter.openFiles.push_back(file);
    w().SpeedButton7Click();
    w().SpeedButton6Click();
    EXPECT_TRUE(w().documentFormat().isDefault());
}

TEST_F(MainWindowTest, ReopenInAnotherEncodingAsksFirstAndLosesNothingUnasked) {
    // EUC-JP bytes that the detection takes for what they are; the user
    // wants them read as Shift-JIS.
    const QString file = path(QStringLiteral("E.TXT"));
    const QByteArray bytes = text::encode(QStringLiteral("確認"), text::Encoding::EucJp);
    writeFile(file, bytes);
    start();
    prompter.openFiles.push_back(file);
    w().SpeedButton7Click();
    ASSERT_EQ(memo()->toPlainText(), QStringLiteral("確認"));
    type(QStringLiteral("x"));

    auto* reopen = widget<QLabel>(QStringLiteral("Panel11"))->findChild<QAction*>(QStringLiteral("reopen Shift-JIS"));
    ASSERT_NE(reopen, nullptr);
    prompter.shown.clear();
    prompter.yesNoCancel.push_back(Answer::Cancel);
    reopen->trigger();
    EXPECT_EQ(prompter.shown, QStringList{kSaveQuestion});
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("x確認"));

    prompter.yesNoCancel.push_back(Answer::No);
    reopen->trigger();
    EXPECT_EQ(memo()->toPlainText(), text::decode(bytes, text::Encoding::ShiftJis));
    EXPECT_EQ(w().documentFormat().encoding, text::Encoding::ShiftJis);
    EXPECT_FALSE(modified());
    EXPECT_EQ(readFile(file), bytes);

    // Characters the document's encoding cannot hold are asked about by name.
    w().SpeedButton6Click();
    prompter.openFiles.push_back(file);
    w().SpeedButton7Click();
    type(QStringLiteral("😀"));
    prompter.yesNo.push_back(false);
    w().SpeedButton1Click();
    EXPECT_TRUE(prompter.shown.last().startsWith(QStringLiteral("yesno: この文書には EUC-JP で保存できない文字 「😀」")))
        << prompter.shown.last().toStdString();
    EXPECT_EQ(readFile(file), bytes);
}

} // namespace
} // namespace tess::testing
