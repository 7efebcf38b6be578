#include "richtext/pages.h"

#include <string_view>

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QTextBoundaryFinder>
#include <QTextLayout>

namespace tess::pages {

namespace {

// The header and footer are set small and grey, apart from the text.
constexpr qreal kDecorationPoints = 9.0;
// Room between the header or footer and the text, in points.
constexpr qreal kDecorationGapPoints = 8.0;

QFont decorationFont(QPaintDevice& device)
{
    QFont font(QStringLiteral("Noto Sans CJK JP"));
    font.setPointSizeF(kDecorationPoints);
    // As the text: a name like "report2026.txt" keeps its digits in the PDF.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return QFont(font, &device);
}

qreal pointsToPixels(qreal points, QPaintDevice& device) { return points * device.logicalDpiY() / 72.0; }

qreal decorationHeight(QPaintDevice& device)
{
    return QFontMetricsF(decorationFont(device), &device).height() + pointsToPixels(kDecorationGapPoints, device);
}

} // namespace

std::unique_ptr<Pages> layOut(const QTextDocument& doc, QPaintDevice& device, const QRectF& area,
                              const Setup& setup)
{
    if (setup.vertical)
        if (std::unique_ptr<Pages> pages = vertical(doc, device, area, setup)) return pages;
    return horizontal(doc, device, area, setup);
}

QRectF bodyArea(const QRectF& area, QPaintDevice& device, const Setup& setup)
{
    QRectF body = area;
    const qreal room = decorationHeight(device);
    if (setup.header) body.setTop(body.top() + room);
    if (setup.footer) body.setBottom(body.bottom() - room);
    return body;
}

QString footerText(int index, int count)
{
    return QStringLiteral("%1 / %2").arg(index + 1).arg(count);
}

void drawHeaderAndFooter(QPainter& painter, QPaintDevice& device, const QRectF& area, const Setup& setup,
                         int index, int count)
{
    if (!setup.header && !setup.footer) return;
    painter.save();
    const QFont font = decorationFont(device);
    painter.setFont(font);
    painter.setPen(Qt::darkGray);
    const qreal line = QFontMetricsF(font, &device).height();
    if (setup.header) {
        const QRectF box(area.left(), area.top(), area.width(), line);
        const QString shown = QFontMetricsF(font, &device).elidedText(setup.title, Qt::ElideMiddle, box.width());
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, shown);
    }
    if (setup.footer) {
        const QRectF box(area.left(), area.bottom() - line, area.width(), line);
        painter.drawText(box, Qt::AlignHCenter | Qt::AlignVCenter, footerText(index, count));
    }
    painter.restore();
}

namespace {

// Characters no line begins with: closing brackets and marks, the sentence
// and comma marks, the prolonged sound and repeat marks, the small kana.
// Unicode's line breaking already keeps most of them off a line's start;
// the list also holds where a break has to be made without it.
constexpr std::u16string_view kNoLineStart =
    u"。、，．・：；？！ー゛゜ヽヾゝゞ々〻〆"
    u"」』）】〕〉》］｝〙〗’”｣､｡･ｰ"
    u"ぁぃぅぇぉっゃゅょゎゕゖァィゥェォッャュョヮヵヶㇰㇱㇲㇳㇴㇵㇶㇷㇸㇹㇺㇻㇼㇽㇾㇿｧｨｩｪｫｯｬｭｮ"
    u")]}.,!?:;";
// Characters no line ends with: opening brackets.
constexpr std::u16string_view kNoLineEnd = u"「『（【〔〈《［｛〘〖‘“｢([{";

// A break before text[at] that the rules above forbid.
bool forbiddenBreak(const QString& text, qsizetype at) {
    if (at <= 0 || at >= text.size()) return false;
    if (!mayStartLine(text.at(at).unicode())) return true;
    qsizetype last = at - 1;
    while (last > 0 && text.at(last).isSpace()) --last;
    return !mayEndLine(text.at(last).unicode());
}

} // namespace

bool mayStartLine(char32_t c) { return c > 0xFFFF || kNoLineStart.find(char16_t(c)) == std::u16string_view::npos; }

bool mayEndLine(char32_t c) { return c > 0xFFFF || kNoLineEnd.find(char16_t(c)) == std::u16string_view::npos; }

QTextLine createLine(QTextLayout& layout, qreal width) {
    QTextLine line = layout.createLine();
    if (!line.isValid()) return line;
    line.setLineWidth(width);
    const QString& text = layout.text();
    const int start = line.textStart();
    const int end = start + line.textLength();
    if (!forbiddenBreak(text, end)) return line;
    // Only this line's breaks: a paragraph may be long, and forced breaks
    // come line after line.
    const QString shown = text.mid(start, end - start + 1);
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, shown);
    for (int at = end - 1; at > start; --at) {
        breaks.setPosition(at - start);
        if (!breaks.isAtBoundary() || forbiddenBreak(text, at)) continue;
        line.setNumColumns(at - start, width);
        if (line.textStart() + line.textLength() == at) return line;
    }
    line.setLineWidth(width);
    return line;
}


} // namespace tess::pages
