// Printed pages and PDF files: the text that comes back out of the PDF, the
// header and footer, the Japanese line-breaking rules, and the document left
// as it was.

#include "richtext/pages.h"

#include "testsupport.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QPdfWriter>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextLayout>

#include <cerrno>

namespace tess::pages {
namespace {

const QString kGothic = QStringLiteral("Noto Sans CJK JP");

QPageLayout a4() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 20, 20, 20),
                       QPageLayout::Millimeter);
}

QTextCharFormat japanese(qreal points = 12) {
    QTextCharFormat f;
    f.setFontFamilies({kGothic});
    f.setFontPointSize(points);
    return f;
}

// A document of `lines` paragraphs made from `line(i)`.
std::unique_ptr<QTextDocument> documentOf(int count, const std::function<QString(int)>& line) {
    auto doc = std::make_unique<QTextDocument>();
    doc->setDefaultFont(QFont(kGothic, 12));
    QTextCursor cursor(doc.get());
    for (int i = 0; i < count; ++i) {
        if (i) cursor.insertBlock();
        cursor.insertText(line(i), japanese());
    }
    doc->setModified(false);
    return doc;
}

class PdfTest : public test::PdfTextTest {
protected:
    // The PDF's text as pdftotext gives it, pages apart by form feeds.
    QString textOf(const QByteArray& pdfBytes) {
        const QString path = dir.filePath(QStringLiteral("out.pdf"));
        EXPECT_TRUE(test::writeBytes(path, pdfBytes));
        return test::pdftotext(path, {QStringLiteral("-enc"), QStringLiteral("UTF-8")});
    }
    static QString withoutSpace(QString s) { return s.remove(QRegularExpression(QStringLiteral("\\s"))); }
};

// Common kanji share their glyph with a radical of the same shape; the PDF
// must name them as the kanji (日, not ⽇).
const QString kParagraph =
    QStringLiteral("第%1段。日本の一人の大工が山と川と月を見て、戸口で「こんにちは」と言った（ちょっとだけ）。");

TEST_F(PdfTest, TextReadsBackInOrderAcrossPages) {
    const auto doc = documentOf(150, [](int i) { return kParagraph.arg(i + 1); });
    const QString text = textOf(pdf(*doc, a4(), pages::Setup{QStringLiteral("x"), false, false, false}));
    EXPECT_GE(text.count(u'\f'), 3) << "several pages";
    // Nothing lost, nothing added, nothing out of order.
    EXPECT_EQ(withoutSpace(text), withoutSpace(doc->toPlainText()));
}

TEST_F(PdfTest, OnlyThePagesAsked) {
    const auto doc = documentOf(150, [](int i) { return kParagraph.arg(i + 1); });
    const QString all = textOf(pdf(*doc, a4(), pages::Setup{QStringLiteral("x"), false, true, false}));
    const QStringList pages = all.split(u'\f', Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 3);
    QPageRanges ranges;
    ranges.addRange(2, 3);
    const QString some = textOf(pdf(*doc, a4(), pages::Setup{QStringLiteral("x"), false, true, false}, ranges));
    // The pages keep their numbers out of the whole count.
    EXPECT_EQ(some.split(u'\f', Qt::SkipEmptyParts), pages.mid(1, 2));
}

TEST_F(PdfTest, MixedFontsAndLatinReadBack) {
    auto doc = std::make_unique<QTextDocument>();
    QTextCursor cursor(doc.get());
    QTextCharFormat bold = japanese(20);
    bold.setFontWeight(QFont::Bold);
    bold.setForeground(Qt::red);
    QTextCharFormat mono = japanese(9);
    mono.setFontFamilies({QStringLiteral("Noto Sans Mono CJK JP")});
    mono.setFontUnderline(true);
    mono.setBackground(Qt::yellow);
    QTextCharFormat pixels;  // as the editor's own font: a size in pixels
    pixels.setFontFamilies({kGothic});
    pixels.setProperty(QTextFormat::FontPixelSize, 13);
    pixels.setFontStrikeOut(true);
    cursor.insertText(QStringLiteral("見出し日本"), bold);
    cursor.insertText(QStringLiteral("Latin text 123"), mono);
    cursor.insertBlock();
    // Digits after letters in a proportional face.
    cursor.insertText(QStringLiteral("取り消し線の人 report2026 v6.4"), pixels);
    const QString text = textOf(pdf(*doc, a4(), pages::Setup{QString(), false, false, false}));
    EXPECT_EQ(withoutSpace(text), withoutSpace(doc->toPlainText()));
}

