#pragma once
// Resource paths of the program's pictures (mainwindow/pictures.qrc).  All are
// SVG and load through Qt's SVG image plugin into QPixmap, QImage or QIcon.
//
// The resources live in a static library: call pictures::ensureLoaded() once
// before the first use (the windows that use them do so in their constructors).

#include <QPixmap>
#include <QSize>
#include <QString>

namespace tess::pictures {

// Tool column buttons (25 x 25 buttons, 20 x 20 pictures).
inline const QString kNew = QStringLiteral(":/pictures/new.svg");                    // SpeedButton6
inline const QString kOpen = QStringLiteral(":/pictures/open.svg");                  // SpeedButton7
inline const QString kGroup = QStringLiteral(":/pictures/group.svg");                // SB1
inline const QString kHistory = QStringLiteral(":/pictures/history.svg");            // SpeedButton5
inline const QString kSave = QStringLiteral(":/pictures/save.svg");                  // SpeedButton1
inline const QString kSaveAs = QStringLiteral(":/pictures/saveas.svg");              // SpeedButton8
inline const QString kRegistration = QStringLiteral(":/pictures/registration.svg");  // SpeedButton4
inline const QString kExplorer = QStringLiteral(":/pictures/explorer.svg");          // SpeedButton3
inline const QString kFont = QStringLiteral(":/pictures/font.svg");                  // SpeedButton2
inline const QString kAlarm = QStringLiteral(":/pictures/alarm.svg");                // PAL
inline const QString kAbout = QStringLiteral(":/pictures/about.svg");                // SpeedButton9

// Window strip buttons (15 x 15 buttons, 11 x 11 pictures).
inline const QString kQuickSaveExit = QStringLiteral(":/pictures/quicksaveexit.svg");  // SpeedButton11
inline const QString kCorner = QStringLiteral(":/pictures/corner.svg");                // SpeedButton10

// Decoration.
inline const QString kImage2 = QStringLiteral(":/pictures/image2.svg");            // 18 x 300, bottom of Panel10
inline const QString kEditorStrip = QStringLiteral(":/pictures/editorstrip.svg");  // 120 x 7, Image1 in Panel15
inline const QString kAboutBanner = QStringLiteral(":/pictures/aboutbanner.svg");  // 288 x 87, about box
inline const QString kSaveFolder = QStringLiteral(":/pictures/savefolder.svg");    // 20 x 20, save-as ImgF
inline const QString kSaveInner = QStringLiteral(":/pictures/saveinner.svg");      // 20 x 20, save-as ImgI1
inline const QString kSaveStrip = QStringLiteral(":/pictures/savestrip.svg");      // 16 x 193, save-as Image1
inline const QString kPickerTitle = QStringLiteral(":/pictures/pickertitle.svg");  // 171 x 18, picker Image1
inline const QString kPickerBack = QStringLiteral(":/pictures/pickerback.svg");    // 130 x 205, picker Image12
inline const QString kPickerUp = QStringLiteral(":/pictures/pickerup.svg");        // 19 x 97, picker Image2
inline const QString kPickerDown = QStringLiteral(":/pictures/pickerdown.svg");    // 19 x 97, picker ImgDEnd

// Registers the picture resources; cheap to call more than once.
void ensureLoaded();

// The picture rendered at `size` (its own size when `size` is empty).  A null
// pixmap only when the SVG image plugin is missing.
QPixmap pixmap(const QString& path, QSize size = QSize());

} // namespace tess::pictures
