// The kept runs behind the recovery copy: after any edit, format change,
// undo or new document, a snapshot writes exactly what the document itself
// writes.

#include "richtext/richtext.h"

#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <QTextDocumentFragment>

#include <algorithm>
#include <functional>
#include <random>
#include <set>

namespace tess {
namespace {

using namespace Qt::StringLiterals;

QTextCharFormat boldFormat() {
    QTextCharFormat f;
    f.setFontWeight(QFont::Bold);
    return f;
}

// The document's raw text as the snapshot's runs place it: each run's text
// at its position and a separator at each paragraph end's, the last one
// (the document's final position) left out.
QString textOf(const RichTextSnapshot& snap) {
    QString text;
    snap.forEachRun([&](const RichTextSnapshot::Run& run, QStringView t) {
        const qsizetype end = run.position + std::max<qsizetype>(run.length, 1);
        if (text.size() < end) text.resize(end, u'?');
        if (run.format == RichTextSnapshot::kParagraphEnd) text[run.position] = QChar::ParagraphSeparator;
        else text.replace(run.position, run.length, t.toString());
        return true;
    });
    text.chop(1);
    return text;
}

std::vector<qsizetype> paragraphEnds(const RichTextSnapshot& snap) {
    std::vector<qsizetype> ends;
    snap.forEachRun([&](const RichTextSnapshot::Run& run, QStringView) {
        if (run.format == RichTextSnapshot::kParagraphEnd) ends.push_back(run.position);
        return true;
    });
    return ends;
}

std::vector<qsizetype> paragraphEnds(const QTextDocument& doc) {
    std::vector<qsizetype> ends;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) ends.push_back(b.position() + b.length() - 1);
    return ends;
}

TEST(RichTextRuns, SnapshotsFollowEveryKindOfChange) {
    QTextDocument doc;
    {
        QTextCursor c(&doc);
        c.insertText(u"一行目 plain\n二行目 "_s);
        c.insertText(u"太字"_s, boldFormat());
        c.insertText(u" 戻る\n三行目"_s, QTextCharFormat());
    }
    RichTextRuns runs;
    runs.follow(&doc);
    while (!runs.warm(0)) {}

    const std::pair<const char*, std::function<void()>> changes[] = {
        {"nothing", [] {}},
        {"typing inside a paragraph", [&] { QTextCursor(doc.findBlockByNumber(0)).insertText(u"追加"_s); }},
        {"bold on existing text only",
         [&] {
             QTextCursor c(&doc);
             c.setPosition(1);
             c.setPosition(3, QTextCursor::KeepAnchor);
             c.mergeCharFormat(boldFormat());
         }},
        {"a paragraph split",
         [&] {
             QTextCursor c(doc.findBlockByNumber(1));
             c.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 5);
             c.insertBlock();
         }},
        {"paragraphs merged across formats",
         [&] {
             QTextCursor c(&doc);
             c.setPosition(2);
             c.setPosition(doc.findBlockByNumber(2).position() + 1, QTextCursor::KeepAnchor);
             c.removeSelectedText();
         }},
        {"undo", [&] { doc.undo(); }},
        {"undo again", [&] { doc.undo(); }},
        {"redo", [&] { doc.redo(); }},
        {"everything replaced", [&] { doc.setPlainText(u"新しい\n文書"_s); }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        change();
        EXPECT_EQ(writeRichText(runs.snapshot()), writeRichText(doc));
        EXPECT_EQ(textOf(runs.snapshot()), doc.toRawText());
    }

    // Another document: the first one's kept runs do not leak into it.
    QTextDocument other;
    QTextCursor(&other).insertText(u"別"_s, boldFormat());
    runs.follow(&other);
    EXPECT_EQ(writeRichText(runs.snapshot()), writeRichText(other));
}

// Edits of a document mirrored in many chunks, at places a seeded generator
// picks: the start, the end, the middle, on and beside chunk boundaries, and
// anywhere.
class Edits {
public:
    Edits(QTextDocument& doc, unsigned seed) : doc_(doc), rng_(seed) {}