TEST_F(PdfTest, HeaderAndFooterAsSwitched) {
    const auto doc = documentOf(120, [](int i) { return kParagraph.arg(i + 1); });
    const QString title = QStringLiteral("報告書report2026.rtf");
    struct Case {
        bool header, footer;
    };
    for (const Case c : {Case{true, true}, Case{true, false}, Case{false, true}, Case{false, false}}) {
        SCOPED_TRACE(testing::Message() << "header " << c.header << " footer " << c.footer);
        const QString text = textOf(pdf(*doc, a4(), pages::Setup{title, c.header, c.footer, false}));
        const QStringList pages = text.split(u'\f', Qt::SkipEmptyParts);
        ASSERT_GE(pages.size(), 2);
        const int count = int(pages.size());
        for (int i = 0; i < count; ++i) {
            const QStringList lines = pages[i].split(u'\n', Qt::SkipEmptyParts);
            ASSERT_FALSE(lines.isEmpty());
            EXPECT_EQ(lines.first().trimmed() == title, c.header) << lines.first().toStdString();
            // pdftotext does not keep the blanks around the slash.
            EXPECT_EQ(withoutSpace(lines.last()) == withoutSpace(footerText(i, count)), c.footer)
                << lines.last().toStdString();
        }
        EXPECT_EQ(footerText(count - 1, count), QStringLiteral("%1 / %1").arg(count));
    }
}

TEST_F(PdfTest, DocumentIsLeftAsItWas) {
    const auto doc = documentOf(40, [](int i) { return kParagraph.arg(i); });
    QTextCursor cursor(doc.get());
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::NextWord, QTextCursor::KeepAnchor);
    QTextCharFormat italic;
    italic.setFontItalic(true);
    italic.setProperty(QTextFormat::FontPixelSize, 13);
    cursor.mergeCharFormat(italic);
    doc->setModified(false);
    const auto runsBefore = test::runsOf(*doc);
    const QString textBefore = doc->toPlainText();
    const int revision = doc->revision();
    const bool undo = doc->isUndoAvailable();

    pdf(*doc, a4(), pages::Setup{QStringLiteral("t"), true, true, false});

    EXPECT_EQ(test::runsOf(*doc), runsBefore);
    EXPECT_EQ(doc->toPlainText(), textBefore);
    EXPECT_FALSE(doc->isModified());
    EXPECT_EQ(doc->revision(), revision);
    EXPECT_EQ(doc->isUndoAvailable(), undo);
    EXPECT_EQ(doc->begin().begin().fragment().charFormat().intProperty(QTextFormat::FontPixelSize), 13);
}

TEST_F(PdfTest, LinesOfThePdfKeepTheBreakingRules) {
    // Long paragraphs with marks everywhere, so that many fall at a line's end.
    const auto doc = documentOf(12, [](int i) {
        QString s;
        for (int k = 0; k < 12; ++k)
            s += QStringLiteral("%1「かぎ」、（括弧）。『二重』ちょっと・ー々ゃ【隅】〔亀〕").arg(QString(i + k + 1, u'あ'));
        return s;
    });
    const QString text = textOf(pdf(*doc, a4(), pages::Setup{QString(), false, false, false}));
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("[\\n\\f]")), Qt::SkipEmptyParts);
    ASSERT_GT(lines.size(), 40);
    for (const QString& line : lines) {
        EXPECT_TRUE(mayStartLine(line.front().unicode())) << line.toStdString();
        EXPECT_TRUE(mayEndLine(line.back().unicode())) << line.toStdString();
    }
}

