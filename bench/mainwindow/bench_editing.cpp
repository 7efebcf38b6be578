// Editing in the real main window, headless, driven by key events.
//
//   bench_editing                 every document, each in a fresh process
//   bench_editing --doc NAME      one document: empty, 10mb, 50mb, lines, wrapped,
//                                 line1mb, line8mb, line50mb, slot, 256mb
//   TESS_STALLS=1                 also prints every stall over 15 ms, with its time
//
// Documents (generated, fixed seed): 10mb and 50mb are Japanese Shift-JIS
// plain text of about 80-byte paragraphs; lines is 460,000 one-character
// lines; wrapped is 10 MB of about 200-byte paragraphs that each wrap into
// two display lines; line1mb, line8mb and line50mb are the same text as one
// line without a line break, saved again after the first key to check that
// the file keeps its one line.  For each: the open (from the click to the first key
// answered), the longest event-loop stall in the two seconds after it, how
// long after the open every display line is counted exactly, with the line
// Ctrl+End shows straight after the open and once exact, one key typed at
// the end, in the middle and at the start, Up, Down, PageDown and Ctrl+End
// (median of repeated presses, each with its repaint), the peak memory of
// the process beside the file size, for 50mb a plain-text save beside iconv
// converting the same text, window resizes from idle (the first, then the
// median and the longest of five more) with the memory after, and for 10mb
// and 50mb the recovery copy: after a key, and after edits of every kind.
// slot is 4 MB of text whose whole selection is clip-saved (about 28 MB of
// rich text), then the slot opened and pasted: the stall of each.  256mb
// only opens: the first key, how long the rest takes to go in, the longest
// stall meanwhile, and the peak memory.

#include "mainwindow/TSMain.h"
#include "mainwindow/editorwidget.h"
#include "mainwindow/prompter.h"
#include "mainwindow/recovery.h"
#include "richtext/documentfile.h"
#include "richtext/richtext.h"

#include "core/cp932.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

namespace {

class BenchPrompter : public tess::Prompter {
public:
    QString file;
    void message(const QString& text) override { std::fprintf(stderr, "message: %s\n", qPrintable(text)); }
    bool askYesNo(const QString&) override { return false; }
    Answer askYesNoCancel(const QString&) override { return Answer::No; }
    bool askOkCancel(const QString&) override { return false; }
    void errorBox(const QString& text) override { std::fprintf(stderr, "error: %s\n", qPrintable(text)); }
    QString openFile(const QString&) override { return file; }
    std::optional<FontChoice> chooseFont(const FontChoice&) override { return std::nullopt; }
    void showSaveAs() override {}
    void showGroupRegistration() override {}
    void showAbout() override {}
};

QByteArray japaneseText(qsizetype bytes, int shortest = 30, int longest = 48) {
    const QString alphabet = QString::fromUtf8(
        "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"
        "アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホ日本語文書作成編集保存読込表示漢字");
    std::mt19937 rng(20261209);
    std::uniform_int_distribution<int> pick(0, int(alphabet.size()) - 1), len(shortest, longest);
    QByteArray out;
    out.reserve(bytes + 128);
    while (out.size() < bytes) {
        QString paragraph;
        const int n = len(rng);
        for (int i = 0; i < n; ++i) paragraph.append(i % 9 == 8 ? QChar(u' ') : alphabet[pick(rng)]);
        out += tess::cp932::encode(paragraph) + "\r\n";
    }
    return out;
}

// The same text as one line: a file some programs write without a line break.
QByteArray oneLine(qsizetype bytes) {
    QByteArray text = japaneseText(bytes);
    text.replace("\r\n", tess::cp932::encode(QStringLiteral("。")));
    return text;
}

QByteArray oneCharacterLines(int lines) {
    QByteArray out;
    out.reserve(qsizetype(lines) * 3);
    for (int i = 0; i < lines; ++i) out += char('a' + i % 26), out += "\r\n";
    return out;
}

long statusKb(const char* key) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qsizetype(std::strlen(key)) + 1).trimmed().split(' ').first().toLong();
    return -1;
}

double ms(qint64 ns) { return double(ns) / 1e6; }

