#pragma once
// What ties the quick-save files to the record in the settings file: each
// file's size and digest, written into the settings file after the files
// themselves.  A file that does not match its entry was written by a
// quick-save exit that never completed (or was damaged since), so it is not
// the text the recorded caption and path belong to.

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace tess::quickcheck {

// "<size> <MD5 in hex>".
QString of(QByteArrayView bytes);

// The size an entry records; nullopt for no entry or one that is not ours.
std::optional<qint64> recordedSize(const QString& entry);

enum class Match {
    NoEntry,  // a settings file from before the entries were written
    Same,
    Differs,
};
Match compare(const QString& entry, QByteArrayView bytes);

} // namespace tess::quickcheck
