// The group store at a size well beyond normal use: 1,000 groups of 100
// files each, written to disk and read back.

#include "core/groupregistry.h"
#include "core/groupstore.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

class SilentNotifier : public tess::Notifier {
public:
    void message(const QString& text) override {
        fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        std::abort();
    }
    bool askYesNo(const QString&) override { return false; }
};

constexpr int kGroups = 1000;
constexpr int kFilesPerGroup = 100;

// `longest` > 0 gives the first group that many files and every other group
// ten: a ragged table, mostly empty cells.
tess::GroupRegistry makeRegistry(int groups = kGroups, int longest = 0) {
    tess::GroupRegistry reg(tess::PathStyle::windows(), QStringLiteral("C:\\TESS\\"));
    // Fill the tables directly: registering through Touroku would be quadratic
    // in the number of groups and is not what is measured.
    tess::TextGrid& gf = reg.GrdGF();
    tess::TextGrid& fg = reg.GrdFG();
    tess::TextGrid& ig = reg.GrdIG();
    gf.setColCount(groups);
    gf.setRowCount(std::max(longest, kFilesPerGroup) + 1);
    fg.setRowCount(groups / 2 + 1);
    ig.setRowCount(groups / 2 + 1);
    for (int g = 0; g < groups; ++g) {
        const QString name = QStringLiteral("グループ%1").arg(g);
        gf.setCell(g, 0, name);
        if (g % 2 == 0) {
            fg.setCell(0, g / 2 + 1, name);
            fg.setCell(1, g / 2 + 1, QStringLiteral("C:\\文書\\フォルダ%1").arg(g));
        } else {
            ig.setCell(0, g / 2 + 1, name);
            ig.setCell(1, g / 2 + 1, QStringLiteral("X"));
        }
        const int files = longest <= 0 ? kFilesPerGroup : g == 0 ? longest : 10;
        for (int f = 1; f <= files; ++f) gf.setCell(g, f, QStringLiteral("予定表_%1_%2.TXT").arg(g).arg(f));
    }
    return reg;
}

void BM_SerializeAndWrite(benchmark::State& state) {
    const tess::GroupRegistry reg = makeRegistry();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("GroupFiles"));
    for (auto _ : state) {
        if (!tess::writeGroupStore(path, reg)) state.SkipWithError("write failed");
    }
    state.counters["file_bytes"] = double(QFileInfo(path).size());
    state.counters["cells"] = double(kGroups) * (kFilesPerGroup + 1);
}

void BM_Serialize(benchmark::State& state) {
    const tess::GroupRegistry reg = makeRegistry();
    for (auto _ : state) benchmark::DoNotOptimize(tess::serializeGroupStore(reg));
}

void BM_Read(benchmark::State& state) {
    const tess::GroupRegistry source = makeRegistry();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("GroupFiles"));
    if (!tess::writeGroupStore(path, source)) {
        state.SkipWithError("write failed");
        return;
    }
    SilentNotifier notifier;
    for (auto _ : state) {
        tess::GroupRegistry reg(tess::PathStyle::windows(), QStringLiteral("C:\\TESS\\"));
        if (tess::readGroupStore(path, reg, notifier) != tess::GroupStoreRead::Loaded)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(reg.GrdGF().rowCount());
    }
    state.counters["file_bytes"] = double(QFileInfo(path).size());
}

// Kilobytes of a /proc/self/status line ("VmRSS", "VmHWM").
long statusKb(const char* key) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(qsizetype(std::strlen(key)) + 1).trimmed().split(' ').first().toLong();
    return -1;
}

// Peak memory of one read, in this process: the store is written first, the
// peak is reset, and the read's peak above what was resident before it is
// compared with the file's size.
int peak(int groups, int longest) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("GroupFiles"));
    {
        const tess::GroupRegistry source = makeRegistry(groups, longest);
        if (!tess::writeGroupStore(path, source)) return 1;
    }
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1) {
        std::fprintf(stderr, "cannot reset the peak (needs Linux /proc/self/clear_refs)\n");
        return 1;
    }
    clear.close();
    const long before = statusKb("VmRSS:");
    SilentNotifier notifier;
    tess::GroupRegistry reg(tess::PathStyle::windows(), QStringLiteral("C:\\TESS\\"));
    if (tess::readGroupStore(path, reg, notifier) != tess::GroupStoreRead::Loaded) return 1;
    const long high = statusKb("VmHWM:");
    const double fileKb = double(QFileInfo(path).size()) / 1024;
    std::printf("read %d groups, %s: file %.1f MB, peak above resident %.1f MB = %.2f x file\n",
                groups, longest > 0 ? qPrintable(QStringLiteral("one of %1 files, the others 10").arg(longest)) : "100 files each", fileKb / 1024, double(high - before) / 1024,
                double(high - before) / fileKb);
    return 0;
}

BENCHMARK(BM_SerializeAndWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Serialize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // bench_group_store --peak GROUPS [LONGEST]: the peak memory of reading a
    // store of GROUPS groups of 100 files (1000 is about 2 MB, 8000 close to
    // the 16 MiB limit), or of one group of LONGEST files and the others 10.
    if ((argc == 3 || argc == 4) && !std::strcmp(argv[1], "--peak"))
        return peak(std::atoi(argv[2]), argc == 4 ? std::atoi(argv[3]) : 0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