// Median time of `repeat` presses of one key, each followed by its repaint.
double keyMs(QWidget* target, Qt::Key key, Qt::KeyboardModifiers mods, int repeat,
             const std::function<void()>& before = {}) {
    std::vector<qint64> times;
    for (int i = 0; i < repeat; ++i) {
        if (before) before();
        QApplication::processEvents();
        QElapsedTimer t;
        t.start();
        QTest::keyClick(target, key, mods);
        QApplication::processEvents();
        times.push_back(t.nsecsElapsed());
    }
    std::sort(times.begin(), times.end());
    return ms(times[times.size() / 2]);
}

// The longest time the event loop went without running a 5 ms timer, until
// `stop` says so (it is given the time so far); `onTick` runs at each timer.
double longestStallUntil(const std::function<bool(qint64 ns)>& stop, const std::function<void()>& onTick = {}) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, worst = 0;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (qEnvironmentVariableIsSet("TESS_STALLS") && now - last > 15'000'000)
            std::fprintf(stderr, "stall %.1f ms at %.0f ms\n", ms(now - last), ms(now));
        worst = std::max(worst, now - last);
        last = now;
        if (onTick) onTick();
    });
    tick.start();
    while (!stop(clock.nsecsElapsed())) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return ms(worst) - 5;
}

double longestStallMs(double seconds, const std::function<void()>& onTick = {}) {
    return longestStallUntil([seconds](qint64 ns) { return ns >= qint64(seconds * 1e9); }, onTick);
}

// The recovery copy of a modified document: the UI thread's share (the
// snapshot), the worker's write, the longest stall of the event loop while a
// copy is taken and written after a key, and how far behind the key the copy
// is on disk.
void recoveryPause(tess::TfrmTSMain& window, QPlainTextEdit* memo) {
    tess::RecoveryCopy& copy = window.recovery();
    std::vector<qint64> snapshots, writes;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(memo, Qt::Key_B);
        QElapsedTimer t;
        t.start();
        copy.copyNow();
        copy.flush();
        writes.push_back(t.nsecsElapsed() - copy.lastSnapshotNs());
        snapshots.push_back(copy.lastSnapshotNs());
    }
    std::sort(snapshots.begin(), snapshots.end());
    std::sort(writes.begin(), writes.end());

    // A key, then the event loop on its own: the timer takes the copy and
    // the worker writes it while 5 ms ticks keep running.
    const int before = copy.written();
    QElapsedTimer behind;
    QTest::keyClick(memo, Qt::Key_C);
    behind.start();
    qint64 onDisk = -1;
    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (onDisk < 0 && copy.written() > before) onDisk = behind.nsecsElapsed();
    });
    watch.start();
    const double stall = longestStallMs(3.5);
    std::printf("  recovery: snapshot %.1f ms (max %.1f), write on the worker %.0f ms, "
                "stall while copying %.1f ms, on disk %.0f ms after the key, %s, then peak %.0f MB",
                ms(snapshots[snapshots.size() / 2]), ms(snapshots.back()), ms(writes[writes.size() / 2]), stall,
                onDisk < 0 ? -1.0 : ms(onDisk), copy.lastError().isEmpty() ? "ok" : qPrintable(copy.lastError()),
                double(statusKb("VmHWM:")) / 1024);
}

