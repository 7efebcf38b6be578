#include "richtext/pages.h"
#include "richtext/richtext.h"
#include "richtext/softbreaks.h"
#include "richtext/verticalpages.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace tess::pages {

namespace {

using vertical::Kind;
using vertical::Unit;

// Room between two columns, in ems of the larger characters of the first.
constexpr qreal kColumnGap = 0.5;
// Japanese faces put their square em box 0.12 em below the baseline and
// 0.88 em above it; cells are that box.
constexpr qreal kEmDescent = 0.12;
// How far small kana move toward the upper right of their cell (they sit
// low in the cell of horizontal text), and 、。 where the font has no
// vertical form for them, in ems: right, up.
constexpr QPointF kSmallKanaShift(0.1, 0.18);
constexpr QPointF kCommaShift(0.55, 0.55);
// Underline and strike-out thickness, and the underline's room beside the
// column, in ems.
constexpr qreal kLineWidth = 1.0 / 16;
constexpr qreal kUnderlineGap = 0.06;

char32_t firstCode(QStringView s)
{
    if (s.size() > 1 && s[0].isHighSurrogate() && s[1].isLowSurrogate()) return QChar::surrogateToUcs4(s[0], s[1]);
    return s[0].unicode();
}

char32_t lastCode(QStringView s)
{
    const qsizetype n = s.size();
    if (n > 1 && s[n - 1].isLowSurrogate() && s[n - 2].isHighSurrogate())
        return QChar::surrogateToUcs4(s[n - 2], s[n - 1]);
    return s[n - 1].unicode();
}

// How one character format is drawn on the device.
struct Style {
    Style(const QTextCharFormat& format, const QFont& base, QPaintDevice& device)
        : font(printFont(format, base, device)), metrics(font, &device),
          em(font.pointSizeF() * device.logicalDpiY() / 72.0),
          color(format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color() : QColor(Qt::black)),
          background(format.hasProperty(QTextFormat::BackgroundBrush) ? format.background() : QBrush()),
          underline(format.fontUnderline() || format.underlineStyle() != QTextCharFormat::NoUnderline),
          strike(format.fontStrikeOut()),
          lineColor(format.underlineColor().isValid() ? format.underlineColor() : color)
    {}

    static QFont printFont(const QTextCharFormat& format, const QFont& base, QPaintDevice& device)
    {
        QFont f = sizedInPoints(format.font().resolve(base));
        // Everything is the format's or the document's: a painter takes
        // what a font leaves unset from the device's own font.
        f.setResolveMask(QFont::AllPropertiesResolved);
        if (f.pointSizeF() <= 0) f.setPointSizeF(10.5);
        // Unshaped text keeps the font's own glyphs for digits and letters:
        // Qt's PDF files name only those, and shaped ones come out of a
        // PDF without their characters.
        f.setStyleStrategy(QFont::StyleStrategy(f.styleStrategy() | QFont::PreferNoShaping));
        // Lines beside the column are drawn here, not across the glyphs.
        f.setUnderline(false);
        f.setStrikeOut(false);
        f.setOverline(false);
        return QFont(f, &device);
    }

    QFont font;
    QFontMetricsF metrics;
    qreal em;
    QColor color;
    QBrush background;
    bool underline;
    bool strike;
    QColor lineColor;
};

class VerticalPages final : public Pages {
public:
    VerticalPages(const QTextDocument& doc, QPaintDevice& device, const QRectF& area, const Setup& setup);
    int count() const override { return int(pageStarts_.size()); }
    void paint(QPainter& painter, int index) const override;

private:
    // One column: the document positions it shows, its right edge and width.
    struct Column {
        int from;
        int to;
        qreal right;
        qreal breadth;
    };
    // From document position `from` on, the text has style `style`.
    struct Run {
        int from;
        int style;
    };
    // A unit waiting in the column being filled.
    struct Placed {
        int from;
        int length;
        qreal advance;
        qreal em;
        vertical::Edges edges;
    };

    int styleOf(int formatIndex);
    void add(const Placed& unit);
    void closeColumn(size_t keep);
    void endParagraph(int position, qreal em);
    void place(int from, int to, qreal breadth);
    qreal drawUnit(QPainter& painter, const Style& style, QStringView s, Kind kind, qreal axis, qreal top) const;

    QString text_;  // the document's text, one character for every position
    std::vector<Run> runs_;
    std::vector<Style> styles_;
    std::vector<Column> columns_;
    std::vector<int> pageStarts_;  // the first column of each page
    QRectF area_;
    QRectF body_;
    Setup setup_;

