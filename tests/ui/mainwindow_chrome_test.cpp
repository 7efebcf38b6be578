// The main window's layout, the editor font dialog, the cursor position
// display and the window buttons.

#include "mainwindow/fonts.h"
#include "mainwindow/openfilter.h"
#include "mainwindowfixture.h"

#include <QLabel>
#include <QMouseEvent>
#include <QListWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QToolButton>

namespace tess::testing {
namespace {

struct ToolButton {
    const char* name;
    QString hint;
    QSize size;
};

TEST_F(MainWindowTest, ToolColumnHoldsItsButtonsInOrderWithTheirHints) {
    start();
    const QSize big(25, 25), small(25, 14);
    const ToolButton column[] = {
        {"SpeedButton6", QStringLiteral("新規作成"), big},
        {"SpeedButton7", QStringLiteral("ファイルを開く"), big},
        {"SB1", QStringLiteral("グループからファイルを開く"), big},
        {"SpeedButton5", QStringLiteral("ﾌｧｲﾙの使用履歴"), big},
        {"SpeedButton1", QStringLiteral("上書き保存"), big},
        {"SpeedButton8", QStringLiteral("名前を付けて保存"), big},
        {"SB9", QString(), small},
        {"SpeedButton13", QString(), small},
        {"SpeedButton4", QStringLiteral("グループの登録と解除"), big},
        {"SpeedButton3", QStringLiteral("ｸﾞﾙｰﾌﾟﾌｧｲﾙ ｴｸｽﾌﾟﾛｰﾗ"), big},
        {"SpeedButton2", QStringLiteral("ｴﾃﾞｨﾀﾌｫﾝﾄ変更"), big},
        {"PAL", QStringLiteral("現在：アラーム機能 OFF"), big},
        {"SpeedButton9", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"), big},
    };
    int lastBottom = 0;
    for (const ToolButton& b : column) {
        QWidget* button = widget(QString::fromLatin1(b.name));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->toolTip(), b.hint) << b.name;
        EXPECT_EQ(button->size(), b.size) << b.name;
        EXPECT_EQ(button->parentWidget()->objectName(), QStringLiteral("Panel9")) << b.name;
        EXPECT_GE(button->y(), lastBottom) << b.name << " is out of order";
        lastBottom = button->geometry().bottom() + 1;
    }
    // Everything fits in the smallest window.
    EXPECT_LE(lastBottom, 314);

    auto* clip1 = widget<QToolButton>(QStringLiteral("SB9"));
    EXPECT_EQ(clip1->text(), QStringLiteral("CS1"));
    EXPECT_EQ(clip1->palette().color(QPalette::ButtonText), QColor(0, 128, 0));
    EXPECT_TRUE(clip1->font().bold());
    auto* clip2 = widget<QToolButton>(QStringLiteral("SpeedButton13"));
    EXPECT_EQ(clip2->text(), QStringLiteral("CS2"));
    EXPECT_EQ(clip2->palette().color(QPalette::ButtonText), QColor(128, 0, 128));

    for (const char* separator : {"Bevel3", "Bevel1", "Bevel2", "Bevel4", "Bevel8"})
        EXPECT_EQ(widget(QString::fromLatin1(separator))->parentWidget()->objectName(),
                  QStringLiteral("Panel9"));
}

TEST_F(MainWindowTest, WindowStripClientAreaAndFloatingPanelsHaveTheirPlaces) {
    start();
    w().show();
    const struct {
        const char* name;
        QString text;
        QString hint;
    } strip[] = {{"SpeedButton11", QString(), QStringLiteral("状況保存終了")},
                 {"SpeedButton10", QString(), QString()},
                 {"SpeedButton19", QStringLiteral("⇔"), QString()},
                 {"SpeedButton12", QStringLiteral("-"), QString()}};
    for (const auto& s : strip) {
        auto* b = widget<QToolButton>(QString::fromLatin1(s.name));
        EXPECT_EQ(b->size(), QSize(15, 15)) << s.name;
        EXPECT_EQ(b->text(), s.text) << s.name;
        EXPECT_EQ(b->toolTip(), s.hint) << s.name;
        EXPECT_FALSE(b->autoRaise()) << s.name;
        EXPECT_EQ(b->parentWidget()->objectName(), QStringLiteral("Panel10"));
    }
    const auto expectPlaces = [&](std::initializer_list<std::pair<const char*, QRect>> places) {
        for (const auto& [name, rect] : places)
            EXPECT_EQ(widget(QString::fromLatin1(name))->geometry(), rect) << name;
    };
    expectPlaces({{"Panel9", QRect(0, 0, 49, 467)},
                  {"Panel11", QRect(49, 453, 607, 14)},
                  {"Panel8", QRect(0, 0, 607, 453)},
                  {"PnlASet", QRect(49, 260, 186, 48)},
                  {"PnlExp", QRect(50, 30, 273, 413)},
                  {"PnlCS", QRect(49, 76, 297, 208)}});
    const std::pair<const char*, int> widths[] = {{"Panel10", 20}, {"Panel16", 127}, {"Label1", 59},
                                                  {"Label2", 59},  {"LblAl", 10},    {"LblComma", 8},
                                                  {"Label3", 6}};
    for (const auto& [name, width] : widths) EXPECT_EQ(widget(QString::fromLatin1(name))->width(), width) << name;
    EXPECT_EQ(widget(QStringLiteral("Image2"))->size(), QSize(18, 300));
    // Right end, left to right: date, space, hour, colon, minute, alarm mark.
    const char* order[] = {"LblDate", "Label3", "LblHor", "LblComma", "LblMin", "LblAl"};
    for (size_t i = 1; i < std::size(order); ++i)
        EXPECT_EQ(widget(QString::fromLatin1(order[i - 1]))->geometry().right() + 1,
                  widget(QString::fromLatin1(order[i]))->x()) << order[i];
    EXPECT_EQ(widget(QStringLiteral("LblAl"))->geometry().right(), 605);
    const QFont bar = widget(QStringLiteral("Panel11"))->font();
    EXPECT_EQ(bar.family(), fonts::kMsPGothic);
    EXPECT_EQ(bar.pixelSize(), 12);
    EXPECT_TRUE(bar.bold());

    // With both panels shown: list, splitter, preview over splitter over editor.
    w().PGFClick();
    widget(QStringLiteral("Panel4"))->show();
    expectPlaces({{"PnlLst", QRect(0, 0, 85, 453)},
                  {"Splitter1", QRect(85, 0, 3, 453)},
                  {"Panel4", QRect(88, 0, 519, 82)},
                  {"Splitter2", QRect(88, 82, 519, 3)},
                  {"Panel8", QRect(88, 85, 519, 368)}});
    EXPECT_EQ(widget(QStringLiteral("Panel1"))->height(), 17);
    EXPECT_EQ(widget(QStringLiteral("Panel5"))->height(), 17);
    EXPECT_EQ(memo()->font().family(), QStringLiteral("FixedSys"));
    EXPECT_EQ(memo()->font().pixelSize(), 13);
    EXPECT_TRUE(widget<QPlainTextEdit>(QStringLiteral("Memo2"))->isReadOnly());

    // Clicks on the headings hide their panels; the strip above the editor toggles the list.
    QTest::mouseClick(widget(QStringLiteral("Panel5")), Qt::LeftButton);
    EXPECT_FALSE(widget(QStringLiteral("Panel4"))->isVisible());
    QTest::mouseClick(widget(QStringLiteral("Panel1")), Qt::LeftButton);
    EXPECT_FALSE(widget(QStringLiteral("PnlLst"))->isVisible());
    QTest::mouseClick(widget(QStringLiteral("Panel15")), Qt::LeftButton);
    EXPECT_TRUE(widget(QStringLiteral("PnlLst"))->isVisible());
    EXPECT_EQ(widget(QStringLiteral("Panel8"))->geometry(), QRect(88, 0, 519, 453));
}

TEST_F(MainWindowTest, ShrinkingStopsAtTheMinimumAndTheCollapsedColumnLowersIt) {
    start();
    w().resize(300, 200);
    EXPECT_EQ(w().size(), QSize(490, 314));

    auto* collapse = widget<QToolButton>(QStringLiteral("SpeedButton19"));
    collapse->click();
    EXPECT_EQ(w().toolColumnWidth(), 22);
    EXPECT_EQ(widget(QStringLiteral("Panel9"))->width(), 22);
    w().resize(100, 100);
    EXPECT_EQ(w().size(), QSize(220, 314));
    collapse->click();
    EXPECT_EQ(w().toolColumnWidth(), 49);
    EXPECT_EQ(w().width(), 490);
}

// Drags a splitter by `delta` pixels in its direction with the left button
// held, in steps as a mouse moves.
void drag(QWidget* splitter, QPoint delta) {
    // The bar moves under the mouse: screen positions are what stay put.
    const QPoint start = splitter->mapToGlobal(splitter->rect().center());
    const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        QMouseEvent e(type, splitter->mapFromGlobal(at), at, Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(splitter, &e);
    };
    send(QEvent::MouseButtonPress, start, Qt::LeftButton);
    for (int step = 1; step <= 4; ++step) send(QEvent::MouseMove, start + delta * step / 4, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, start + delta, Qt::NoButton);
}

// Neither a drag past the window's edge nor a stored size takes the editor
// away: it keeps a usable room, and a drag back always moves the splitter.
TEST_F(MainWindowTest, SplittersLeaveTheEditorUsableRoomAndAlwaysDragBack) {
    start();
    w().PGFClick();
    widget(QStringLiteral("Panel4"))->show();
    QWidget* editorArea = widget(QStringLiteral("Panel8"));
    QWidget* list = widget(QStringLiteral("PnlLst"));
    QWidget* preview = widget(QStringLiteral("Panel4"));

    drag(widget(QStringLiteral("Splitter1")), QPoint(5000, 0));
    drag(widget(QStringLiteral("Splitter2")), QPoint(0, 5000));
    EXPECT_GE(editorArea->width(), 100);
    EXPECT_GE(editorArea->height(), 100);
    const int wide = list->width();
    drag(widget(QStringLiteral("Splitter1")), QPoint(-40, 0));
    EXPECT_EQ(list->width(), wide - 40);
    const int tall = preview->height();
    drag(widget(QStringLiteral("Splitter2")), QPoint(0, -40));
    EXPECT_EQ(preview->height(), tall - 40);

    // The other way, the panels keep a grip to drag.
    drag(widget(QStringLiteral("Splitter1")), QPoint(-5000, 0));
    drag(widget(QStringLiteral("Splitter2")), QPoint(0, -5000));
    EXPECT_EQ(list->width(), 30);
    EXPECT_EQ(preview->height(), 30);
    drag(widget(QStringLiteral("Splitter1")), QPoint(10, 0));
    EXPECT_EQ(list->width(), 40);

    // Sizes stored past either end come back bounded, and are stored so.
    const std::pair<const char*, const char*> stored[] = {{"99999", "99999"}, {"-500", "-500"}};
    for (const auto& [width, height] : stored) {
        SCOPED_TRACE(width);
        writeSettings({{ini::kSystem, ini::kPLWidth, QString::fromLatin1(width)},
                       {ini::kSystem, ini::kPPHeight, QString::fromLatin1(height)}});
        start();
        w().PGFClick();
        widget(QStringLiteral("Panel4"))->show();
        EXPECT_GE(widget(QStringLiteral("Panel8"))->width(), 100);
        EXPECT_GE(widget(QStringLiteral("Panel8"))->height(), 100);
        EXPECT_GE(widget(QStringLiteral("PnlLst"))->width(), 30);
        // The preview's heading, which closes it, stays in reach.
        EXPECT_GE(widget(QStringLiteral("Panel4"))->height(), widget(QStringLiteral("Panel5"))->height());
        ASSERT_TRUE(requestClose());
        EXPECT_EQ(setting(ini::kSystem, ini::kPLWidth).value, QString::number(widget(QStringLiteral("PnlLst"))->width()));
    }
}

TEST_F(MainWindowTest, CornerAndMinimiseButtons) {
    start();
    w().show();
    w().move(300, 200);
    const QSize size = w().size();
    widget<QToolButton>(QStringLiteral("SpeedButton10"))->click();
    EXPECT_EQ(w().pos(), QPoint(0, 0));
    EXPECT_EQ(w().size(), size);
    widget<QToolButton>(QStringLiteral("SpeedButton12"))->click();
    EXPECT_TRUE(w().windowState() & Qt::WindowMinimized);
    widget<QToolButton>(QStringLiteral("SpeedButton9"))->click();
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("about")});
}

