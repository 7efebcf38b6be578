// The kept runs behind the recovery copy: after any edit, format change,
// undo or new document, a snapshot writes exactly what the document itself
// writes.

#include "richtext/richtext.h"

#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <functional>

namespace tess {
namespace {

using namespace Qt::StringLiterals;

QTextCharFormat boldFormat() {
    QTextCharFormat f;
    f.setFontWeight(QFont::Bold);
    return f;
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
        EXPECT_EQ(runs.snapshot().text, doc.toRawText());
    }

    // Another document: the first one's kept runs do not leak into it.
    QTextDocument other;
    QTextCursor(&other).insertText(u"別"_s, boldFormat());
    runs.follow(&other);
    EXPECT_EQ(writeRichText(runs.snapshot()), writeRichText(other));
}

} // namespace
} // namespace tess
