#include "editorzoom.h"

#include "richtext/richtext.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QPlainTextEdit>
#include <QTextCharFormat>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace tess {

namespace zoom {

namespace {
// A wheel notch, in eighths of a degree.
constexpr int kNotch = 120;
} // namespace

int stepped(int percent, int steps) {
    // A zoom between two steps goes to the next step in the direction asked.
    int next = steps > 0 ? (percent / kStep + steps) * kStep : ((percent + kStep - 1) / kStep + steps) * kStep;
    return std::clamp(next, kMinimum, kMaximum);
}

int fromSetting(const QString& value) {
    bool ok = false;
    const int n = value.trimmed().toInt(&ok);
    return ok && n >= kMinimum && n <= kMaximum ? n : kNormal;
}

QString shown(int percent) { return percent == kNormal ? QString() : QStringLiteral("%1%").arg(percent); }

} // namespace zoom

// Never painted on: the layout only measures fonts against it.  It lives
// with the document, which may outlive the editor, so that its layout never
// points at a device that is gone.
class EditorZoom::Device : public QObject, public QPaintDevice {
public:
    explicit Device(QTextDocument* doc) : QObject(doc) { setObjectName(kName); }
    static inline const QString kName = QStringLiteral("tess-zoom-device");

    int dpi = zoom::kNormalDpi;
    QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return dpi;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        default:
            // Width and height: a large page that nothing is clipped to.
            return 1 << 20;
        }
    }
};

EditorZoom::EditorZoom(QPlainTextEdit* editor) : QObject(editor), editor_(editor) { attach(); }

EditorZoom::~EditorZoom() = default;

void EditorZoom::attach() {
    QTextDocument* doc = editor_->document();
    if (!doc) return;
    Device* device = doc->findChild<Device*>(Device::kName, Qt::FindDirectChildrenOnly);
    if (!device) device = new Device(doc);
    const int dpi = int(std::lround(zoom::kNormalDpi * percent_ / 100.0));
    QAbstractTextDocumentLayout* layout = doc->documentLayout();
    bool again = false;
    if (layout->paintDevice() != device || device->dpi != dpi) {
        device->dpi = dpi;
        layout->setPaintDevice(device);
        again = true;
    }
    if (doc->defaultFont().pixelSize() > 0) {
        // Lays every paragraph out again by itself.
        doc->setDefaultFont(sizedInPoints(doc->defaultFont()));
        again = false;
    }
    if (again) doc->markContentsDirty(0, doc->characterCount());
}

void EditorZoom::setPercent(int percent) {
    percent = std::clamp(percent, zoom::kMinimum, zoom::kMaximum);
    if (percent == percent_) return;
    percent_ = percent;
    attach();
    editor_->ensureCursorVisible();
    editor_->viewport()->update();
    emit changed(percent_);
}

void EditorZoom::wheel(int angle) {
    // Touchpads send small turns: they add up to notches.
    wheelRest_ += angle;
    const int notches = wheelRest_ / zoom::kNotch;
    if (notches == 0) return;
    wheelRest_ -= notches * zoom::kNotch;
    setPercent(zoom::stepped(percent_, notches));
}

} // namespace tess