TEST_F(MainWindowTest, FontDialogSetsEveryAttributeOnTheSelectionOnly) {
    start();
    type(QStringLiteral("abcdef"));
    QTextCursor c = memo()->textCursor();
    c.setPosition(1);
    c.setPosition(4, QTextCursor::KeepAnchor);
    memo()->setTextCursor(c);

    QFont chosen(QStringLiteral("DejaVu Serif"));
    chosen.setPointSize(20);
    chosen.setBold(true);
    chosen.setItalic(true);
    chosen.setUnderline(true);
    chosen.setStrikeOut(true);
    prompter.fonts.push_back(Prompter::FontChoice{chosen, QColor(255, 0, 0)});
    widget<QToolButton>(QStringLiteral("SpeedButton2"))->click();
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("font")});

    const auto formatAt = [&](int position) {
        QTextCursor probe(memo()->document());
        probe.setPosition(position + 1);  // the format of the character before
        return probe.charFormat();
    };
    for (int i = 1; i < 4; ++i) {
        const QTextCharFormat f = formatAt(i);
        EXPECT_EQ(f.fontFamilies().toStringList(), QStringList{QStringLiteral("DejaVu Serif")}) << i;
        EXPECT_EQ(f.fontPointSize(), 20) << i;
        EXPECT_EQ(f.foreground().color(), QColor(255, 0, 0)) << i;
        EXPECT_EQ(f.fontWeight(), QFont::Bold) << i;
        EXPECT_TRUE(f.fontItalic()) << i;
        EXPECT_TRUE(f.fontUnderline()) << i;
        EXPECT_TRUE(f.fontStrikeOut()) << i;
    }
    for (int i : {0, 4, 5}) {
        const QTextCharFormat f = formatAt(i);
        EXPECT_FALSE(f.fontItalic()) << i;
        EXPECT_NE(f.fontWeight(), QFont::Bold) << i;
    }
}

