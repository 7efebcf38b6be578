#include "richtext/pages.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

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
    return setup.vertical ? vertical(doc, device, area, setup) : horizontal(doc, device, area, setup);
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

} // namespace tess::pages
