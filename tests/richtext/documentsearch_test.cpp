// A search through many documents: each read as the editor reads it, hits
// with the file's line numbers, unreadable files with the reason, results
// in the documents' order from any number of threads, and a cancel.

#include "richtext/documentsearch.h"
#include "testsupport.h"

#include "richtext/documentfile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

namespace tess {
namespace {

using text::Encoding;

struct Doc {
    const char* name;
    QByteArray bytes;                 // null: not written
    std::vector<std::pair<qsizetype, QString>> hits;  // line, line text
};

QByteArray rtfOf(const QString& text) {
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    const qsizetype at = text.indexOf(QStringLiteral("検索"));
    c.insertText(text.left(at + 1));
    c.insertText(text.mid(at + 1, 1), bold);  // the word across two runs
    c.insertText(text.mid(at + 2));
    return writeRichText(doc);
}

TEST(DocumentSearch, EveryEncodingAndRichTextInOrderWithTheReasonForWhatCannotBeRead) {
    const QString longLine = QString(20000, QChar(u'長')) + QStringLiteral("検索語");
    const std::vector<Doc> docs = {
        {"SJIS.TXT", text::encode(u"一行目\r\n二行目に検索語\r\n三行目\r\n", Encoding::ShiftJis), {{2, QStringLiteral("二行目に検索語")}}},
        {"UTF8.TXT", QStringLiteral("検索語と検索語\n\nｹﾝｻｸ語\n").toUtf8(), {{1, QStringLiteral("検索語と検索語")}, {1, QStringLiteral("検索語と検索語")}}},
        {"EUC.TXT", text::encode(u"前\n後に検索語\n", Encoding::EucJp), {{2, QStringLiteral("後に検索語")}}},
        {"RICH.RTF", rtfOf(QStringLiteral("表題\n本文の検索語です")), {{2, QStringLiteral("本文の検索語です")}}},
        // A long line comes back as the part around the match.
        {"LONG.TXT", text::encode(longLine + QStringLiteral("\r\n"), Encoding::ShiftJis),
         {{1, longLine.mid(20000 - document_search::kHitLead)}}},
        {"NONE.TXT", text::encode(u"何もない\r\n", Encoding::ShiftJis), {}},
        {"MISSING.TXT", QByteArray(), {}},
    };
    QTemporaryDir dir;
    QStringList paths;
    for (const Doc& d : docs) {
        const QString path = QDir(dir.path()).filePath(QString::fromLatin1(d.name));
        if (!d.bytes.isNull()) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(d.bytes) == d.bytes.size());
        }
        paths << path;
    }
    paths << dir.path();  // a folder

    const search::Searcher searcher(QStringLiteral("検索語"), {});
    for (const int threads : {1, 2, 4}) {
        SCOPED_TRACE(threads);
        std::vector<document_search::Result> results;
        std::atomic<bool> cancel = false;
        document_search::run(paths, searcher, threads, cancel, [&](const document_search::Result& r) { results.push_back(r); });
        ASSERT_EQ(results.size(), size_t(paths.size()));
        for (size_t i = 0; i < docs.size(); ++i) {
            SCOPED_TRACE(docs[i].name);
            const document_search::Result& r = results[i];
            EXPECT_EQ(r.document, int(i));
            ASSERT_EQ(size_t(r.hits.size()), docs[i].hits.size());
            for (size_t k = 0; k < docs[i].hits.size(); ++k) {
                EXPECT_EQ(r.hits[k].line, docs[i].hits[k].first);
                EXPECT_EQ(r.hits[k].text, docs[i].hits[k].second);
                EXPECT_EQ(r.hits[k].text.mid(r.hits[k].start, r.hits[k].length), QStringLiteral("検索語"));
            }
            QByteArray unused;
            EXPECT_EQ(r.error, docs[i].bytes.isNull() ? readDocumentBytes(paths[i], unused).error : QString());
        }
        EXPECT_FALSE(results.back().error.isEmpty());
        EXPECT_EQ(results[1].hits[1].start, 4);
    }

