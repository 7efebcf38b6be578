#pragma once
// The editor state shared by the main window's handlers and the dialogs that
// act on it.  Name and path fields fold to upper case as they are stored:
// group names always, file names and document paths as the path style says.

#include "filehistory.h"
#include "pathstyle.h"

#include <QString>

namespace tess {

namespace flag {
inline const QString kOn = QStringLiteral("ON");             // LblQS: quick-save exit
inline const QString kOff = QStringLiteral("OFF");
inline const QString kStoreWritten = QStringLiteral("o");    // LblGF
inline const QString kNoGroups = QStringLiteral("non");      // LblGF
inline const QString kSet = QStringLiteral("X");             // LblUpdate, LblCS1, LblCS2
inline const QString kPickerOpened = QStringLiteral("P");    // L1
inline const QString kPickerClosed = QStringLiteral("C");    // L1
// LblUpdate while the window is being prepared: any non-empty text keeps
// start-up changes of the editor from adding the modified marker.
inline const QString kStartupPlaceholder = QStringLiteral("LblUpdate");
} // namespace flag

class EditorState {
public:
    explicit EditorState(PathStyle style = PathStyle::native()) : style_(style) {}

    const PathStyle& style() const { return style_; }

    const QString& LblGName() const { return gname_; }
    void setLblGName(const QString& group);
    const QString& LblFName() const { return fname_; }
    void setLblFName(const QString& name);
    const QString& LblFullName() const { return fullName_; }
    void setLblFullName(const QString& path);
    // Scratch field with the path folding: store, then read back folded.
    const QString& UpEdt() const { return upEdt_; }
    void setUpEdt(const QString& text);

    QString LblUpdate = flag::kStartupPlaceholder;
    QString LblQS;
    QString LblGF;
    // The group store on disk holds groups this run could not read: a close
    // neither replaces it nor writes the "no groups" flag over it.
    bool storeKept = false;
    QString LblCS1;
    QString LblCS2;
    QString L1;

    FileHistory GrdR;

private:
    PathStyle style_;
    QString gname_;
    QString fname_;
    QString fullName_;
    QString upEdt_;
};

} // namespace tess
