#pragma once
// Reading the files the program opens: only regular files are read, so that
// a named pipe or a device in a file's place can never block the program
// inside open() or feed it without end, and a file is checked against its
// size limit before any of it is read.

#include <QByteArray>
#include <QString>

class QFile;

namespace tess {

struct RegularFileRead {
    enum class Status {
        Ok,
        Missing,     // no such file (a dangling link included)
        NotRegular,  // a folder, a pipe, a device or a socket
        TooLarge,    // larger than the caller's limit; nothing was read
        Unreadable,  // no permission, a link loop, a read error
    };
    Status status = Status::Missing;
    qint64 size = 0;  // the file's size, for TooLarge
    QString reason;   // the system's reason in Japanese, for NotRegular and Unreadable
    bool ok() const { return status == Status::Ok; }
};

// Opens `path` for reading into `file` when it is a regular file, without
// blocking on anything else.  `limit` < 0 means no limit.
RegularFileRead openRegularFile(const QString& path, QFile& file, qint64 limit = -1);

// Reads the whole regular file into `bytes` (left empty on failure).
RegularFileRead readRegularFile(const QString& path, QByteArray& bytes, qint64 limit = -1);

// "<path>: <reason>" for NotRegular and Unreadable; for TooLarge the size
// and the limit.
QString regularFileProblem(const QString& path, const RegularFileRead& read, qint64 limit);

// A byte count as messages show it: "12,345 バイト" below a megabyte,
// "512 MB" style above.
QString byteCountText(qint64 bytes);

} // namespace tess
