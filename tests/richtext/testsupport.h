#pragma once
// Helpers for the document-format tests: read and write files, and describe a document
// as its runs (text plus the formatting the editor keeps) so that tests
// compare whole documents at once.

#include "richtext/richtext.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <ostream>
#include <vector>

namespace tess::test {

struct Run {
    QString text;
    QString family;
    double points = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    QColor fg;  // invalid = automatic
    QColor bg;  // invalid = none
    bool operator==(const Run&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Run& r) {
    os << '"' << r.text.toStdString() << "\" " << r.family.toStdString() << ' ' << r.points
       << (r.bold ? " b" : "") << (r.italic ? " i" : "") << (r.underline ? " u" : "")
       << (r.strike ? " s" : "");
    if (r.fg.isValid()) os << " fg" << r.fg.name().toStdString();
    if (r.bg.isValid()) os << " bg" << r.bg.name().toStdString();
    return os;
}

// The document's fragments, resolved against its default font; paragraph
// ends appear as "\n" runs joined to the neighbouring text when formats allow.
inline std::vector<Run> runsOf(const QTextDocument& doc) {
    std::vector<Run> runs;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b != doc.begin()) {
            if (!runs.empty()) runs.back().text += u'\n';
            else runs.push_back(Run{QStringLiteral("\n"), {}, 0, false, false, false, false, {}, {}});
        }
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat cf = f.charFormat();
            const QFont font = cf.font().resolve(doc.defaultFont());
            Run r;
            r.text = f.text();
            r.family = font.families().isEmpty() ? font.family() : font.families().first();
            r.points = font.pointSizeF();
            r.bold = font.bold();
            r.italic = font.italic();
            r.underline = cf.underlineStyle() != QTextCharFormat::NoUnderline;
            r.strike = font.strikeOut();
            if (cf.hasProperty(QTextFormat::ForegroundBrush)) r.fg = cf.foreground().color();
            if (cf.hasProperty(QTextFormat::BackgroundBrush)) r.bg = cf.background().color();
            // Runs that differ only in text are one run to the reader's eye.
            if (!runs.empty()) {
                Run prev = runs.back();
                prev.text = r.text;
                if (prev == r) {
                    runs.back().text += r.text;
                    continue;
                }
            }
            runs.push_back(r);
        }
    }
    return runs;
}

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QString plainOf(const QByteArray& rtf) {
    QTextDocument doc;
    readRichText(rtf, doc);
    return doc.toRawText().replace(QChar::ParagraphSeparator, u'\n');
}

// `sentence` over and over, cut at `chars` characters.
inline QString repeatedTo(const QString& sentence, int chars) {
    QString out;
    while (out.size() < chars) out += sentence;
    out.truncate(chars);
    return out;
}

// What pdftotext prints for the PDF file `pdf` with `options` before it.
inline QString pdftotext(const QString& pdf, QStringList options = {}) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), options << pdf << QStringLiteral("-"));
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Tests that read written PDFs back through pdftotext, in a folder of
// their own; skipped where pdftotext (poppler-utils) is not installed.
class PdfTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
        ASSERT_TRUE(dir.isValid());
    }

    QTemporaryDir dir;
};

} // namespace tess::test
