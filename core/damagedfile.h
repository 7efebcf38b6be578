#pragma once
// A stored file that cannot be read whole is kept aside, never overwritten:
// it is renamed to "<name>.damaged" (a number is added when that name is
// taken) and the user is told once.

#include <QString>

namespace tess {

// Renames the file aside; the new file name (without folder), or empty when
// it could not be renamed.
QString setDamagedFileAside(const QString& path);

// "<what> \"<file>\" が壊れているため読み込みませんでした。" and where the
// damaged file was kept (or that it could not be kept), then `after` when
// given.
QString damagedFileMessage(const QString& what, const QString& file, const QString& keptAs,
                           const QString& after = QString());

// "元のﾌｧｲﾙは \"<keptAs>\" として残してあります。", or that it could not be
// kept when `keptAs` is empty: the line a message about a file set aside
// ends with.
QString keptAsText(const QString& keptAs);

} // namespace tess
