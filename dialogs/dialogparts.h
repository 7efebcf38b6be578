#pragma once
// Small pieces the group dialogs build their windows from.

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QPushButton;
class QWidget;

namespace tess::dialog_parts {

// "ＭＳ Ｐゴシック" at `pixels`.
QFont gothic(int pixels, bool bold = false);

// A bold 12-pixel button in `colour` at `at`.
QPushButton* boldButton(const QString& name, const QString& text, const QColor& colour, QWidget* parent,
                        const QRect& at);

} // namespace tess::dialog_parts
