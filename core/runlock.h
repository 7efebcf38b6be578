#pragma once
// The lock a running program holds on a file of its program folder, so that
// one run at a time owns what the folder keeps for it (the recovery copy).
//
// The lock is a kernel lock (flock) on an open file, not the file's content:
// the kernel gives it back when the process ends in any way, so a lock left
// by a killed run is free again at once, whatever its file holds.  A file in
// the lock's place that is not a plain file we can open (a folder, a
// symbolic link, a pipe, a file without permissions) is taken over: removed
// or set aside, and made again.  The content only names the owner for
// messages, and is never read past a few hundred bytes.

#include <QString>

#include <memory>

namespace tess {

class RunLock {
public:
    enum class State {
        Free,      // not tried, or given back
        Owned,     // this run holds it
        Held,      // a running program holds it
        Failed,    // no lock can be made there; see error()
    };

    explicit RunLock(QString path);
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    // Takes the lock when nothing running holds it.
    State tryLock();
    // Gives the lock back and removes its file.
    void unlock();

    State state() const { return state_; }
    bool owned() const { return state_ == State::Owned; }
    QString path() const { return path_; }
    // For Failed: "<path>: <the system's reason>".
    QString error() const { return error_; }

private:
    QString path_;
    State state_ = State::Free;
    QString error_;
    struct Handle;
    std::unique_ptr<Handle> handle_;
};

// The most of a lock file ever read.
constexpr qint64 kLockOwnerBytes = 256;

// The owner a lock file names ("<pid> <host>"), read from its first
// kLockOwnerBytes only; empty when it names none.
QString readLockOwner(const QString& path);

} // namespace tess
