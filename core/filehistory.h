#pragma once
// The file history: 50 places, place 1 the newest, filled from place 1 with no
// gaps.  Entries are document paths exactly as the document-path field holds
// them (a bare name for the program folder, a full path otherwise).

#include <QString>
#include <QStringList>

#include <array>

namespace tess {

class SettingsFile;

class FileHistory {
public:
    static constexpr int kPlaces = 50;

    // Place i, 1 to 50; other numbers read as empty and are not written.
    const QString& place(int i) const;
    void setPlace(int i, const QString& entry);

    // The non-empty places from 1 to 50, in order.
    QStringList entries() const;
    // The number of non-empty places.
    int count() const;

    // Records `key` at place 1: when it is already in the history, the match
    // with the highest place number moves up and the places above it move
    // down one; otherwise every entry moves down one and place 50 is lost.
    void RirekiSet(const QString& key);

    // Removes the first place holding `key`; the entries below move up and
    // place 50 becomes empty.  False when the key is not in the history.
    bool removeEntry(const QString& key);

    void clear();

    // [OpendFile] "Count" and "Opend1".. of the settings file.  Loading applies
    // every present, non-empty value to its place (a missing key leaves its
    // place unchanged); entries are read whole.  A "Count" above 50 reads
    // places 1 to 50; a "Count" that is not a whole number loads every present
    // key of places 1 to 50, so the next save keeps them (the second form
    // hands the bad text to the caller, which reports it; empty when the count
    // was fine or missing).
    void load(const SettingsFile& settings);
    void load(const SettingsFile& settings, QString* badCount);
    // Writes "Count" and Opend1..OpendCount from the non-empty places in
    // order; keys beyond Count are left as they are.
    void save(SettingsFile& settings) const;

    bool operator==(const FileHistory&) const = default;

private:
    std::array<QString, kPlaces + 1> places_;  // [0] unused, like row 0 of the grid
};

} // namespace tess
