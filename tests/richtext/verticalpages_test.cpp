// Vertical writing on printed pages: the rules a column follows, and PDF
// files read back with pdftotext to see where each character landed.

#include "testsupport.h"

#include "richtext/pages.h"
#include "richtext/softbreaks.h"
#include "richtext/verticalpages.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace tess {
namespace {

using vertical::Kind;

QString str(char32_t c) { return QString::fromUcs4(&c, 1); }

// ---- the rules ------------------------------------------------------------

// Unicode names the horizontal character each vertical form stands for (a
// <vertical> decomposition); Japanese text holds the full-width one where
// that is an ASCII sign, since half-width signs go sideways in runs.
TEST(VerticalRules, EveryVerticalFormStandsInForItsHorizontalCharacter) {
    int checked = 0;
    for (char32_t v = 0xFE10; v <= 0xFE48; ++v) {
        if (QChar::decompositionTag(v) != QChar::Vertical) continue;
        const QString d = QChar::decomposition(v);
        ASSERT_EQ(d.size(), 1) << std::hex << unsigned(v);
        char32_t original = d[0].unicode();
        if (original == U'_') original = U'＿';
        else if (original < 0x7F) original += 0xFEE0;  // its full-width form
        SCOPED_TRACE(str(original).toStdString() + " " + str(v).toStdString());
        if (v == 0xFE34) continue;  // a wavy line for "_": no Japanese mark
        EXPECT_EQ(vertical::verticalForm(original), v);
        ++checked;
    }
    EXPECT_GE(checked, 30);
    // The dash Japanese files hold, and the half-width brackets and stops.
    const std::pair<char32_t, char32_t> japanese[] = {{U'―', 0xFE31}, {U'｢', 0xFE41}, {U'｣', 0xFE42},
                                                      {U'､', 0xFE11}, {U'｡', 0xFE12}};
    for (const auto& [c, v] : japanese) EXPECT_EQ(vertical::verticalForm(c), v) << str(c).toStdString();
    for (const char32_t c : U"あ漢ーア〜A1Ａ１") EXPECT_EQ(vertical::verticalForm(c), 0u) << str(c).toStdString();
}

struct Piece {
    Kind kind;
    QString text;
    bool operator==(const Piece&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Piece& p) {
    static const char* names[] = {"upright", "sideways", "across", "end"};
    return os << names[int(p.kind)] << " '" << p.text.toStdString() << "'";
}

std::vector<Piece> units(const QString& text, qsizetype from = 0) {
    std::vector<Piece> out;
    for (qsizetype i = from; i < text.size();) {
        const vertical::Unit u = vertical::unitAt(text, i, text.size());
        EXPECT_GE(u.length, 1);
        out.push_back({u.kind, text.mid(i, u.length)});
        i += std::max<qsizetype>(u.length, 1);
    }
    return out;
}

TEST(VerticalRules, TextFallsIntoCellsSidewaysWordsAndDigitsAcross) {
    const auto U = Kind::Upright, S = Kind::Sideways, A = Kind::Across, E = Kind::End;
    struct Case {
        QString text;
        std::vector<Piece> expected;
    };
    const Case cases[] = {
        {QStringLiteral("第12回"), {{U, "第"}, {A, "12"}, {U, "回"}}},
        {QStringLiteral("第1回"), {{U, "第"}, {A, "1"}, {U, "回"}}},
        {QStringLiteral("2026年"), {{S, "2026"}, {U, "年"}}},
        {QStringLiteral("123"), {{S, "123"}}},
        {QStringLiteral("A1と1a"), {{S, "A1"}, {U, "と"}, {S, "1a"}}},
        {QStringLiteral("5 時"), {{S, "5 "}, {U, "時"}}},
        {QStringLiteral("Tessarine world!"), {{S, "Tessarine "}, {S, "world!"}}},
        {QStringLiteral("１２"), {{U, "１"}, {U, "２"}}},
        {QStringLiteral("か\u3099が"), {{U, "か\u3099"}, {U, "が"}}},
        {QStringLiteral("𠮷野"), {{U, "𠮷"}, {U, "野"}}},
        {QStringLiteral("葛\U000E0100城"), {{U, "葛\U000E0100"}, {U, "城"}}},
        {QStringLiteral("あ\u2029い"), {{U, "あ"}, {E, "\u2029"}, {U, "い"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(units(c.text), c.expected);
    }
}

// A column is painted by reading its units again from where it starts: they
// must read the same from any unit's start as from the paragraph's.
TEST(VerticalRules, UnitsReadTheSameFromAnyUnitOn) {
    const QString texts[] = {QStringLiteral("第12回は123 45と6、abc 7。"), QStringLiteral("99 1 22年x1 2"),
                             QStringLiteral("「1」『22』（333）")};
    for (const QString& text : texts) {
        SCOPED_TRACE(text.toStdString());
        const std::vector<Piece> all = units(text);
        qsizetype at = 0;
        for (size_t k = 0; k < all.size(); ++k) {
            const std::vector<Piece> rest = units(text, at);
            EXPECT_EQ(rest, std::vector<Piece>(all.begin() + qsizetype(k), all.end())) << "from " << at;
            at += all[k].text.size();
        }
    }
}

TEST(VerticalRules, ColumnsNeverStartWithClosingMarksNorEndWithOpeningOnes) {
    struct Case {
        QString column;  // one unit a character, all of them fit ...
        QString next;    // ... and this one does not
        qsizetype keep;
    };
    const Case cases[] = {
        {QStringLiteral("あいうえ"), QStringLiteral("お"), 4},
        {QStringLiteral("あいうえ"), QStringLiteral("。"), 3},
        {QStringLiteral("あいうえ"), QStringLiteral("、"), 3},
        {QStringLiteral("あいうえ"), QStringLiteral("」"), 3},
        {QStringLiteral("あいうえ"), QStringLiteral("ー"), 3},
        {QStringLiteral("あいうえ"), QStringLiteral("々"), 3},
        {QStringLiteral("あいうえ"), QStringLiteral("ょ"), 3},
        {QStringLiteral("あいうえ"), QStringLiteral("ッ"), 3},
        {QStringLiteral("あいう「"), QStringLiteral("え"), 3},
        {QStringLiteral("あいう（"), QStringLiteral("え"), 3},
        {QStringLiteral("あいうえおか」"), QStringLiteral("。"), 5},
        {QStringLiteral("あいうえ「"), QStringLiteral("」"), 4},
        // Past half the column the break stays where it was.
        {QStringLiteral("ぁぁぁぁぁぁ"), QStringLiteral("ぁ"), 6},
        {QStringLiteral("あ"), QStringLiteral("。"), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.column + u'|' + c.next).toStdString());
        std::vector<vertical::Edges> edges;
        for (const char32_t ch : (c.column + c.next).toUcs4()) edges.push_back({ch, ch});
        EXPECT_EQ(vertical::keepInColumn(edges, c.column.size()), c.keep);
    }
}

// ---- the pages on an image ---------------------------------------------------

// Areas too small for a column, an empty document, pages out of range: the
// layout still gives whole pages and painting them draws within reason.
TEST(VerticalPages, OddAreasAndDocumentsGiveWholePages) {
    QImage image(200, 200, QImage::Format_RGB32);
    struct Case {
        const char* label;
        QString text;
        QRectF area;
        int atLeast;  // pages
    };
    const Case cases[] = {
        {"an empty document", QString(), QRectF(0, 0, 200, 200), 1},
        {"an area with no room at all", QStringLiteral("あいう"), QRectF(0, 0, 0, 0), 3},
        {"shorter than a character", QStringLiteral("あいう\nえお"), QRectF(0, 0, 200, 4), 1},
        {"narrower than a column", QStringLiteral("あいう\nえお\nか"), QRectF(0, 0, 3, 200), 3},
        {"a word longer than a column", QString(300, u'x'), QRectF(0, 0, 200, 60), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        QTextDocument doc;
        QFont font(QStringLiteral("Noto Sans CJK JP"));
        font.setPointSizeF(12);
        doc.setDefaultFont(font);
        doc.setPlainText(c.text);
        pages::Setup setup;
        setup.vertical = true;
        const std::unique_ptr<pages::Pages> laid = pages::vertical(doc, image, c.area, setup);
        ASSERT_TRUE(laid);
        EXPECT_GE(laid->count(), c.atLeast);
        EXPECT_LE(laid->count(), std::max(1, int(c.text.size())));
        QPainter painter(&image);
        for (int i = -1; i <= laid->count(); ++i) laid->paint(painter, i);
    }
}

// ---- the pages, through a PDF ------------------------------------------------

struct Glyph {
    QString text;
    int page;
    QRectF box;  // in points
};

// Words as pdftotext -bbox gives them; one word may hold several characters
// side by side (a sideways run) or be one upright character.
std::vector<Glyph> readWords(const QString& pdf, int* pages = nullptr) {
    const QString xhtml = test::pdftotext(pdf, {QStringLiteral("-bbox")});
    std::vector<Glyph> out;
    static const QRegularExpression tag(QStringLiteral(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    int page = -1;
    for (auto it = tag.globalMatch(xhtml); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0) == QStringLiteral("<page ")) {
            ++page;
            continue;
        }
        QString text = m.captured(5);
        text.replace(QStringLiteral("&lt;"), QStringLiteral("<")).replace(QStringLiteral("&gt;"), QStringLiteral(">"));
        text.replace(QStringLiteral("&quot;"), QStringLiteral("\"")).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        out.push_back({text, page, QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                          QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    if (pages) *pages = page + 1;
    return out;
}

class VerticalPdf : public test::PdfTextTest {
protected:
    static QFont japanese(qreal points) {
        QFont f(QStringLiteral("Noto Sans CJK JP"));
        f.setPointSizeF(points);
        return f;
    }

    // Lays `doc` out vertically on A6 pages with 10 mm margins, writes the
    // PDF and reads its words back; `count` gets the layout's page count.
    std::vector<Glyph> print(const QTextDocument& doc, int* count = nullptr, int* pdfPages = nullptr,
                             const QString& name = QStringLiteral("out.pdf")) {
        const QString path = dir.filePath(name);
        {
            QPdfWriter writer(path);
            writer.setPageSize(QPageSize(QPageSize::A6));
            writer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
            const QRectF area(QPointF(0, 0), writer.pageLayout().paintRectPixels(writer.resolution()).size());
            pages::Setup setup;
            setup.header = setup.footer = false;
            setup.vertical = true;
            const std::unique_ptr<pages::Pages> laid = pages::vertical(doc, writer, area, setup);
            EXPECT_TRUE(laid);
            if (!laid) return {};
            if (count) *count = laid->count();
            QPainter painter(&writer);
            for (int i = 0; i < laid->count(); ++i) {
                if (i > 0) writer.newPage();
                laid->paint(painter, i);
            }
        }
        return readWords(path, pdfPages);
    }
};

bool sameColumn(const Glyph& a, const Glyph& b) {
    // A column is a few points wide: centres within two points are one.
    return a.page == b.page && std::abs(a.box.center().x() - b.box.center().x()) <= 2;
}

// The words in reading order as laid out: pages in order, columns right to
// left (by their centre), top to bottom in each.
std::vector<Glyph> inReadingOrder(std::vector<Glyph> glyphs) {
    std::stable_sort(glyphs.begin(), glyphs.end(), [](const Glyph& a, const Glyph& b) {
        if (a.page != b.page) return a.page < b.page;
        if (!sameColumn(a, b)) return a.box.center().x() > b.box.center().x();
        return a.box.top() < b.box.top();
    });
    return glyphs;
}

// Their text in that order, and how many columns they make.
QString readVertically(const std::vector<Glyph>& words, int* columns = nullptr) {
    const std::vector<Glyph> glyphs = inReadingOrder(words);
    QString out;
    int n = 0;
    for (size_t k = 0; k < glyphs.size(); ++k) {
        if (k == 0 || !sameColumn(glyphs[k], glyphs[k - 1])) ++n;
        out += glyphs[k].text;
    }
    if (columns) *columns = n;
    return out;
}

QString sentences(int chars) {
    return test::repeatedTo(QStringLiteral("むかしむかしあるところにおじいさんとおばあさんがすんでいました"), chars);
}

TEST_F(VerticalPdf, CharactersRunDownColumnsRightToLeftAndOnToMorePages) {
    QTextDocument small, large;
    small.setDefaultFont(japanese(12));
    large.setDefaultFont(japanese(12));
    const QString shortText = sentences(100), longText = sentences(3000);
    small.setPlainText(shortText);
    large.setPlainText(longText);
    int smallCount = 0, largeCount = 0, pdfPages = 0;
    const std::vector<Glyph> glyphs = print(small, &smallCount);
    // Upright characters each stand alone, one above the other.
    for (const Glyph& g : glyphs) EXPECT_EQ(g.text.size(), 1) << g.text.toStdString();
    int columns = 0;
    EXPECT_EQ(readVertically(glyphs, &columns), shortText);
    EXPECT_GE(columns, 3);
    EXPECT_EQ(smallCount, 1);
    // Each character fills its cell: the glyphs are drawn at the size the
    // cells were measured for (12 points), one cell after another.
    const std::vector<Glyph> ordered = inReadingOrder(glyphs);
    for (size_t k = 1; k < ordered.size(); ++k) {
        EXPECT_NEAR(ordered[k].box.width(), 12, 0.2) << k;
        if (sameColumn(ordered[k - 1], ordered[k])) {
            EXPECT_NEAR(ordered[k].box.top() - ordered[k - 1].box.top(), 12, 0.2);
        }
    }
    EXPECT_EQ(readVertically(print(large, &largeCount, &pdfPages, QStringLiteral("large.pdf"))), longText);
    EXPECT_GE(largeCount, 3);
    EXPECT_EQ(pdfPages, largeCount);
}

TEST_F(VerticalPdf, PunctuationAndBracketsComeOutInTheirVerticalForms) {
    QTextDocument doc;
    doc.setDefaultFont(japanese(12));
    // Not 言: Qt's PDF files name its glyph by the radical ⾔, which shares it.
    doc.setPlainText(QStringLiteral("「猫だ」と思った、そうだ。"));
    const QString read = readVertically(print(doc));
    // pdftotext gives back the presentation forms that were drawn.
    EXPECT_EQ(read, QStringLiteral("﹁猫だ﹂と思った︑そうだ︒"));
}

TEST_F(VerticalPdf, LatinRunsGoSidewaysAndTwoDigitsStandAcross) {
    QTextDocument doc;
    doc.setDefaultFont(japanese(12));
    doc.setPlainText(QStringLiteral("第12回2026年Tessarine"));
    const std::vector<Glyph> glyphs = print(doc);
    auto find = [&](const QString& text) {
        const auto it = std::find_if(glyphs.begin(), glyphs.end(), [&](const Glyph& g) { return g.text == text; });
        return it == glyphs.end() ? QRectF() : it->box;
    };
    const QRectF across = find(QStringLiteral("12")), year = find(QStringLiteral("2026")),
                 word = find(QStringLiteral("Tessarine")), kanji = find(QStringLiteral("第")),
                 next = find(QStringLiteral("回"));
    ASSERT_FALSE(across.isNull());
    ASSERT_FALSE(next.isNull());
    ASSERT_FALSE(year.isNull());
    ASSERT_FALSE(word.isNull());
    ASSERT_FALSE(kanji.isNull());
    // "12" side by side within a cell (the cells follow one another a cell
    // apart); the others along the column.
    const qreal cell = (next.top() - kanji.top()) / 2;
    EXPECT_GT(across.width(), cell * 0.8);
    EXPECT_LE(across.width(), cell + 0.1);
    EXPECT_NEAR(across.top() - kanji.top(), cell, cell * 0.2);
    EXPECT_GT(year.height(), year.width() * 1.5);
    EXPECT_GT(word.height(), word.width() * 3);
    EXPECT_EQ(readVertically(glyphs), QStringLiteral("第12回2026年Tessarine"));
}

TEST_F(VerticalPdf, ASoftParagraphEndFlowsOnWhereAHardOneStartsAColumn) {
    // Small, so that the long paragraph takes a few pages only.
    const QString text = sentences(soft_breaks::kLongParagraph + 200);
    QTextDocument soft, whole, hard;
    for (QTextDocument* d : {&soft, &whole, &hard}) {
        d->setDefaultFont(japanese(4));
        d->setPlainText(text);
    }
    soft_breaks::split(soft);
    const std::vector<int> ends = soft_breaks::positions(soft);
    ASSERT_FALSE(ends.empty());
    QTextCursor at(&hard);
    at.setPosition(ends.front());
    at.insertBlock();

    const std::vector<Glyph> a = print(soft, nullptr, nullptr, QStringLiteral("soft.pdf"));
    const std::vector<Glyph> b = print(whole, nullptr, nullptr, QStringLiteral("whole.pdf"));
    ASSERT_EQ(a.size(), size_t(text.size()));
    ASSERT_EQ(a.size(), b.size());
    int same = 0;
    for (size_t k = 0; k < a.size(); ++k) same += a[k].text == b[k].text && a[k].box == b[k].box;
    EXPECT_EQ(same, int(a.size())) << "the split paragraph is laid out as the whole one";

    // Where the end is, the text goes on below in the same column, unless
    // it is a real paragraph end.
    const size_t end = size_t(ends.front());
    const std::vector<Glyph> flowing = inReadingOrder(a);
    const std::vector<Glyph> broken = inReadingOrder(print(hard, nullptr, nullptr, QStringLiteral("hard.pdf")));
    ASSERT_EQ(broken.size(), flowing.size());
    EXPECT_EQ(readVertically(flowing), text);
    EXPECT_EQ(readVertically(broken), text);
    EXPECT_TRUE(sameColumn(flowing[end - 1], flowing[end]));
    EXPECT_GT(flowing[end].box.top(), flowing[end - 1].box.top());
    EXPECT_FALSE(sameColumn(broken[end - 1], broken[end]));
}

} // namespace
} // namespace tess