TEST_F(MainWindowTest, CursorPositionCountsDisplayLinesAndShowsTheSelectionStart) {
    start();
    w().show();
    auto* line = widget<QLabel>(QStringLiteral("Label2"));
    auto* column = widget<QLabel>(QStringLiteral("Label1"));
    QTextCursor c = memo()->textCursor();
    const auto at = [&](int anchor, int position) {
        c.setPosition(anchor);
        c.setPosition(position, QTextCursor::KeepAnchor);
        memo()->setTextCursor(c);
        return std::pair{line->text(), column->text()};
    };
    using Shown = std::pair<QString, QString>;
    type(QStringLiteral("first line\nsecond"));
    EXPECT_EQ(at(0, 0), Shown(QStringLiteral("1"), QStringLiteral("1")));
    EXPECT_EQ(at(13, 13), Shown(QStringLiteral("2"), QStringLiteral("3")));  // "sec|ond"
    // A selection extended forwards shows where it starts.
    EXPECT_EQ(at(2, 14), Shown(QStringLiteral("1"), QStringLiteral("3")));

    // A paragraph that wraps counts as several lines.
    memo()->clear();
    type(QString(400, QLatin1Char('x')));
    QApplication::processEvents();
    const QTextBlock block = memo()->document()->begin();
    ASSERT_GT(block.layout()->lineCount(), 1);
    const int secondLine = block.layout()->lineAt(1).textStart();
    EXPECT_EQ(at(secondLine, secondLine), Shown(QStringLiteral("2"), QStringLiteral("1")));
    EXPECT_EQ(at(secondLine + 4, secondLine + 4), Shown(QStringLiteral("2"), QStringLiteral("5")));
    // The paragraph after it starts below all of its display lines.
    const int wrapped = block.layout()->lineCount();
    at(400, 400);
    type(QStringLiteral("\nnext"));
    QApplication::processEvents();
    EXPECT_EQ(at(402, 402), Shown(QString::number(wrapped + 1), QStringLiteral("2")));
}

