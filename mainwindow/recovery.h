#pragma once
// Keeps the recovery copy of the editor's document while it has unsaved
// changes: at most `delay` after a change the editor's text and formats are
// taken (a quick list of the chunks of a mirror of the document, kept up to
// date as it changes, on the UI thread), and a worker thread turns them into
// rich text and writes the file atomically, so typing never waits for it.
// Only the run that holds the folder's lock keeps or offers a copy: a second
// copy of the program on the same folder leaves the first one's alone.
// When no copy can be kept (no lock, a write that fails) the user is told,
// once a run.

#include "core/recovery.h"
#include "core/runlock.h"
#include "richtext/richtext.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QPlainTextEdit;
class QTimer;

namespace tess {

namespace recovery_text {
// The question at start-up when the last run left unsaved text.
QString question(const QString& fileName);
// Told once when this run keeps no copy, with the reason under it.
QString unprotected(const QString& reason);
// The reason when another running program holds the folder's copy;
// `owner` is what its lock names ("<pid> <host>"), possibly empty.
QString heldBy(const QString& owner);
// The copy could not be read (`error` says why) or is cut short; where it
// was kept.
QString unreadable(const QString& error, const QString& keptAs);
QString cutShort(const QString& keptAs);
} // namespace recovery_text

class RecoveryCopy : public QObject {
    Q_OBJECT
public:
    // How long after the first unsaved change the copy is taken; the write
    // itself follows on the worker, so the copy stays within two seconds.
    static constexpr int kDelayMs = 1000;

    RecoveryCopy(QPlainTextEdit* editor, const QString& folderPath, std::function<recovery::Fields()> fields,
                 QObject* parent = nullptr);
    ~RecoveryCopy() override;

    // True when this run holds the folder's lock.
    bool owned() const { return owned_; }
    QString path() const { return path_; }
    QString declinedPath() const { return declinedPath_; }
    QString saveMarkPath() const { return markPath_; }

    // At start-up, before the copy is offered: a save the last run was
    // killed in the middle of, when it reached its file, leaves the copy
    // older than the file; that copy goes.
    void settleInterruptedSave();
    // Copies are kept from now on (after the start-up has offered the last
    // run's copy); without the lock the user is told instead.
    void arm();
    // Around a save of the document to `target`: the save marks the copy
    // before it writes, and a save that was written ends the copy.
    void saving(const QString& target);
    void saved(bool written);
    // The document is clean or closed: no copy is pending and the file is
    // gone when this returns.
    void discard();
    // A close went ahead: no copy, and the folder's lock is given back.
    void release();
    // The close did not end the run after all (a log-off that went no
    // further): copies are kept again when the lock is still to be had.
    void resume();
    // Takes a copy now (when the document is modified) instead of at the
    // timer, making at once whatever of the mirror is still to be made.
    void copyNow();
    // Waits until every copy taken so far is on disk.
    void flush();

    void setDelay(int ms);
    // UI-thread time of the last copy taken, in nanoseconds.
    qint64 lastSnapshotNs() const { return lastSnapshotNs_; }
    // Copies written so far and the last write's error (empty when it worked).
    int written() const;
    QString lastError() const;

signals:
    // Once a run: copies are not kept, and why (a message for the user).
    void unprotected(const QString& message);

private:
    struct Job;
    void changed();
    void warm();
    void copyWhenMirrored();
    void worker();
    bool takeLock();
    void tellOnce(const QString& reason);

    QPlainTextEdit* editor_;
    QString path_;
    QString declinedPath_;
    QString markPath_;
    std::function<recovery::Fields()> fields_;
    RunLock lock_;
    bool owned_ = false;
    bool armed_ = false;
    // Why the lock could not be had, for the user.
    QString lockProblem_;
    bool told_ = false;
    bool marked_ = false;
    QTimer* timer_ = nullptr;
    // Makes the mirror's chunks between events while the document has
    // unsaved changes, so that the copy's snapshot has little left to do.
    QTimer* warmer_ = nullptr;
    RichTextRuns runs_;
    // The timer came while the mirror was far from made: the warmer takes
    // the copy once it is.
    bool copyDue_ = false;
    qint64 lastSnapshotNs_ = 0;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::unique_ptr<Job> pending_;
    bool busy_ = false;
    bool stop_ = false;
    // Set while a copy being written is no longer wanted: the writer stops
    // at its next piece instead of finishing a large document's copy.
    std::atomic<bool> abandon_{false};
    int written_ = 0;
    QString lastError_;
    std::thread thread_;
};

} // namespace tess