    // While laying out only.
    const QTextDocument* doc_;
    QPaintDevice* device_;
    QList<QTextFormat> formats_;
    QHash<int, int> styleOfFormat_;
    std::vector<Placed> pending_;
    qreal used_ = 0;
    qreal x_ = 0;
};

VerticalPages::VerticalPages(const QTextDocument& doc, QPaintDevice& device, const QRectF& area, const Setup& setup)
    : area_(area), body_(bodyArea(area, device, setup)), setup_(setup), doc_(&doc), device_(&device),
      formats_(doc.allFormats())
{
    x_ = body_.right();
    pageStarts_.push_back(0);
    text_.reserve(doc.characterCount());
    soft_breaks::Walk walk(doc);
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const int start = b.position();
        const QString blockText = b.text();
        text_ += blockText;
        text_ += QChar::ParagraphSeparator;
        const QStringView view(blockText);
        qsizetype i = 0;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int style = styleOf(f.charFormatIndex());
            if (runs_.empty() || runs_.back().style != style) runs_.push_back({f.position(), style});
            const Style& st = styles_[size_t(style)];
            const qsizetype end = f.position() - start + f.length();
            while (i < end) {
                const Unit u = vertical::unitAt(view, i, end);
                const QStringView s = view.sliced(i, std::min(u.length, view.size() - i));
                if (u.kind == Kind::End) {
                    endParagraph(start + int(i), st.em);
                } else if (u.kind == Kind::Sideways) {
                    const qreal advance = st.metrics.horizontalAdvance(s.toString());
                    if (advance <= body_.height() || s.size() == 1) {
                        add({start + int(i), int(s.size()), advance, st.em, {firstCode(s), lastCode(s)}});
                    } else {
                        // A word longer than a column goes on in the next one.
                        for (qsizetype k = 0; k < s.size();) {
                            const qsizetype n = s[k].isHighSurrogate() && k + 1 < s.size() ? 2 : 1;
                            const QStringView c = s.sliced(k, n);
                            add({start + int(i + k), int(n), st.metrics.horizontalAdvance(c.toString()), st.em,
                                 {firstCode(c), firstCode(c)}});
                            k += n;
                        }
                    }
                } else {
                    add({start + int(i), int(s.size()), st.em, st.em, {firstCode(s), lastCode(s)}});
                }
                i += u.length;
            }
        }
        const int paragraphEnd = start + int(blockText.size());
        const int endStyle = styleOf(b.charFormatIndex());
        if (runs_.empty() || runs_.back().style != endStyle) runs_.push_back({paragraphEnd, endStyle});
        // A soft end is no end: the text flows on in the same column.
        if (!walk.endsSoftly(b)) endParagraph(paragraphEnd, styles_[size_t(endStyle)].em);
    }
    formats_.clear();
    styleOfFormat_.clear();
    doc_ = nullptr;
    device_ = nullptr;
}

int VerticalPages::styleOf(int formatIndex)
{
    const auto found = styleOfFormat_.constFind(formatIndex);
    if (found != styleOfFormat_.constEnd()) return *found;
    const QTextCharFormat format =
        formatIndex >= 0 && formatIndex < formats_.size() ? formats_[formatIndex].toCharFormat() : QTextCharFormat();
    styles_.emplace_back(format, doc_->defaultFont(), *device_);
    const int style = int(styles_.size() - 1);
    styleOfFormat_.insert(formatIndex, style);
    return style;
}

void VerticalPages::add(const Placed& unit)
{
    if (!pending_.empty() && used_ + unit.advance > body_.height()) {
        std::vector<vertical::Edges> edges;
        edges.reserve(pending_.size() + 1);
        for (const Placed& p : pending_) edges.push_back(p.edges);
        edges.push_back(unit.edges);
        closeColumn(size_t(vertical::keepInColumn(edges, qsizetype(pending_.size()))));
    }
    pending_.push_back(unit);
    used_ += unit.advance;
}

void VerticalPages::closeColumn(size_t keep)
{
    qreal breadth = 0;
    for (size_t k = 0; k < keep; ++k) breadth = std::max(breadth, pending_[k].em);
    const Placed& last = pending_[keep - 1];
    place(pending_.front().from, last.from + last.length, breadth);
    pending_.erase(pending_.begin(), pending_.begin() + qsizetype(keep));
    used_ = 0;
    for (const Placed& p : pending_) used_ += p.advance;
}

void VerticalPages::endParagraph(int position, qreal em)
{
    if (pending_.empty()) place(position, position, em);  // an empty paragraph keeps its column
    else closeColumn(pending_.size());
}