// Edits above the caret move its display line, however many lines a
// paragraph wraps into after them.
TEST_F(MainWindowTest, CursorLineFollowsEditsAbove) {
    start();
    w().show();
    auto* line = widget<QLabel>(QStringLiteral("Label2"));
    type(QStringLiteral("a\nb\nc"));
    memo()->moveCursor(QTextCursor::End);
    EXPECT_EQ(line->text(), QStringLiteral("3"));

    // The first paragraph grows until it wraps: the caret stays in "c".
    QTextCursor first(memo()->document());
    first.insertText(QString(600, QLatin1Char('x')));
    QApplication::processEvents();
    const int wrapped = memo()->document()->begin().layout()->lineCount();
    ASSERT_GT(wrapped, 1);
    memo()->moveCursor(QTextCursor::End);
    EXPECT_EQ(line->text(), QString::number(wrapped + 2));

    // Removing the paragraphs above brings it back to the first line.
    QTextCursor above(memo()->document());
    above.setPosition(memo()->document()->lastBlock().position(), QTextCursor::KeepAnchor);
    above.removeSelectedText();
    QApplication::processEvents();
    memo()->moveCursor(QTextCursor::End);
    EXPECT_EQ(line->text(), QStringLiteral("1"));
    EXPECT_EQ(labelText(QStringLiteral("Label1")), QStringLiteral("2"));
}

