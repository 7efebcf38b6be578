#pragma once
// The colours the windows share, and how a widget takes them.

#include <QColor>

class QWidget;

namespace tess::look {

inline const QColor kNavy(0, 0, 128);
inline const QColor kBlue(0, 0, 255);
inline const QColor kSilver(192, 192, 192);
inline const QColor kGreen(0, 128, 0);
inline const QColor kPurple(128, 0, 128);
inline const QColor kRed(255, 0, 0);

// Sets the background (filled) and the text colour of the enabled widget
// (disabled, it shows the style's disabled text); an invalid colour leaves
// that part alone.
void setColours(QWidget* w, const QColor& background, const QColor& text = QColor());
inline void setTextColour(QWidget* w, const QColor& text) { setColours(w, QColor(), text); }

// Moves a window so that its frame is centred on its screen.
void centreOnScreen(QWidget* window);

} // namespace tess::look
