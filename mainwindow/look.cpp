#include "look.h"

#include <QPalette>
#include <QWidget>

namespace tess::look {

void setColours(QWidget* w, const QColor& background, const QColor& text) {
    QPalette pal = w->palette();
    if (background.isValid()) {
        pal.setColor(QPalette::Window, background);
        pal.setColor(QPalette::Base, background);
        w->setAutoFillBackground(true);
    }
    if (text.isValid()) {
        pal.setColor(QPalette::WindowText, text);
        pal.setColor(QPalette::ButtonText, text);
        pal.setColor(QPalette::Text, text);
    }
    w->setPalette(pal);
}

} // namespace tess::look