// Sizes, colours, backgrounds and families side by side in one line, one of
// them set through the font dialog, come back from an ".RTF" save and open.
TEST_F(MainWindowTest, MixedFormatsSurviveTheFontDialogASaveAndAnOpen) {
    start();
    w().show();
    QTextCursor c(memo()->document());
    QTextCharFormat big, marked, serif;
    big.setFontPointSize(20);
    marked.setBackground(QColor(255, 255, 0));
    marked.setForeground(QColor(0, 128, 0));
    serif.setFontFamilies({QStringLiteral("DejaVu Serif")});
    c.insertText(QStringLiteral("大きい"), big);
    c.insertText(QStringLiteral("蛍光"), marked);
    c.insertText(QStringLiteral("serif"), serif);
    c.insertText(QStringLiteral("普通"), QTextCharFormat());
    c.setPosition(0);
    c.setPosition(2, QTextCursor::KeepAnchor);
    memo()->setTextCursor(c);
    QFont chosen(QStringLiteral("DejaVu Sans"));
    chosen.setPointSize(9);
    chosen.setBold(true);
    prompter.fonts.push_back(Prompter::FontChoice{chosen, QColor(200, 0, 0)});
    w().SpeedButton2Click();

    // What each character looks like: family, size in points (the editor's
    // own pixel size is written as the points it shows as), colours, weight.
    const auto looks = [this] {
        QStringList out;
        const QTextDocument* doc = memo()->document();
        const QFont base = doc->defaultFont();
        for (int i = 1; i < doc->characterCount(); ++i) {
            QTextCursor probe(const_cast<QTextDocument*>(doc));
            probe.setPosition(i);
            const QTextCharFormat f = probe.charFormat();
            const QFont font = f.font().resolve(base);
            out << QStringLiteral("%1 %2 %3 %4 %5")
                       .arg(font.family())
                       .arg(qRound(font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75))
                       .arg(f.foreground().style() == Qt::NoBrush ? QStringLiteral("-") : f.foreground().color().name())
                       .arg(f.background().style() == Qt::NoBrush ? QStringLiteral("-") : f.background().color().name())
                       .arg(font.bold());
        }
        return out;
    };
    const QStringList before = looks();
    ASSERT_EQ(before.size(), 12);
    // The dialog changed the first two characters only.
    EXPECT_EQ(before[0], QStringLiteral("DejaVu Sans 9 #c80000 - 1"));
    EXPECT_EQ(before[1], before[0]);
    EXPECT_TRUE(before[2].contains(QStringLiteral(" 20 "))) << before[2].toStdString();

    const QString file = path(QStringLiteral("MIXED.RTF"));
    nameDocument(file, QStringLiteral("MIXED.RTF"));
    w().SpeedButton1Click();
    ASSERT_FALSE(modified());
    w().SpeedButton6Click();
    prompter.openFiles.push_back(file);
    w().SpeedButton7Click();
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("大きい蛍光serif普通"));
    EXPECT_EQ(looks(), before);
}

