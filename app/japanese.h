#pragma once
// The whole interface is Japanese: Qt's own dialogs and texts too, whatever
// the desktop's locale.

class QCoreApplication;

namespace tess {

// Loads Qt's Japanese translation and makes Japanese the default locale.
// False when the translation is not installed (the dialogs stay English).
bool installJapanese(QCoreApplication& app);

} // namespace tess
