#include "look.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
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
        // Only the enabled look: a disabled widget keeps the style's greyed
        // text, so that it looks disabled.
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            pal.setColor(group, QPalette::WindowText, text);
            pal.setColor(group, QPalette::ButtonText, text);
            pal.setColor(group, QPalette::Text, text);
        }
    }
    w->setPalette(pal);
}

void centreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

} // namespace tess::look
