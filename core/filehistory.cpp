#include "filehistory.h"

#include "settingsfile.h"

namespace tess {

const QString& FileHistory::place(int i) const {
    static const QString empty;
    if (i < 1 || i > kPlaces) return empty;
    return places_[i];
}

void FileHistory::setPlace(int i, const QString& entry) {
    if (i < 1 || i > kPlaces) return;
    places_[i] = entry;
}

QStringList FileHistory::entries() const {
    QStringList out;
    for (int i = 1; i <= kPlaces; ++i)
        if (!places_[i].isEmpty()) out.append(places_[i]);
    return out;
}

int FileHistory::count() const {
    int n = 0;
    for (int i = 1; i <= kPlaces; ++i)
        if (!places_[i].isEmpty()) ++n;
    return n;
}

void FileHistory::RirekiSet(const QString& key) {
    // A never-saved document has no path; recording it would put a hole at
    // the top of the history.
    if (key.isEmpty()) return;
    int from = kPlaces;
    for (int i = kPlaces; i >= 1; --i) {
        if (places_[i] == key) {
            from = i;
            break;
        }
    }
    for (int k = from; k >= 2; --k) places_[k] = places_[k - 1];
    places_[1] = key;
}

bool FileHistory::removeEntry(const QString& key) {
    if (key.isEmpty()) return false;
    for (int i = 1; i <= kPlaces; ++i) {
        if (places_[i] != key) continue;
        for (int k = i; k < kPlaces; ++k) places_[k] = places_[k + 1];
        places_[kPlaces].clear();
        return true;
    }
    return false;
}

void FileHistory::clear() {
    for (auto& p : places_) p.clear();
}

void FileHistory::load(const SettingsFile& settings) { load(settings, nullptr); }

void FileHistory::load(const SettingsFile& settings, QString* badCount) {
    if (badCount) badCount->clear();
    const SettingValue countValue = settings.read(ini::kOpendFile, ini::kCount, ini::kShortLimit);
    if (!countValue.found) return;
    const std::optional<int> count = toInteger(countValue.value);
    // A damaged count must not cost the history: the next close writes back
    // whatever was loaded, so read every place whose key is there.
    if (!count && badCount) *badCount = countValue.value;
    const int last = count ? std::min(*count, kPlaces) : kPlaces;
    for (int i = 1; i <= last; ++i) {
        const SettingValue v = settings.read(ini::kOpendFile, ini::opendKey(i), ini::kWhole);
        if (v.found) places_[i] = v.value;
    }
}

void FileHistory::save(SettingsFile& settings) const {
    // Written from the non-empty places in order, so the keys stay contiguous
    // even if a damaged settings file once left a gap.
    const QStringList list = entries();
    settings.write(ini::kOpendFile, ini::kCount, QString::number(list.size()));
    for (int i = 0; i < list.size(); ++i) settings.write(ini::kOpendFile, ini::opendKey(i + 1), list[i]);
}

} // namespace tess
