#pragma once
// A document laid out on printed pages, for the printer, the print preview
// and PDF files: across the page (lines top to bottom) or in vertical
// writing (columns right to left, pages read right to left), with an
// optional header (the document's name) and footer (page number and count).
// The document itself is never changed: the layouts work on copies.

#include <QByteArray>
#include <QHash>
#include <QPageRanges>
#include <QList>
#include <QRectF>
#include <QString>

#include <functional>
#include <memory>

class QPageLayout;
class QPagedPaintDevice;
class QPaintDevice;
class QPainter;
class QTextDocument;
class QTextLayout;
class QTextLine;

namespace tess::pages {

struct Setup {
    QString title;         // the header's text: the document's name
    bool header = true;
    bool footer = true;
    bool vertical = false;  // vertical writing
};

// The pages of one layout.  Painting is in the device's own coordinates
// (pixels at its resolution), with the origin at the corner of the printable
// area that the layout was given.
class Pages {
public:
    virtual ~Pages() = default;
    virtual int count() const = 0;
    // Paints page `index` (from 0), header and footer included.
    virtual void paint(QPainter& painter, int index) const = 0;
};

// Lays out `doc` for `device` on pages whose printable area is `area` (in
// the device's pixels), across the page or vertically as `setup` says.  The
// pages paint on `device`, which must outlive them.  Where no vertical
// layout can be made the text is laid out across the page.
std::unique_ptr<Pages> layOut(const QTextDocument& doc, QPaintDevice& device, const QRectF& area,
                              const Setup& setup);
std::unique_ptr<Pages> horizontal(const QTextDocument& doc, QPaintDevice& device, const QRectF& area,
                                  const Setup& setup);
std::unique_ptr<Pages> vertical(const QTextDocument& doc, QPaintDevice& device, const QRectF& area,
                                const Setup& setup);

// The part of `area` left for the text once the header and footer that
// `setup` asks for have their room.
QRectF bodyArea(const QRectF& area, QPaintDevice& device, const Setup& setup);
// The footer's text: "3 / 12".
QString footerText(int index, int count);
// Draws the header and footer of page `index` of `count` in `area`.
void drawHeaderAndFooter(QPainter& painter, QPaintDevice& device, const QRectF& area, const Setup& setup,
                         int index, int count);

// Japanese line breaking on top of Unicode's: the characters no line may
// begin with (closing brackets, 。、・ー々, small kana...) and those no line
// may end with (opening brackets).
bool mayStartLine(char32_t c);
bool mayEndLine(char32_t c);
// The next line of `layout` (between beginLayout and endLayout), `width`
// wide.  A break that would start the next line with a character that may
// not begin one, or end this one with an opening bracket, moves back to the
// last allowed break of the line; the break stays where it was only when the
// line has none.
QTextLine createLine(QTextLayout& layout, qreal width);


// The area a painter on `device` paints in: the page less its margins, in
// the device's pixels, from the origin.
QRectF printableArea(QPagedPaintDevice& device);
// Lays out `doc` for `device` (a printer, a preview, a PDF writer) and paints
// its pages, only those in the device's page ranges when it has any.  False
// when painting could not start (the printer is not ready).
// With `spreadsRightToLeft`, the pages go out in the order that makes a
// preview showing them side by side (the first alone on the right, then
// two by two from left to right) read right to left, as vertical writing
// reads: see spreadOrder().
// `progress` hears after each page painted how many are done out of how
// many; painting stops there when it answers false.
using Progress = std::function<bool(int done, int count)>;
bool print(const QTextDocument& doc, QPagedPaintDevice& device, const Setup& setup,
           bool spreadsRightToLeft = false, const Progress& progress = {});
// The pages (from 0) in that order: 0, 2, 1, 4, 3, ...; a last page without
// a partner comes last.
QList<int> spreadOrder(int count);

// The document as a PDF file's bytes on pages of `page`; only the pages in
// `ranges` (from 1) when it is not empty.
QByteArray pdf(const QTextDocument& doc, const QPageLayout& page, const Setup& setup,
               const QPageRanges& ranges = {}, const Progress& progress = {});
// Writes the PDF to `path` whole or not at all (a temporary file renamed into
// place); on failure `error` names the file and gives the system's reason.
// A stop through `progress` writes nothing and leaves `error` empty.
bool writePdf(const QString& path, const QTextDocument& doc, const QPageLayout& page, const Setup& setup,
              QString* error, const QPageRanges& ranges = {}, const Progress& progress = {});

// Where a font gives one glyph to several characters (日 and the radical ⽇,
// 戸 and ⼾), Qt's PDF files tell the lowest of them as the glyph's text, and
// a text copied from the PDF comes out as radicals.  The characters the
// document holds take their glyphs back: `wrong` to `right`, for every glyph
// that the fonts in use share between a character of `text` and a lower one
// that `text` does not hold.
QHash<char16_t, char16_t> sharedGlyphFixes(const QTextDocument& doc, const QString& text);
// Rewrites the text maps of a PDF that Qt wrote as `fixes` says; every entry
// keeps its length, so nothing else in the file moves.
void fixPdfText(QByteArray& pdf, const QHash<char16_t, char16_t>& fixes);

} // namespace tess::pages