// Records what the font dialog is opened with.
class FontProbe : public ScriptedPrompter {
public:
    std::optional<FontChoice> initial;
    std::optional<FontChoice> chooseFont(const FontChoice& start) override {
        initial = start;
        return ScriptedPrompter::chooseFont(start);
    }
};

// The dialog opens on the selection's attributes; cancelled, it changes
// nothing and gives the focus back to the editor.
TEST_F(MainWindowTest, FontDialogOpensWithTheAttributesOfTheSelection) {
    FontProbe probe;
    start(&probe);
    showActive();
    QPlainTextEdit* memo = this->memo();
    QTextCursor c(memo->document());
    c.insertText(QStringLiteral("plain "));
    QTextCharFormat marked;
    marked.setFontFamilies(QStringList{QStringLiteral("DejaVu Serif")});
    marked.setFontPointSize(18);
    marked.setFontItalic(true);
    marked.setFontUnderline(true);
    marked.setForeground(QColor(0, 0, 255));
    c.insertText(QStringLiteral("marked"), marked);
    c.setPosition(7);
    c.setPosition(10, QTextCursor::KeepAnchor);
    memo->setTextCursor(c);

    widget(QStringLiteral("SpeedButton2"))->setFocus();
    probe.fonts.push_back(std::nullopt);
    w().SpeedButton2Click();
    EXPECT_TRUE(memo->hasFocus());
    ASSERT_TRUE(probe.initial.has_value());
    EXPECT_EQ(probe.initial->font.family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(probe.initial->font.pointSizeF(), 18);
    EXPECT_TRUE(probe.initial->font.italic());
    EXPECT_TRUE(probe.initial->font.underline());
    EXPECT_FALSE(probe.initial->font.bold());
    EXPECT_EQ(probe.initial->colour, QColor(0, 0, 255));

    // Plain text offers the editor's own font, its size in points.
    c.setPosition(0);
    c.setPosition(5, QTextCursor::KeepAnchor);
    memo->setTextCursor(c);
    probe.fonts.push_back(std::nullopt);
    w().SpeedButton2Click();
    EXPECT_EQ(probe.initial->font.family(), QStringLiteral("FixedSys"));
    EXPECT_GT(probe.initial->font.pointSizeF(), 0);
    EXPECT_FALSE(probe.initial->font.italic());
    QTextCursor after(memo->document());
    after.setPosition(2);
    EXPECT_FALSE(after.charFormat().hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_FALSE(after.charFormat().fontItalic());
}

TEST(OpenFilter, PipeFormBecomesQtFiltersOfThePathStyle) {
    // POSIX names keep their case, so the patterns take the lower-case
    // endings as well; the captions stay as they are.
    const struct {
        const char* name;
        PathStyle style;
        QString filter;
        QStringList expected;
    } cases[] = {
        {"windows", PathStyle::windows(), main_text::kOpenFilter,
         {QStringLiteral("ﾃｷｽﾄﾌｧｲﾙ(*.TXT) (*.TXT)"), QStringLiteral("ﾘｯﾁﾃｷｽﾄﾌｧｲﾙ(*.RTF) (*.RTF)"),
          QStringLiteral("全てのﾌｧｲﾙ (*)")}},
        {"posix", PathStyle::posix(), main_text::kOpenFilter,
         {QStringLiteral("ﾃｷｽﾄﾌｧｲﾙ(*.TXT) (*.TXT *.txt)"),
          QStringLiteral("ﾘｯﾁﾃｷｽﾄﾌｧｲﾙ(*.RTF) (*.RTF *.rtf)"), QStringLiteral("全てのﾌｧｲﾙ (*)")}},
        {"windows several", PathStyle::windows(), QStringLiteral("Docs|*.TXT;*.RTF|Dangling"),
         {QStringLiteral("Docs (*.TXT *.RTF)")}},
        {"posix several", PathStyle::posix(), QStringLiteral("Docs|*.TXT;*.rtf|Dangling"),
         {QStringLiteral("Docs (*.TXT *.rtf *.txt)")}},
        {"posix empty", PathStyle::posix(), QString(), {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toQtFilters(c.filter, c.style), c.expected) << c.name;
}

} // namespace
} // namespace tess::testing
