#pragma once
// The settings file: Windows profile (INI) format in Shift-JIS, read and
// written through SimpleIni.  Values are read with the program's found rule
// (a missing key and an empty value are both "not found"); flag and number
// keys keep their 20-byte read limit, text values are read whole.  The file
// is written whole and atomically by save().

#include <QString>

#include <memory>
#include <optional>

namespace tess {

namespace ini {
// Sections
inline const QString kSystem = QStringLiteral("System");
inline const QString kFrmTSMain = QStringLiteral("FrmTSMain");
inline const QString kGroupFiles = QStringLiteral("GroupFiles");
inline const QString kOpendFile = QStringLiteral("OpendFile");
inline const QString kQuickSave = QStringLiteral("QuickSave");
// Ours: the choices of what this program adds (zoom, printing, search).
inline const QString kTessarine = QStringLiteral("Tessarine");
// [System]
inline const QString kPAL = QStringLiteral("PAL");
inline const QString kALHor = QStringLiteral("ALHor");
inline const QString kALMin = QStringLiteral("ALMin");
inline const QString kPLWidth = QStringLiteral("PLWidth");
inline const QString kPPHeight = QStringLiteral("PPHeight");
// [FrmTSMain]
inline const QString kTop = QStringLiteral("Top");
inline const QString kLeft = QStringLiteral("Left");
inline const QString kHeight = QStringLiteral("Height");
inline const QString kWidth = QStringLiteral("Width");
// [GroupFiles]
inline const QString kFiles = QStringLiteral("Files");
// [OpendFile]
inline const QString kCount = QStringLiteral("Count");
QString opendKey(int place);  // "Opend1" .. "Opend50"
// [QuickSave]
inline const QString kQSSystem = QStringLiteral("System");
inline const QString kModified = QStringLiteral("Modified");
inline const QString kMainFormCaption = QStringLiteral("MainFormCaption");
inline const QString kFileListCaption = QStringLiteral("FileListCaption");
inline const QString kFilePrevewCaption = QStringLiteral("FilePrevewCaption");
inline const QString kGroupName = QStringLiteral("GroupName");
inline const QString kFileName = QStringLiteral("FileName");
inline const QString kFilePath = QStringLiteral("FilePath");
inline const QString kCS1 = QStringLiteral("CS1");
inline const QString kCS2 = QStringLiteral("CS2");
inline const QString kListVisible = QStringLiteral("ListVisible");
inline const QString kPrevewVisible = QStringLiteral("PrevewVisible");
// Ours, beside the keys above: the file list's mode, which the heading alone
// cannot tell (a group may be named like the history's heading).
inline const QString kListMode = QStringLiteral("ListMode");
// Sizes and digests of the three quick-save files (quickcheck.h), written
// with the record so that the restore knows the files belong to it.
inline const QString kQuickSaveCheck = QStringLiteral("QuickSaveCheck");
inline const QString kQuickPrevewCheck = QStringLiteral("QuickPrevewCheck");
inline const QString kQuickListsCheck = QStringLiteral("QuickListsCheck");
// [Tessarine]
inline const QString kZoom = QStringLiteral("Zoom");
// Values
inline const QString kLower = QStringLiteral("Lower");
inline const QString kRaise = QStringLiteral("Raise");
inline const QString kTrue = QStringLiteral("True");
inline const QString kFalse = QStringLiteral("False");
// How a flag is stored.
inline const QString& trueFalse(bool b) { return b ? kTrue : kFalse; }

// Read limits in bytes: at most limit - 1 bytes come back.
constexpr int kShortLimit = 20;
// Text values (paths, captions, names) are read whole.
constexpr int kWhole = 0;
} // namespace ini

struct SettingValue {
    bool found = false;  // at least one character came back
    QString value;
};

class SettingsFile {
public:
    enum class Load {
        Missing,  // no file: nothing was stored yet
        Loaded,
        // The file exists but cannot be read as text at all: unreadable,
        // larger than any settings file the program writes, a NUL byte or
        // UTF-16.  Nothing of it is used: every read gives "not found".  Stray
        // lines and a UTF-8 byte-order mark are not damage: they are skipped.
        Damaged,
    };

    // Loads `path` when it exists.
    explicit SettingsFile(QString path);
    ~SettingsFile();
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    const QString& path() const { return path_; }
    Load load() const { return load_; }
    // Renames a damaged file to "<name>.damaged" (numbered when taken), so
    // that the next save does not overwrite it; the new name, or empty.
    QString setAside();

    // `limit` is a byte count (buffer size): at most limit - 1 bytes come back,
    // never splitting a double-byte character; ini::kWhole reads the value whole.
    SettingValue read(const QString& section, const QString& key, int limit) const;
    // Stores a value in memory (section and key created as needed); save()
    // writes the file.  Every value reads back exactly (storedtext.h), blanks
    // at either end included.
    void write(const QString& section, const QString& key, const QString& value);
    // Writes the whole file atomically.
    bool save(QString* error = nullptr);

private:
    struct Impl;
    QString path_;
    Load load_ = Load::Missing;
    std::unique_ptr<Impl> impl_;
};

// Decimal integer conversion of a settings value (an optional sign and
// digits, nothing else); nullopt when the value is not a whole number.
std::optional<int> toInteger(const QString& value);

// Why a value is not a usable decimal integer: "整数ではありません", or
// "大きすぎます" for digits beyond the integer range.
QString notANumberReason(const QString& value);

// A value as a message shows it: at most 30 characters, control characters
// and bytes that were not Shift-JIS shown as U+FFFD.
QString shownValue(const QString& value);

// The message for a settings value that is not a whole number: the file, the
// section and key, the value and the reason.
QString badNumberMessage(const QString& file, const QString& section, const QString& key,
                         const QString& value);

// The message for a damaged settings file, kept aside as `keptAs`.
QString damagedSettingsMessage(const QString& file, const QString& keptAs);

} // namespace tess
