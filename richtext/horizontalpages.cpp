// The document across the page: each paragraph wrapped at the page's width
// as the editor wraps it, with the Japanese line-breaking rules, and the
// lines filled into pages top to bottom.

#include "richtext/pages.h"
#include "richtext/richtext.h"

#include <QPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextLayout>

#include <vector>

namespace tess::pages {

namespace {

// The size the editor shows, in points: a size in pixels is a screen size.
// Text is set without shaping where its script needs none: Qt's PDF files
// name no character for the glyphs a shaper substitutes (digits after
// letters came back from the PDF as nothing).
QTextCharFormat forPaper(QTextCharFormat format) {
    format = sizedInPoints(format);
    format.setFontStyleStrategy(QFont::StyleStrategy(format.fontStyleStrategy() | QFont::PreferNoShaping));
    return format;
}

QFont forPaper(QFont font) {
    font = sizedInPoints(font);
    font.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::PreferNoShaping));
    return font;
}

class HorizontalPages : public Pages {
public:
    HorizontalPages(const QTextDocument& doc, QPaintDevice& device, const QRectF& area, const Setup& setup)
        : device_(device), area_(area), body_(bodyArea(area, device, setup)), setup_(setup) {
        const QFont base = forPaper(doc.defaultFont());
        // The editor's wrapping: at a break where one is allowed, anywhere in
        // a word too long for the line.
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        option.setTabStopDistance(doc.defaultTextOption().tabStopDistance() * device.logicalDpiX() / 96.0);
        const qreal width = std::max<qreal>(1, body_.width());
        pages_.emplace_back();
        qreal y = 0;
        for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
            // Text takes what its formats leave open from the document's
            // font, as in the editor; an empty paragraph is as high as its
            // own format says.
            const QFont font = block.length() > 1 ? base : forPaper(block.charFormat().font()).resolve(base);
            auto layout = std::make_unique<QTextLayout>(block.text(), font, &device);
            QList<QTextLayout::FormatRange> ranges;
            for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment f = it.fragment();
                if (f.isValid())
                    ranges.append({f.position() - block.position(), f.length(), forPaper(f.charFormat())});
            }
            layout->setFormats(ranges);
            layout->setTextOption(option);
            layout->setCacheEnabled(true);
            layout->beginLayout();
            qreal inBlock = 0;
            for (QTextLine line = createLine(*layout, width); line.isValid(); line = createLine(*layout, width)) {
                line.setPosition(QPointF(0, inBlock));
                inBlock += line.height();
            }
            layout->endLayout();
            for (int i = 0; i < layout->lineCount(); ++i) {
                const qreal height = layout->lineAt(i).height();
                // A line that does not fit goes on the next page, unless it
                // would not fit on any.
                if (y > 0 && y + height > body_.height()) {
                    pages_.emplace_back();
                    y = 0;
                }
                pages_.back().push_back({layout.get(), i, y});
                y += height;
            }
            layouts_.push_back(std::move(layout));
        }
    }

    int count() const override { return int(pages_.size()); }

    void paint(QPainter& painter, int index) const override {
        if (index < 0 || index >= count()) return;
        painter.save();
        painter.setPen(Qt::black);
        for (const Placed& placed : pages_[size_t(index)]) {
            const QTextLine line = placed.layout->lineAt(placed.line);
            line.draw(&painter, QPointF(body_.left(), body_.top() + placed.y - line.y()));
        }
        painter.restore();
        drawHeaderAndFooter(painter, device_, area_, setup_, index, count());
    }

private:
    struct Placed {
        const QTextLayout* layout;
        int line;
        qreal y;  // from the top of the body
    };

    QPaintDevice& device_;
    QRectF area_;
    QRectF body_;
    Setup setup_;
    std::vector<std::unique_ptr<QTextLayout>> layouts_;
    std::vector<std::vector<Placed>> pages_;
};

} // namespace

std::unique_ptr<Pages> horizontal(const QTextDocument& doc, QPaintDevice& device, const QRectF& area,
                                  const Setup& setup) {
    return std::make_unique<HorizontalPages>(doc, device, area, setup);
}

} // namespace tess::pages
