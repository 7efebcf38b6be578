#include "dialogparts.h"

#include "mainwindow/fonts.h"
#include "mainwindow/look.h"

#include <QPushButton>

namespace tess::dialog_parts {

QFont gothic(int pixels, bool bold) { return fonts::make(fonts::kMsPGothic, pixels, bold); }

QPushButton* boldButton(const QString& name, const QString& text, const QColor& colour, QWidget* parent,
                        const QRect& at) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setFont(gothic(12, true));
    look::setTextColour(b, colour);
    b->setGeometry(at);
    return b;
}

} // namespace tess::dialog_parts