// The copies the program takes by itself after edits of every kind: for
// each, the longest stall of the event loop from the edit until its copy is
// on disk (the edit's own work not counted), and the copy's snapshot.
void recoveryAfterEdits(tess::TfrmTSMain& window, QPlainTextEdit* memo) {
    tess::RecoveryCopy& copy = window.recovery();
    QTextDocument* doc = memo->document();
    const auto at = [doc](double fraction) {
        QTextCursor c(doc);
        c.setPosition(int((doc->characterCount() - 1) * fraction));
        return c;
    };
    // About a thousand paragraphs from `fraction` on.
    const auto paragraphs = [doc, at](double fraction) {
        QTextCursor c = at(fraction);
        c.setPosition(doc->findBlock(c.position()).position());
        c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, 1000);
        return c;
    };
    QString pasted;
    for (int i = 0; i < 5000; ++i) pasted += QStringLiteral("貼り付けた行 %1 の文字列です\n").arg(i);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    const std::pair<const char*, std::function<void()>> edits[] = {
        {"key at the start", [&] { memo->setTextCursor(at(0)); QTest::keyClick(memo, Qt::Key_D); }},
        {"key in the middle", [&] { memo->setTextCursor(at(0.5)); QTest::keyClick(memo, Qt::Key_D); }},
        {"Enter", [&] { QTest::keyClick(memo, Qt::Key_Return); }},
        {"Delete over 1000 paragraphs", [&] { memo->setTextCursor(paragraphs(0.3)); QTest::keyClick(memo, Qt::Key_Delete); }},
        {"paste of 5000 lines", [&] { memo->setTextCursor(at(0.7)); memo->insertPlainText(pasted); }},
        {"bold over 1000 paragraphs", [&] { paragraphs(0.2).mergeCharFormat(bold); }},
        {"undo", [&] { memo->undo(); }},
        {"redo", [&] { memo->redo(); }},
    };
    std::printf("\n  recovery after edits:");
    for (const auto& [what, edit] : edits) {
        copy.flush();
        const int before = copy.written();
        edit();
        const double stall = longestStallUntil(
            [&](qint64 ns) { return copy.written() != before || ns >= qint64(20e9); });
        std::printf("  %s: stall %.1f ms, snapshot %.1f ms%s;", what, stall, ms(copy.lastSnapshotNs()),
                    copy.written() == before ? " (NO COPY)" : "");
    }
}

// The longest stall of the event loop over `seconds` from `action`, which
// runs from the loop as a click does.
double stallAround(const std::function<void()>& action, double seconds) {
    QTimer::singleShot(0, action);
    return longestStallMs(seconds);
}

// A clip-save slot of about 32 MB of rich text: saved from a selection of
// the whole document, opened, and pasted at the end.
void clipSlot(tess::TfrmTSMain& window, QPlainTextEdit* memo, const QString& folder) {
    auto* open = window.findChild<QAbstractButton*>(QStringLiteral("SB9"));
    auto* save = window.findChild<QAbstractButton*>(QStringLiteral("SpeedButton14"));
    auto* paste = window.findChild<QAbstractButton*>(QStringLiteral("SpeedButton15"));
    if (!open || !save || !paste) return;
    memo->setFocus();
    memo->selectAll();
    open->click();
    QElapsedTimer t;
    t.start();
    const double saving = stallAround([save] { save->click(); }, 1.0);
    const double slotMb = double(QFileInfo(folder + QStringLiteral("ClipSave1")).size()) / 1e6;
    memo->setFocus();
    memo->moveCursor(QTextCursor::End);
    const double opening = stallAround([open] { open->click(); }, 3.0);
    const int before = memo->document()->characterCount();
    const double pasting = stallAround([paste] { paste->click(); }, 3.0);
    std::printf("  clip slot of %.1f MB: save stall %.0f ms, open stall %.0f ms, paste stall %.0f ms (%d characters pasted)",
                slotMb, saving, opening, pasting, memo->document()->characterCount() - before);
}

