#include "recovery.h"

#include "core/atomicfile.h"
#include "core/regularfile.h"
#include "richtext/richtext.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTimer>

#include <utility>

namespace tess {

namespace {
constexpr qint64 kWarmStepNs = 4'000'000;
// What a copy's snapshot may make of the mirror itself (a few chunks, a
// millisecond or two); more is left to the warmer, a step at a time.  Typing
// does not wake the warmer: it would make the same chunk again at every key.
constexpr qsizetype kMadeBySnapshot = 4 * RichTextRuns::kChunkChars;
// A save mark holds a path and a few numbers.
constexpr qint64 kMaxSaveMarkBytes = 64 * 1024;
} // namespace

struct RecoveryCopy::Job {
    RichTextSnapshot text;
    recovery::Fields fields;
};

RecoveryCopy::RecoveryCopy(QPlainTextEdit* editor, const QString& folderPath,
                           std::function<recovery::Fields()> fields, QObject* parent)
    : QObject(parent),
      editor_(editor),
      path_(QDir(folderPath).filePath(recovery::kFileName)),
      declinedPath_(QDir(folderPath).filePath(recovery::kDeclinedFileName)),
      markPath_(QDir(folderPath).filePath(recovery::kSaveMarkFileName)),
      fields_(std::move(fields)),
      lock_(QDir(folderPath).filePath(recovery::kLockFileName)) {
    owned_ = takeLock();

    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    timer_->setInterval(kDelayMs);
    connect(timer_, &QTimer::timeout, this, &RecoveryCopy::copyWhenMirrored);
    warmer_ = new QTimer(this);
    warmer_->setInterval(0);
    connect(warmer_, &QTimer::timeout, this, &RecoveryCopy::warm);
    // The editor forwards the signal of whatever document it shows, also
    // after a load has given it a new one.
    connect(editor_, &QPlainTextEdit::textChanged, this, &RecoveryCopy::changed);
    if (owned_) thread_ = std::thread([this] { worker(); });
}

RecoveryCopy::~RecoveryCopy() {
    {
        std::lock_guard<std::mutex> hold(mutex_);
        stop_ = true;
        abandon_ = true;
        pending_.reset();
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void RecoveryCopy::setDelay(int ms) { timer_->setInterval(ms); }

bool RecoveryCopy::takeLock() {
    switch (lock_.tryLock()) {
    case RunLock::State::Owned:
        lockProblem_.clear();
        return true;
    case RunLock::State::Held:
        lockProblem_ = recovery_text::heldBy(readLockOwner(lock_.path()));
        return false;
    default:
        lockProblem_ = lock_.error();
        return false;
    }
}

void RecoveryCopy::tellOnce(const QString& reason) {
    if (std::exchange(told_, true)) return;
    emit unprotected(recovery_text::unprotected(reason));
}

void RecoveryCopy::arm() {
    armed_ = owned_;
    if (!owned_) tellOnce(lockProblem_);
}

void RecoveryCopy::settleInterruptedSave() {
    if (!owned_) return;
    QByteArray bytes;
    const RegularFileRead read = readRegularFile(markPath_, bytes, kMaxSaveMarkBytes);
    if (read.status == RegularFileRead::Status::Missing) return;
    // A mark that cannot be read proves nothing: the copy stays offered.
    if (const std::optional<recovery::SaveMark> mark = recovery::readSaveMark(bytes);
        mark && recovery::saveLanded(*mark))
        QFile::remove(path_);
    QFile::remove(markPath_);
}

void RecoveryCopy::saving(const QString& target) {
    if (!armed_) return;
    // Written whole and synced before the document is: after a kill the
    // next start finds it whenever the save may have reached the file.  A
    // mark that cannot be written leaves the save to go ahead unmarked.
    marked_ = writeFileAtomically(markPath_,
                                  recovery::saveMarkBytes({target, recovery::stampOf(target)}), nullptr,
                                  FileUse::ProgramState);
}

void RecoveryCopy::saved(bool written) {
    if (written) {
        // The copy first, then the mark: a kill between the two leaves a
        // mark without a copy, which means nothing.
        discard();
        return;
    }
    if (std::exchange(marked_, false)) QFile::remove(markPath_);
}

void RecoveryCopy::changed() {
    if (!armed_) return;
    // Not restarted by later changes: steady typing must not put the copy off.
    if (!timer_->isActive()) timer_->start();
    if (!warmer_->isActive() && (runs_.document() != editor_->document() || runs_.unmade() > kMadeBySnapshot))
        warmer_->start();
}

void RecoveryCopy::warm() {
    // A clean document needs no copy, nor a mirror to take one from.
    if (!armed_ || !editor_->document()->isModified()) {
        runs_.follow(nullptr);
        warmer_->stop();
        copyDue_ = false;
        return;
    }
    // A file going in has the turns to itself; the mirror follows it after.
    if (textPending(*editor_->document())) return;
    runs_.follow(editor_->document());
    // A few milliseconds per turn of the event loop: typing stays smooth.
    if (!runs_.warm(kWarmStepNs)) return;
    warmer_->stop();
    if (std::exchange(copyDue_, false)) copyNow();
}

void RecoveryCopy::copyWhenMirrored() {
    if (!armed_) return;
    if (!editor_->document()->isModified()) {
        discard();
        return;
    }
    // A mirror far from made (a document just loaded, a large paste) is
    // finished by the warmer first, in small steps, and the copy follows.
    runs_.follow(editor_->document());
    if (runs_.unmade() <= kMadeBySnapshot || runs_.warm(kWarmStepNs)) {
        copyNow();
        return;
    }
    copyDue_ = true;
    if (!warmer_->isActive()) warmer_->start();
}

void RecoveryCopy::copyNow() {
    timer_->stop();
    copyDue_ = false;
    if (!armed_) return;
    const QTextDocument* doc = editor_->document();
    if (!doc->isModified()) {
        discard();
        return;
    }
    // A file still going in is copied once it is all in: taking it now
    // would hold the window until then.
    if (textPending(*doc)) {
        timer_->start();
        return;
    }
    QElapsedTimer clock;
    clock.start();
    runs_.follow(editor_->document());
    auto job = std::make_unique<Job>(Job{runs_.snapshot(), fields_()});
    {
        // A copy still waiting is simply replaced by the newer one.
        std::lock_guard<std::mutex> hold(mutex_);
        pending_ = std::move(job);
    }
    wake_.notify_one();
    lastSnapshotNs_ = clock.nsecsElapsed();
}

void RecoveryCopy::worker() {
    std::unique_lock<std::mutex> hold(mutex_);
    for (;;) {
        wake_.wait(hold, [this] { return stop_ || pending_; });
        if (stop_) return;
        std::unique_ptr<Job> job = std::move(pending_);
        busy_ = true;
        hold.unlock();

        QString error;
        // Written out as it is made: the rich text of a large document is
        // several times its size and is never held whole.
        bool first = true;
        writeFileAtomicStreamed(
            path_,
            [&](const AtomicSink& put) {
                return writeRichText(job->text, [&](QByteArrayView piece) {
                    if (abandon_.load()) return false;
                    if (!std::exchange(first, false)) return put(piece);
                    return recovery::putWithFields(piece, job->fields, put);
                });
            },
            &error, FileUse::ProgramState);
        job.reset();
        if (abandon_.load()) error.clear();
        if (!error.isEmpty())
            QMetaObject::invokeMethod(this, [this, error] { tellOnce(error); }, Qt::QueuedConnection);

        hold.lock();
        busy_ = false;
        ++written_;
        lastError_ = error;
        idle_.notify_all();
    }
}

void RecoveryCopy::flush() {
    std::unique_lock<std::mutex> hold(mutex_);
    idle_.wait(hold, [this] { return stop_ || (!busy_ && !pending_); });
}

void RecoveryCopy::discard() {
    timer_->stop();
    warmer_->stop();
    copyDue_ = false;
    runs_.follow(nullptr);
    if (!armed_) return;
    {
        // A write under way is given up (its old file stays until removed
        // here) and waited for, or it would bring the file back.
        std::unique_lock<std::mutex> hold(mutex_);
        pending_.reset();
        abandon_ = true;
        idle_.wait(hold, [this] { return stop_ || !busy_; });
        abandon_ = false;
    }
    QFile::remove(path_);
    if (std::exchange(marked_, false)) QFile::remove(markPath_);
}

void RecoveryCopy::release() {
    discard();
    armed_ = false;
    if (owned_) lock_.unlock();
    owned_ = false;
}

void RecoveryCopy::resume() {
    if (!owned_) owned_ = takeLock();
    if (owned_ && !thread_.joinable()) thread_ = std::thread([this] { worker(); });
    arm();
}

int RecoveryCopy::written() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return written_;
}

QString RecoveryCopy::lastError() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return lastError_;
}

} // namespace tess
