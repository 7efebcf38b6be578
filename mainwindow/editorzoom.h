#pragma once
// The editor's zoom: from 50 % to 400 %, for the view only.  The document's
// formats, its default font and the file stay as they are: the editor's
// layout measures fonts against a device of its own whose resolution is the
// zoom, so every point size is drawn larger or smaller.  Pixel sizes would
// not follow, so the editor's font sizes are held in points (as the files
// hold them: a pixel is three quarters of a point there too).

#include <QObject>
#include <QString>

class QPlainTextEdit;
class QTextCharFormat;
class QFont;

namespace tess {

namespace zoom {
constexpr int kMinimum = 50;
constexpr int kMaximum = 400;
constexpr int kNormal = 100;
constexpr int kStep = 10;
// The resolution that fonts are measured at without zoom: the files' own
// (a pixel is three quarters of a point).
constexpr int kNormalDpi = 96;

// `percent` moved by `steps` steps and kept within the range.
int stepped(int percent, int steps);
// A stored zoom, or 100 % when the value is not a zoom in the range.
int fromSetting(const QString& value);
// What the status bar shows: "150%"; empty at 100 %.
QString shown(int percent);
} // namespace zoom

class EditorZoom : public QObject {
    Q_OBJECT
public:
    // Takes over `editor`'s document layout's measuring device; call
    // attach() again whenever the editor is given another document.
    explicit EditorZoom(QPlainTextEdit* editor);
    ~EditorZoom() override;

    int percent() const { return percent_; }
    void setPercent(int percent);
    void zoomIn() { setPercent(zoom::stepped(percent_, 1)); }
    void zoomOut() { setPercent(zoom::stepped(percent_, -1)); }
    void reset() { setPercent(zoom::kNormal); }
    // A Ctrl+wheel turn of `angle` eighths of a degree (120 a notch).
    void wheel(int angle);

    // Puts the device under the editor's current document and its default
    // font in points; lays the text out again when anything changed.
    void attach();

signals:
    void changed(int percent);

private:
    class Device;
    QPlainTextEdit* editor_;
    int percent_ = zoom::kNormal;
    int wheelRest_ = 0;
};

} // namespace tess