    // The find panel's options: width and kana alike finds the half-width
    // katakana from hiragana.
    search::Options alike;
    alike.widthInsensitive = true;
    std::vector<document_search::Result> found;
    std::atomic<bool> never = false;
    document_search::run({paths[1]}, search::Searcher(QStringLiteral("けんさく語"), alike), 2, never,
                         [&](const document_search::Result& r) { found.push_back(r); });
    ASSERT_EQ(found.size(), 1u);
    ASSERT_EQ(found[0].hits.size(), 1);
    EXPECT_EQ(found[0].hits[0].line, 3);
    EXPECT_EQ(found[0].hits[0].text.mid(found[0].hits[0].start, found[0].hits[0].length), QStringLiteral("ｹﾝｻｸ語"));

    // Cancelled after the first document: nothing more is reported.
    std::atomic<bool> cancel = false;
    int reported = 0;
    document_search::run(paths, searcher, 2, cancel, [&](const document_search::Result&) {
        ++reported;
        cancel = true;
    });
    EXPECT_EQ(reported, 1);
}

TEST(DocumentSearch, ADocumentKeepsAtMostTheLimitOfHitsAndCountsAll) {
    const QString text = QStringLiteral("a検索語\nb検索語 検索語\nc\n検索語");
    const search::Searcher searcher(QStringLiteral("検索語"), {});
    for (const qsizetype limit : {-1, 0, 2, 4, 9}) {
        SCOPED_TRACE(limit);
        qsizetype matches = -1;
        const QList<document_search::Hit> hits = document_search::hitsIn(text, searcher, limit, &matches);
        EXPECT_EQ(matches, 4);
        ASSERT_EQ(hits.size(), limit < 0 ? 4 : std::min<qsizetype>(limit, 4));
        const qsizetype lines[] = {1, 2, 2, 4};
        for (qsizetype i = 0; i < hits.size(); ++i) EXPECT_EQ(hits[i].line, lines[i]);
    }
    QTemporaryDir dir;
    const QString file = QDir(dir.path()).filePath(QStringLiteral("A.TXT"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(text.toUtf8()) > 0);
    f.close();
    std::atomic<bool> never = false;
    std::vector<document_search::Result> results;
    document_search::run({file}, searcher, 1, never, [&](const document_search::Result& r) { results.push_back(r); }, 3);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].hits.size(), 3);
    EXPECT_EQ(results[0].matches, 4);
}

// Every match of a huge line carries only the part of it around the match,
// never half a surrogate pair, and the match itself whole.
TEST(DocumentSearch, HitsOfALongLineCarryThePartAroundTheMatch) {
    using document_search::kHitLead;
    using document_search::kMaxHitLine;
    QString line;
    for (int i = 0; i < 400; ++i) line += QStringLiteral("𠮷%1 検索語 ").arg(i, 4, 10, QLatin1Char('0')) + QString(40, u'x');
    const QString text = QStringLiteral("short 検索語\n") + line + QStringLiteral("\nend");
    const QList<document_search::Hit> hits = document_search::hitsIn(text, search::Searcher(QStringLiteral("検索語"), {}));
    ASSERT_EQ(hits.size(), 401);
    EXPECT_EQ(hits[0].text, QStringLiteral("short 検索語"));
    for (qsizetype i = 1; i < hits.size(); ++i) {
        SCOPED_TRACE(i);
        const document_search::Hit& h = hits[i];
        EXPECT_EQ(h.line, 2);
        EXPECT_LE(h.text.size(), kMaxHitLine + 1);
        EXPECT_LE(h.start, kHitLead + 1);
        EXPECT_EQ(h.text.mid(h.start, h.length), QStringLiteral("検索語"));
        EXPECT_EQ(text.mid(h.position, 3), QStringLiteral("検索語"));
        EXPECT_FALSE(h.text.front().isLowSurrogate());
        EXPECT_FALSE(h.text.back().isHighSurrogate());
        // The match's own number is in what is shown.
        EXPECT_TRUE(h.text.contains(QStringLiteral("%1 検索語").arg(i - 1, 4, 10, QLatin1Char('0'))));
    }
}

} // namespace
} // namespace tess
