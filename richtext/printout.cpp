// Pages painted on a printer or into a PDF file, and the PDF's text made to
// read back as the document's characters.

#include "richtext/pages.h"

#include "core/atomicfile.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QPageRanges>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <vector>

namespace tess::pages {

namespace {

// Fine enough for any printer the PDF goes to, small enough to be quick.
constexpr int kPdfResolution = 600;

// The faces the printout's characters are drawn with: each format's font,
// and the faces it falls back to for Japanese and Latin text.
QList<QRawFont> facesInUse(const QTextDocument& doc) {
    QList<QFont> fonts{doc.defaultFont()};
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QFont f = it.fragment().charFormat().font().resolve(doc.defaultFont());
            if (!fonts.contains(f)) fonts << f;
        }
    fonts << QFont(QStringLiteral("Noto Sans CJK JP"));  // the header and footer
    QList<QRawFont> faces;
    for (QFont f : fonts) {
        f.setPointSize(12);
        for (const auto system : {QFontDatabase::Any, QFontDatabase::Japanese, QFontDatabase::Latin}) {
            const QRawFont raw = QRawFont::fromFont(f, system);
            if (raw.isValid() && !faces.contains(raw)) faces << raw;
        }
    }
    return faces;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// "<hhhh>" at `at`: its value, or -1.
int codeAt(const QByteArray& bytes, qsizetype at, qsizetype end) {
    if (at + 6 > end || bytes[at] != '<' || bytes[at + 5] != '>') return -1;
    int value = 0;
    for (int i = 1; i <= 4; ++i) {
        const int d = hexDigit(bytes[at + i]);
        if (d < 0) return -1;
        value = value * 16 + d;
    }
    return value;
}

void putCode(QByteArray& bytes, qsizetype at, char16_t value) {
    static const char digits[] = "0123456789ABCDEF";
    for (int i = 4; i >= 1; --i, value >>= 4) bytes[at + i] = digits[value & 0xF];
}

// One line of a "beginbfrange" section: "<from> <to> <code>" or
// "<from> <to> [<code> <code> ...]".  A single code over several glyphs
// counts up from one to the next and stays as it is.
void fixRangeLine(QByteArray& bytes, qsizetype at, qsizetype end, const QHash<char16_t, char16_t>& fixes) {
    const int from = codeAt(bytes, at, end);
    const int to = codeAt(bytes, at + 7, end);
    if (from < 0 || to < 0) return;
    qsizetype pos = at + 14;
    const auto fix = [&](qsizetype p) {
        const int code = codeAt(bytes, p, end);
        if (code < 0) return false;
        if (const auto it = fixes.constFind(char16_t(code)); it != fixes.cend()) putCode(bytes, p, it.value());
        return true;
    };
    if (pos < end && bytes[pos] == '[') {
        for (++pos; pos < end && fix(pos); pos += 7) {}
    } else if (from == to) {
        fix(pos);
    }
}

} // namespace

QRectF printableArea(QPagedPaintDevice& device) {
    return QRectF(QPointF(0, 0), device.pageLayout().paintRectPixels(device.logicalDpiX()).size());
}

QList<int> spreadOrder(int count) {
    QList<int> order;
    order.reserve(count);
    if (count > 0) order << 0;
    for (int left = 2; left - 1 < count; left += 2) {
        if (left < count) order << left;
        order << left - 1;
    }
    return order;
}

bool print(const QTextDocument& doc, QPagedPaintDevice& device, const Setup& setup, bool spreadsRightToLeft,
           const Progress& progress) {
    const std::unique_ptr<Pages> pages = layOut(doc, device, printableArea(device), setup);
    const QPageRanges ranges = device.pageRanges();
    QPainter painter;
    if (!painter.begin(&device)) return false;
    bool first = true;
    QList<int> order;
    if (spreadsRightToLeft) order = spreadOrder(pages->count());
    for (int n = 0; n < pages->count(); ++n) {
        const int i = spreadsRightToLeft ? order[n] : n;
        if (!ranges.isEmpty() && !ranges.contains(i + 1)) continue;
        if (!first) device.newPage();
        first = false;
        pages->paint(painter, i);
        if (progress && !progress(n + 1, pages->count())) break;
    }
    return painter.end();
}

QHash<char16_t, char16_t> sharedGlyphFixes(const QTextDocument& doc, const QString& text) {
    QSet<char16_t> used;
    for (const QChar c : text) used.insert(c.unicode());
    QHash<char16_t, char16_t> fixes;
    // Every character Qt may name a glyph by: the whole first plane but the
    // surrogates.
    QList<QChar> plane;
    plane.reserve(0x10000);
    for (uint u = 1; u < 0x10000; ++u)
        if (u < 0xD800 || u > 0xDFFF) plane << QChar(char16_t(u));
    for (const QRawFont& face : facesInUse(doc)) {
        std::vector<quint32> glyphs(size_t(plane.size()));
        int n = int(glyphs.size());
        if (!face.glyphIndexesForChars(plane.constData(), int(plane.size()), glyphs.data(), &n)) continue;
        QHash<quint32, char16_t> lowest;
        for (qsizetype i = 0; i < plane.size(); ++i)
            if (glyphs[size_t(i)] && !lowest.contains(glyphs[size_t(i)])) lowest.insert(glyphs[size_t(i)], plane[i].unicode());
        for (const char16_t c : used) {
            if (c == 0 || (c >= 0xD800 && c <= 0xDFFF)) continue;
            const quint32 glyph = glyphs[size_t(c < 0xD800 ? c - 1 : c - 1 - 0x800)];
            if (!glyph) continue;
            const char16_t named = lowest.value(glyph, c);
            if (named != c && !used.contains(named) && !fixes.contains(named)) fixes.insert(named, c);
        }
    }
    // A tab shares the space's glyph and is lower.
    if (!used.contains(u'\t')) fixes.insert(u'\t', u' ');
    return fixes;
}

void fixPdfText(QByteArray& pdf, const QHash<char16_t, char16_t>& fixes) {
    if (fixes.isEmpty()) return;
    static const QByteArray kBegin("beginbfrange\n");
    static const QByteArray kEnd("endbfrange");
    for (qsizetype at = pdf.indexOf(kBegin); at >= 0; at = pdf.indexOf(kBegin, at)) {
        const qsizetype end = pdf.indexOf(kEnd, at);
        if (end < 0) return;
        for (qsizetype line = at + kBegin.size(); line < end;) {
            qsizetype eol = pdf.indexOf('\n', line);
            if (eol < 0 || eol > end) eol = end;
            fixRangeLine(pdf, line, eol, fixes);
            line = eol + 1;
        }
        at = end;
    }
}

QByteArray pdf(const QTextDocument& doc, const QPageLayout& page, const Setup& setup, const QPageRanges& ranges,
               const Progress& progress) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(page);
        writer.setPageRanges(ranges);
        writer.setTitle(setup.title);
        writer.setCreator(QStringLiteral("Tessarine"));
        print(doc, writer, setup, false, progress);
    }
    QByteArray bytes = buffer.data();
    QString printed = doc.toPlainText() + setup.title + QStringLiteral("0123456789 /");
    fixPdfText(bytes, sharedGlyphFixes(doc, printed));
    return bytes;
}

bool writePdf(const QString& path, const QTextDocument& doc, const QPageLayout& page, const Setup& setup,
              QString* error, const QPageRanges& ranges, const Progress& progress) {
    bool stopped = false;
    const QByteArray bytes = pdf(doc, page, setup, ranges, [&](int done, int count) {
        stopped = progress && !progress(done, count);
        return !stopped;
    });
    if (stopped) {
        if (error) error->clear();
        return false;
    }
    return writeFileAtomically(path, bytes, error, FileUse::Document);
}

} // namespace tess::pages
