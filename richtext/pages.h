#pragma once
// A document laid out on printed pages, for the printer, the print preview
// and PDF files: across the page (lines top to bottom) or in vertical
// writing (columns right to left, pages read right to left), with an
// optional header (the document's name) and footer (page number and count).
// The document itself is never changed: the layouts work on copies.

#include <QRectF>
#include <QString>

#include <memory>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;
class QTextDocument;

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
// the device's pixels), across the page or vertically as `setup` says.
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

} // namespace tess::pages
