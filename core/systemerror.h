#pragma once
// The system's reason for a failed file operation, as the messages show it:
// in Japanese with the system's own words beside it, for example
// "ディスクの空き容量が足りません (No space left on device)".  A reason without
// a Japanese text here is shown in the system's words alone.

#include <QString>

namespace tess {

// From an errno value.
QString systemErrorText(int error);
// From the system's text for one (what QFile::errorString() gives).
QString systemErrorText(const QString& systemText);

} // namespace tess