// The number of pages `doc` takes on A4 at the PDF's resolution.
int pageCount(const QTextDocument& doc, const pages::Setup& setup = {}) {
    QBuffer sink;
    sink.open(QIODevice::WriteOnly);
    QPdfWriter writer(&sink);
    writer.setResolution(600);
    writer.setPageLayout(a4());
    const auto laid = layOut(doc, writer, printableArea(writer), setup);
    return laid ? laid->count() : -1;
}

// A stop after the second page: the pages so far, and no file at all.
TEST_F(PdfTest, AStopEndsThePagesAndWritesNothing) {
    const auto doc = documentOf(300, [](int i) { return kParagraph.arg(i); });
    QList<std::pair<int, int>> told;
    const auto stopAfterTwo = [&](int done, int count) {
        told.append({done, count});
        return done < 2;
    };
    const QString text = textOf(pdf(*doc, a4(), pages::Setup{QString(), false, true, false}, {}, stopAfterTwo));
    ASSERT_EQ(told.size(), 2);
    EXPECT_GT(told[1].second, 2);
    EXPECT_EQ(text.split(u'\f', Qt::SkipEmptyParts).size(), 2);

    const QString folder = dir.filePath(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QString error = QStringLiteral("stale");
    EXPECT_FALSE(writePdf(folder + QStringLiteral("/文書.pdf"), *doc, a4(), pages::Setup{}, &error, {},
                          [](int, int) { return false; }));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_TRUE(QDir(folder).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

TEST(Pages, TextTakesTheDocumentsFontWhereItsFormatSaysNothing) {
    // After a large heading every paragraph carries the heading's format as
    // its own; its text is still set in the document's font, as the editor
    // shows it.
    const auto plain = documentOf(300, [](int i) { return QStringLiteral("段落 %1").arg(i); });
    auto headed = std::make_unique<QTextDocument>();
    headed->setDefaultFont(QFont(kGothic, 12));
    QTextCursor cursor(headed.get());
    cursor.setBlockCharFormat(japanese(40));
    for (int i = 0; i < 300; ++i) {
        if (i) cursor.insertBlock(QTextBlockFormat(), japanese(40));
        cursor.insertText(QStringLiteral("段落 %1").arg(i), QTextCharFormat());
    }
    EXPECT_EQ(pageCount(*headed), pageCount(*plain));
    // An empty paragraph is as high as its own format.
    const auto empty = documentOf(300, [](int) { return QString(); });
    QTextCursor all(empty.get());
    all.select(QTextCursor::Document);
    all.mergeBlockCharFormat(japanese(40));
    EXPECT_GT(pageCount(*empty), pageCount(*plain) * 2);
}

TEST(Pages, EveryDocumentHasPagesWhateverTheLayoutAskedFor) {
    QTextDocument empty;
    const auto long_ = documentOf(400, [](int i) { return kParagraph.arg(i); });
    for (const bool vertical : {false, true}) {
        EXPECT_EQ(pageCount(empty, pages::Setup{QString(), true, true, vertical}), 1);
        EXPECT_GT(pageCount(*long_, pages::Setup{QString(), true, true, vertical}), 3);
    }
}

// Lays out `text` at `width` pixels with the program's rules; the lines.
QStringList linesOf(const QString& text, qreal width, QTextOption::WrapMode wrap) {
    QFont font(kGothic);
    font.setPixelSize(20);
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(wrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QStringList lines;
    for (QTextLine line = createLine(layout, width); line.isValid(); line = createLine(layout, width))
        lines << text.mid(line.textStart(), line.textLength());
    layout.endLayout();
    return lines;
}

TEST(LineBreaking, NoLineStartsOrEndsWithAForbiddenCharacter) {
    const QString text = QStringLiteral(
        "吾輩は猫である。名前はまだ無い。「どこで生れたか」とんと見当がつかぬ（何でも）。"
        "『薄暗い』じめじめした所でニャーニャー泣いていた事だけは記憶している・・・。"
        "【注】人々はちょっとだけ〔かつて〕ッキョ。ABC (test) word, end.");
    int checked = 0;
    for (const auto wrap : {QTextOption::WordWrap, QTextOption::WrapAtWordBoundaryOrAnywhere}) {
        // From six characters wide: the longest run without an allowed
        // break ("る・・・。") is five.
        for (qreal width = 120; width < 700; width += 7) {
            const QStringList lines = linesOf(text, width, wrap);
            EXPECT_EQ(lines.join(QString()), text) << "width " << width;
            for (qsizetype i = 1; i < lines.size(); ++i) {
                const QString previous = lines[i - 1].trimmed();
                EXPECT_TRUE(mayStartLine(lines[i].front().unicode()))
                    << width << ": " << lines[i].toStdString();
                EXPECT_TRUE(mayEndLine(previous.back().unicode())) << width << ": " << previous.toStdString();
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 500);
}

TEST(LineBreaking, ACharacterMovesDownWithTheMarkAfterIt) {
    // Ten ideographs fit; the mark after them would start the next line, so
    // the tenth goes down with it.
    const QString text = QStringLiteral("一二三四五六七八九十。十一");
    QFont font(kGothic);
    font.setPixelSize(20);
    const qreal tenWide = QFontMetricsF(font).horizontalAdvance(text.left(10)) + 1;
    const QStringList lines = linesOf(text, tenWide, QTextOption::WrapAtWordBoundaryOrAnywhere);
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("一二三四五六七八九"));
    EXPECT_EQ(lines[1].left(2), QStringLiteral("十。"));
}

TEST(Pages, SpreadsOfVerticalPagesReadRightToLeft) {
    // Side by side, the first page stands alone on the right and the rest
    // two by two from left to right: each pair goes out left page first.
    const std::pair<int, QList<int>> cases[] = {
        {0, {}}, {1, {0}}, {2, {0, 1}}, {3, {0, 2, 1}}, {4, {0, 2, 1, 3}}, {6, {0, 2, 1, 4, 3, 5}}};
    for (const auto& [count, order] : cases) EXPECT_EQ(spreadOrder(count), order) << count;
}

TEST(PdfTextMap, FixesKeepEveryEntryInPlace) {
    const QByteArray before =
        "stream <2F47>\n3 beginbfrange\n<0000> <0000> <0000>\n"
        "<0001> <0004> [<2F47> <0041> <2F3E> <0009> ]\n"
        "<0005> <0005> <2F00>\n"
        "<0006> <000F> <2F00>\n"
        "endbfrange\n<2F00>";
    QByteArray bytes = before;
    fixPdfText(bytes, {{u'\u2F47', u'日'}, {u'\u2F3E', u'戸'}, {u'\u2F00', u'一'}, {u'\t', u' '}});
    EXPECT_EQ(bytes.size(), before.size());
    EXPECT_EQ(bytes,
              QByteArray("stream <2F47>\n3 beginbfrange\n<0000> <0000> <0000>\n"
                         "<0001> <0004> [<65E5> <0041> <6238> <0020> ]\n"
                         "<0005> <0005> <4E00>\n"
                         // A range counting up from a code stays.
                         "<0006> <000F> <2F00>\n"
                         "endbfrange\n<2F00>"));
}

TEST(PdfTextMap, OnlyCharactersTheDocumentDoesNotHoldAreRenamed) {
    QTextDocument doc;
    doc.setDefaultFont(QFont(kGothic, 12));
    doc.setPlainText(QStringLiteral("日本の戸"));
    const auto fixes = sharedGlyphFixes(doc, doc.toPlainText());
    EXPECT_EQ(fixes.value(u'\u2F47'), u'日');
    EXPECT_EQ(fixes.value(u'\u2F3E'), u'戸');
    // A radical the document really holds keeps its name.
    doc.setPlainText(QStringLiteral("日と⽇"));
    EXPECT_FALSE(sharedGlyphFixes(doc, doc.toPlainText()).contains(u'\u2F47'));
}

} // namespace
} // namespace tess::pages
