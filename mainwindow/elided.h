#pragma once
// A heading and a flat button whose one line of text is cut at its end with
// "…" when it does not fit, instead of being centred and clipped at both
// ends.  text() stays the whole text; whoever sets it also sets the tooltip.

#include <QLabel>
#include <QToolButton>

namespace tess {

class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    // The text as drawn: whole when it fits, else cut at the end.
    QString shownText() const;
    // Any width: a long text is cut, it never holds its panel wide.
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The caption drawn from the left; a "&&" in text() shows as "&".
class ElidedToolButton : public QToolButton {
    Q_OBJECT
public:
    using QToolButton::QToolButton;
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tess
