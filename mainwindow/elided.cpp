#include "elided.h"

#include <QPainter>
#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace tess {

namespace {
constexpr int kButtonPadding = 3;  // between a slot's edge and its caption
} // namespace

QString ElidedLabel::shownText() const {
    const int width = contentsRect().width() - 2 * margin() - std::max(0, indent());
    return fontMetrics().elidedText(text(), Qt::ElideRight, std::max(0, width));
}

QSize ElidedLabel::minimumSizeHint() const { return {0, QLabel::minimumSizeHint().height()}; }

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    if (indent() > 0) area.adjust(indent(), 0, 0, 0);
    style()->drawItemText(&painter, area, int(alignment()), palette(), isEnabled(), shownText(), foregroundRole());
}

QString ElidedToolButton::shownText() const {
    const QString whole = QString(text()).replace(QStringLiteral("&&"), QStringLiteral("&"));
    return fontMetrics().elidedText(whole, Qt::ElideRight, std::max(0, width() - 2 * kButtonPadding));
}

void ElidedToolButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    // The style draws the button; the caption is ours.
    option.text.clear();
    painter.drawComplexControl(QStyle::CC_ToolButton, option);
    painter.drawItemText(rect().adjusted(kButtonPadding, 0, -kButtonPadding, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         palette(), isEnabled(), shownText(), QPalette::ButtonText);
}

} // namespace tess