void VerticalPages::place(int from, int to, qreal breadth)
{
    const int onPage = int(columns_.size()) - pageStarts_.back();
    if (onPage > 0 && x_ - breadth < body_.left()) {
        pageStarts_.push_back(int(columns_.size()));
        x_ = body_.right();
    }
    columns_.push_back({from, to, x_, breadth});
    x_ -= breadth * (1 + kColumnGap);
}

void VerticalPages::paint(QPainter& painter, int index) const
{
    if (index < 0 || index >= count()) return;
    drawHeaderAndFooter(painter, *painter.device(), area_, setup_, index, count());
    const size_t first = size_t(pageStarts_[size_t(index)]);
    const size_t last = index + 1 < count() ? size_t(pageStarts_[size_t(index) + 1]) : columns_.size();
    const QStringView text(text_);
    painter.save();
    for (size_t c = first; c < last; ++c) {
        const Column& column = columns_[c];
        const qreal axis = column.right - column.breadth / 2;
        qreal top = body_.top();
        auto run = std::upper_bound(runs_.begin(), runs_.end(), column.from,
                                    [](int position, const Run& r) { return position < r.from; });
        if (run != runs_.begin()) --run;
        for (qsizetype i = column.from; i < column.to;) {
            while (std::next(run) != runs_.end() && std::next(run)->from <= i) ++run;
            const qsizetype runEnd = std::next(run) != runs_.end() ? std::next(run)->from : text.size();
            const Unit u = vertical::unitAt(text, i, std::min<qsizetype>(column.to, runEnd));
            if (u.kind != Kind::End)
                top += drawUnit(painter, styles_[size_t(run->style)], text.sliced(i, u.length), u.kind, axis, top);
            i += u.length;
        }
    }
    painter.restore();
}

qreal VerticalPages::drawUnit(QPainter& painter, const Style& style, QStringView s, Kind kind, qreal axis,
                              qreal top) const
{
    const qreal em = style.em;
    QString shown = s.toString();
    const qreal width = style.metrics.horizontalAdvance(shown);
    const qreal advance = kind == Kind::Sideways ? width : em;
    const QRectF cell(axis - em / 2, top, em, advance);
    if (style.background.style() != Qt::NoBrush) painter.fillRect(cell, style.background);
    painter.setFont(style.font);
    painter.setPen(style.color);
    const qreal baseline = top + em * (1 - kEmDescent);
    switch (kind) {
    case Kind::Sideways:
        // A quarter turn clockwise: the baseline runs down the column, the
        // letters' tops to the right, where the em box's top is.
        painter.save();
        painter.translate(axis - em / 2 + em * kEmDescent, top);
        painter.rotate(90);
        painter.drawText(QPointF(0, 0), shown);
        painter.restore();
        break;
    case Kind::Across: {
        painter.save();
        painter.translate(axis, baseline);
        if (width > em) painter.scale(em / width, 1);
        painter.drawText(QPointF(-width / 2, 0), shown);
        painter.restore();
        break;
    }
    case Kind::Upright: {
        const char32_t c = firstCode(s);
        const char32_t form = vertical::verticalForm(c);
        if (form && style.metrics.inFontUcs4(form)) {
            shown.replace(0, c > 0xFFFF ? 2 : 1, QChar(char16_t(form)));
            const qreal w = style.metrics.horizontalAdvance(shown);
            painter.drawText(QPointF(axis - w / 2, baseline), shown);
        } else if (vertical::sitsUpperRight(c)) {
            const QPointF shift = (vertical::isSmallKana(c) ? kSmallKanaShift : kCommaShift) * em;
            painter.drawText(QPointF(axis - width / 2 + shift.x(), baseline - shift.y()), shown);
        } else if (form || vertical::turns(c)) {
            painter.save();
            painter.translate(axis, top + em / 2);
            painter.rotate(90);
            painter.drawText(QPointF(-width / 2, em * (0.5 - kEmDescent)), shown);
            painter.restore();
        } else {
            painter.drawText(QPointF(axis - width / 2, baseline), shown);
        }
        break;
    }
    case Kind::End:
        break;
    }
    if (style.underline || style.strike) {
        QPen pen(style.lineColor, em * kLineWidth);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        if (style.underline) {
            const qreal x = axis + em / 2 + em * kUnderlineGap;
            painter.drawLine(QPointF(x, top), QPointF(x, top + advance));
        }
        if (style.strike) painter.drawLine(QPointF(axis, top), QPointF(axis, top + advance));
    }
    return advance;
}

} // namespace

std::unique_ptr<Pages> vertical(const QTextDocument& doc, QPaintDevice& device, const QRectF& area, const Setup& setup)
{
    return std::make_unique<VerticalPages>(doc, device, area, setup);
}

} // namespace tess::pages