int runOne(const QString& name) {
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    QByteArray bytes;
    if (name == QLatin1String("10mb")) bytes = japaneseText(10 * 1000 * 1000);
    else if (name == QLatin1String("50mb")) bytes = japaneseText(50 * 1000 * 1000);
    else if (name == QLatin1String("256mb")) bytes = japaneseText(256 * 1000 * 1000);
    else if (name == QLatin1String("lines")) bytes = oneCharacterLines(460000);
    else if (name == QLatin1String("wrapped")) bytes = japaneseText(10 * 1000 * 1000, 80, 110);
    else if (name == QLatin1String("slot")) bytes = japaneseText(4 * 1000 * 1000);
    else if (name == QLatin1String("line1mb")) bytes = oneLine(1000 * 1000);
    else if (name == QLatin1String("line8mb")) bytes = oneLine(8 * 1000 * 1000);
    else if (name == QLatin1String("line50mb")) bytes = oneLine(50 * 1000 * 1000);
    const bool oneLineDoc = name.startsWith(QLatin1String("line")) && name != QLatin1String("lines");
    const QString file = folder + QStringLiteral("DOC.TXT");
    if (!bytes.isEmpty()) {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return 1;
    }
    // A one-line file is kept to check the save against it.
    if (!oneLineDoc) {
        bytes.clear();
        bytes.squeeze();
    }

    BenchPrompter prompter;
    prompter.file = file;
    tess::TfrmTSMain window(prompter, folder, tess::PathStyle::posix());
    window.resize(900, 700);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    QPlainTextEdit* memo = window.editor();
    memo->setFocus();
    QApplication::processEvents();

    auto* editor = static_cast<tess::EditorWidget*>(memo);
    auto* line = window.findChild<QLabel*>(QStringLiteral("Label2"));
    double openMs = 0;
    QElapsedTimer sinceOpen;
    QString endLineAtOnce;
    if (name != QLatin1String("empty")) {
        sinceOpen.start();
        window.SpeedButton7Click();
        QTest::keyClick(memo, Qt::Key_A);
        QApplication::processEvents();
        openMs = ms(sinceOpen.nsecsElapsed());
        if (oneLineDoc) {
            // The key went in at the start; everything else is as it was.
            const QString out = folder + QStringLiteral("SAVED.TXT");
            QElapsedTimer t;
            t.start();
            const tess::WriteResult r = tess::WriteDocument(out, *memo->document(), tess::PathStyle::posix(),
                                                            tess::LossPolicy::Refuse);
            QFile saved(out);
            const bool same = r.ok() && saved.open(QIODevice::ReadOnly) && saved.readAll() == "a" + bytes;
            std::printf("%s: save %.0f ms, %s\n", qPrintable(name), ms(t.nsecsElapsed()),
                        same ? "the file's bytes with the key" : "BYTES DIFFER");
            bytes.clear();
            bytes.squeeze();
        }
        QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
        endLineAtOnce = line->text();
        QTest::keyClick(memo, Qt::Key_Home, Qt::ControlModifier);
    } else {
        sinceOpen.start();
    }
    double exactMs = -1;
    const auto watchExact = [&] {
        if (exactMs < 0 && editor->displayLinesExact()) exactMs = ms(sinceOpen.nsecsElapsed());
    };
    if (name == QLatin1String("256mb")) {
        // The largest: only that it opens, how long the rest takes to go
        // in, and at what cost in memory.
        QElapsedTimer filling;
        filling.start();
        double worst = 0;
        while (tess::textPending(*memo->document())) worst = std::max(worst, longestStallMs(0.5));
        std::printf("%-7s %7.1f MB  open %8.1f ms  all in %.0f ms after it, stall %.1f ms  blocks %d  peak %.0f MB "
                    "(%.1f x file)\n",
                    qPrintable(name), double(QFileInfo(file).size()) / 1e6, openMs, ms(filling.nsecsElapsed()), worst,
                    memo->document()->blockCount(), double(statusKb("VmHWM:")) / 1024,
                    double(statusKb("VmHWM:")) / 1024 / (double(QFileInfo(file).size()) / 1e6));
        std::fflush(stdout);
        return 0;
    }
    const double stall = longestStallMs(2.0, watchExact);
    while (!editor->displayLinesExact()) QApplication::processEvents();
    watchExact();
    QApplication::processEvents();
    QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
    const QString endLine = line->text();
    QTextDocument* doc = memo->document();

    const auto placeAt = [&](double fraction) {
        return [memo, doc, fraction] {
            QTextCursor c(doc);
            c.setPosition(int((doc->characterCount() - 1) * fraction));
            memo->setTextCursor(c);
        };
    };
    const int repeat = 15;
    const double end = keyMs(memo, Qt::Key_A, Qt::NoModifier, repeat, placeAt(1.0));
    const double middle = keyMs(memo, Qt::Key_A, Qt::NoModifier, repeat, placeAt(0.5));
    const double start = keyMs(memo, Qt::Key_A, Qt::NoModifier, repeat, placeAt(0.0));
    placeAt(0.5)();
    const double up = keyMs(memo, Qt::Key_Up, Qt::NoModifier, repeat);
    const double down = keyMs(memo, Qt::Key_Down, Qt::NoModifier, repeat);
    const double pageDown = keyMs(memo, Qt::Key_PageDown, Qt::NoModifier, repeat);
    const double ctrlEnd = keyMs(memo, Qt::Key_End, Qt::ControlModifier, repeat, placeAt(0.0));

    const double fileMb = double(QFileInfo(file).size()) / 1e6;
    std::printf("%-7s %7.1f MB  open %8.1f ms  stall %7.1f ms  lines exact %7.1f ms after the open "
                "(Ctrl+End at once %s, exact %s)  key end %6.2f mid %6.2f start %6.2f ms  "
                "up %6.2f down %6.2f pgdn %6.2f ctrl+end %6.2f ms  blocks %d",
                qPrintable(name), fileMb, openMs, stall, exactMs, qPrintable(endLineAtOnce), qPrintable(endLine), end,
                middle, start, up, down, pageDown, ctrlEnd, doc->blockCount());

    // The peak of opening and editing; the save below adds its own buffers.
    const double peakMb = double(statusKb("VmHWM:")) / 1024;
    if (name == QLatin1String("50mb")) {
        // The save, and iconv on the same text from UTF-8.
        const QString out = folder + QStringLiteral("SAVED.TXT");
        QElapsedTimer t;
        t.start();
        const tess::WriteResult r = tess::WriteDocument(out, *doc, tess::PathStyle::posix(), tess::LossPolicy::Replace);
        const double saveMs = ms(t.nsecsElapsed());
        const QString utf8 = folder + QStringLiteral("utf8.txt");
        {
            QFile f(utf8);
            if (!f.open(QIODevice::WriteOnly)) return 1;
            f.write(tess::documentPlainText(*doc).replace(u'\n', QStringLiteral("\r\n")).toUtf8());
        }
        QProcess iconv;
        iconv.setStandardOutputFile(QProcess::nullDevice());
        t.restart();
        iconv.start(QStringLiteral("iconv"), {QStringLiteral("-f"), QStringLiteral("UTF-8"), QStringLiteral("-t"),
                                               QStringLiteral("CP932"), utf8});
        iconv.waitForFinished(-1);
        const double iconvMs = ms(t.nsecsElapsed());
        std::printf("  save %s %.0f ms, iconv %.0f ms (%.2f x)", r.ok() ? "ok" : "FAILED", saveMs, iconvMs,
                    saveMs / iconvMs);
    }
    std::printf("  peak %.0f MB%s", peakMb,
                fileMb > 0 ? qPrintable(QStringLiteral(" (%1 x file)").arg(peakMb / fileMb, 0, 'f', 1)) : "");
    // A new width, from an idle window to its next paint: the first, then
    // the median and the longest of five more, narrower and wider in turn.
    // Idle means no recovery copy being written beside it either.
    window.recovery().copyNow();
    window.recovery().flush();
    QTest::qWait(300);
    QElapsedTimer t;
    std::vector<double> resizes;
    for (int i = 0; i < 6; ++i) {
        t.restart();
        window.resize(i % 2 == 0 ? 700 : 800, 700);
        QApplication::processEvents();
        resizes.push_back(ms(t.nsecsElapsed()));
    }
    const double firstResize = resizes.front();
    resizes.erase(resizes.begin());
    std::sort(resizes.begin(), resizes.end());
    std::printf("  resize %.1f ms (then median %.1f, longest %.1f ms), then %.0f MB resident", firstResize,
                resizes[resizes.size() / 2], resizes.back(), double(statusKb("VmRSS:")) / 1024);
    if (name == QLatin1String("10mb") || name == QLatin1String("50mb")) {
        recoveryPause(window, memo);
        recoveryAfterEdits(window, memo);
    }
    if (name == QLatin1String("slot")) clipSlot(window, memo, folder);
    // The close box: the save question is answered No.
    t.restart();
    const bool closed = window.close();
    std::printf("  close %s %.1f ms\n", closed ? "ok" : "REFUSED", ms(t.nsecsElapsed()));
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && !std::strcmp(argv[1], "--doc")) {
        QApplication app(argc, argv);
        return runOne(QString::fromLatin1(argv[2]));
    }
    // Each document in a process of its own, so that peaks do not add up.
    QCoreApplication app(argc, argv);
    int failures = 0;
    for (const char* doc : {"empty", "lines", "10mb", "wrapped", "50mb", "line1mb", "line8mb", "line50mb", "slot", "256mb"}) {
        QProcess one;
        one.setProcessChannelMode(QProcess::ForwardedChannels);
        one.start(QString::fromLocal8Bit(argv[0]), {QStringLiteral("--doc"), QString::fromLatin1(doc)});
        if (!one.waitForFinished(-1) || one.exitCode() != 0) ++failures;
    }
    return failures;
}