    int below(int n) { return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    int end() const { return doc_.characterCount() - 1; }
    // Chunk starts of the last snapshot.
    std::vector<qsizetype> boundaries;

    int place() {
        switch (below(5)) {
        case 0: return 0;
        case 1: return end();
        case 2: return end() / 2;
        case 3:
            if (!boundaries.empty())
                return std::clamp(int(boundaries[size_t(below(int(boundaries.size())))]) + below(3) - 1, 0, end());
            [[fallthrough]];
        default: return below(end() + 1);
        }
    }
    QTextCursor at(int position) {
        QTextCursor c(&doc_);
        c.setPosition(std::clamp(position, 0, end()));
        return c;
    }
    QTextCursor span(int from, int length) {
        QTextCursor c = at(from);
        c.setPosition(std::clamp(from + length, 0, end()), QTextCursor::KeepAnchor);
        return c;
    }
    QString words(int n) {
        static const QString kAlphabet = u"あいうえおかきくけこ日本語文書abc xyz"_s;
        QString text;
        for (int i = 0; i < n; ++i) text += kAlphabet[below(int(kAlphabet.size()))];
        return text;
    }
    QTextCharFormat someFormat() {
        QTextCharFormat f;
        switch (below(5)) {
        case 0: f.setFontWeight(below(2) ? QFont::Bold : QFont::Normal); break;
        case 1: f.setFontItalic(below(2)); break;
        case 2: f.setForeground(QColor::fromHsv(below(360), 255, 200)); break;
        case 3: f.setFontPointSize(8 + below(20)); break;
        default: f.setFontUnderline(below(2)); break;
        }
        return f;
    }
    // Lines with formats of their own, as a paste from another document brings them.
    QTextDocumentFragment lines(int count) {
        QTextDocument source;
        QTextCursor c(&source);
        for (int i = 0; i < count; ++i) {
            if (i > 0) c.insertBlock();
            c.insertText(words(below(12)), below(4) ? QTextCharFormat() : someFormat());
            c.insertText(words(below(6)), QTextCharFormat());
        }
        return QTextDocumentFragment(&source);
    }

private:
    QTextDocument& doc_;
    std::mt19937 rng_;
};

struct Edit {
    const char* name;
    int weight;
    std::function<void(Edits&, QTextDocument&, qsizetype chunkChars)> apply;
};

const Edit kEdits[] = {
    {"typing", 20, [](Edits& e, QTextDocument&, qsizetype) { e.at(e.place()).insertText(e.words(1 + e.below(8))); }},
    {"Enter", 10, [](Edits& e, QTextDocument&, qsizetype) { e.at(e.place()).insertBlock(); }},
    {"a paragraph joined to the next", 8,
     [](Edits& e, QTextDocument& doc, qsizetype) {
         const QTextBlock b = doc.findBlock(e.place());
         if (b.next().isValid()) e.at(b.position() + b.length() - 1).deleteChar();
     }},
    {"deleting a little", 8, [](Edits& e, QTextDocument&, qsizetype) { e.span(e.place(), 1 + e.below(6)).removeSelectedText(); }},
    {"deleting across many paragraphs and chunks", 4,
     [](Edits& e, QTextDocument&, qsizetype chunk) {
         e.span(e.place(), 1 + e.below(int(std::min<qsizetype>(3 * chunk + 200, 20000)))).removeSelectedText();
     }},
    {"a format over a range", 8,
     [](Edits& e, QTextDocument&, qsizetype chunk) {
         e.span(e.place(), 1 + e.below(int(std::min<qsizetype>(2 * chunk + 100, 5000)))).mergeCharFormat(e.someFormat());
     }},
    {"a paste of many lines", 2,
     [](Edits& e, QTextDocument&, qsizetype) { e.at(e.place()).insertFragment(e.lines(50 + e.below(2000))); }},
    {"several places in one undo step", 3,
     [](Edits& e, QTextDocument&, qsizetype) {
         QTextCursor c = e.at(e.place());
         c.beginEditBlock();
         c.insertText(e.words(3));
         c.setPosition(e.place());
         c.insertBlock();
         c.setPosition(e.place());
         c.setPosition(std::min(c.position() + 5, e.end()), QTextCursor::KeepAnchor);
         c.removeSelectedText();
         c.endEditBlock();
     }},
    {"undo", 8, [](Edits& e, QTextDocument& doc, qsizetype) {
         for (int n = 1 + e.below(3); n > 0; --n) doc.undo();
     }},
    {"redo", 5, [](Edits& e, QTextDocument& doc, qsizetype) {
         for (int n = 1 + e.below(3); n > 0; --n) doc.redo();
     }},
    {"everything replaced", 1,
     [](Edits& e, QTextDocument& doc, qsizetype) {
         QString text;
         for (int n = e.below(400); n > 0; --n) text += e.words(e.below(40)) + u'\n';
         doc.setPlainText(text);
     }},
    {"everything deleted", 1, [](Edits&, QTextDocument& doc, qsizetype) { doc.clear(); }},
};

// Seeded runs of edits of every kind, in documents cut into chunks of one
// paragraph, of a few paragraphs and of the size the program uses: after
// each edit, whether or not the idle steps got round to the changed chunks,
// the snapshot writes what the document itself writes, and every paragraph
// end sits at its separator's position.
TEST(RichTextRuns, SnapshotsEqualTheDocumentAfterSeededEditsAnywhere) {
    struct Case {
        qsizetype chunkChars;
        unsigned seed;
        int paragraphs;
        int steps;
    };
    const Case cases[] = {
        {1, 11, 300, 150},
        {64, 12, 2000, 250},
        {64, 13, 500, 250},
        {4096, 14, 3000, 150},
        {RichTextRuns::kChunkChars, 15, 5000, 60},
    };
    int totalWeight = 0;
    for (const Edit& edit : kEdits) totalWeight += edit.weight;
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "chunks of " << k.chunkChars << ", seed " << k.seed);
        QTextDocument doc;
        doc.documentLayout();
        Edits e(doc, k.seed);
        {
            QTextCursor c(&doc);
            c.insertFragment(e.lines(k.paragraphs));
        }
        RichTextRuns runs(k.chunkChars);
        runs.follow(&doc);
        for (int step = 0; step < k.steps; ++step) {
            int pick = e.below(totalWeight);
            const Edit* edit = kEdits;
            while (pick >= edit->weight) pick -= (edit++)->weight;
            SCOPED_TRACE(testing::Message() << "step " << step << ": " << edit->name);
            edit->apply(e, doc, k.chunkChars);
            // Sometimes the idle steps make some or all of what changed.
            for (int n = e.below(4); n > 0; --n) runs.warm(0);

            const RichTextSnapshot snap = runs.snapshot();
            const RichTextSnapshot whole = takeRichTextSnapshot(doc);
            ASSERT_EQ(writeRichText(snap), writeRichText(whole));
            ASSERT_EQ(textOf(snap), doc.toRawText());
            ASSERT_EQ(paragraphEnds(snap), paragraphEnds(doc));
            ASSERT_EQ(paragraphEnds(whole), paragraphEnds(doc));
            e.boundaries.clear();
            for (const RichTextSnapshot::Part& part : snap.parts) e.boundaries.push_back(part.start);
        }
        // A new document: nothing of the old one's mirror is kept.
        QTextDocument other;
        QTextCursor(&other).insertFragment(e.lines(k.paragraphs / 2));
        runs.follow(&other);
        EXPECT_EQ(writeRichText(runs.snapshot()), writeRichText(other));
    }
}

// A small edit makes only the chunks it touches again: the rest of the
// snapshot is the very chunks of the one before, not copies of them.
TEST(RichTextRuns, AnEditMakesOnlyTheChunksItTouchesAgain) {
    constexpr qsizetype kChunk = 256;
    const std::pair<const char*, std::function<void(QTextDocument&, qsizetype)>> edits[] = {
        {"typing in the middle",
         [](QTextDocument& doc, qsizetype) {
             QTextCursor c(&doc);
             c.setPosition(doc.characterCount() / 2);
             c.insertText(u"字"_s);
         }},
        {"the paragraph end before a chunk's start deleted",
         [](QTextDocument& doc, qsizetype boundary) {
             QTextCursor c(&doc);
             c.setPosition(int(boundary));
             c.deletePreviousChar();
         }},
        {"a word made bold",
         [](QTextDocument& doc, qsizetype) {
             QTextCursor c(&doc);
             c.setPosition(doc.characterCount() / 3);
             c.setPosition(doc.characterCount() / 3 + 4, QTextCursor::KeepAnchor);
             c.mergeCharFormat(boldFormat());
         }},
        {"undo", [](QTextDocument& doc, qsizetype) { doc.undo(); }},
    };
    QTextDocument doc;
    {
        QTextCursor c(&doc);
        for (int i = 0; i < 2000; ++i) {
            if (i > 0) c.insertBlock();
            c.insertText(u"段落の文字列 %1"_s.arg(i), i % 5 ? QTextCharFormat() : boldFormat());
        }
    }
    RichTextRuns runs(kChunk);
    runs.follow(&doc);
    RichTextSnapshot before = runs.snapshot();
    ASSERT_GT(before.parts.size(), 50u);
    for (const auto& [name, edit] : edits) {
        SCOPED_TRACE(name);
        edit(doc, before.parts[before.parts.size() / 2].start);
        const RichTextSnapshot after = runs.snapshot();
        std::set<const RichTextSnapshot::Chunk*> kept;
        for (const RichTextSnapshot::Part& part : before.parts) kept.insert(part.chunk.get());
        size_t made = 0;
        for (const RichTextSnapshot::Part& part : after.parts) made += kept.count(part.chunk.get()) ? 0 : 1;
        EXPECT_GE(made, 1u);
        EXPECT_LE(made, 4u);
        EXPECT_EQ(writeRichText(after), writeRichText(doc));
        before = after;
    }
}

} // namespace
} // namespace tess
