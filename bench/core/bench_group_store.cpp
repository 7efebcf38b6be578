// The group store at a size well beyond normal use: 1,000 groups of 100
// files each, written to disk and read back.

#include "core/groupregistry.h"
#include "core/groupstore.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

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

tess::GroupRegistry makeRegistry() {
    tess::GroupRegistry reg(tess::PathStyle::windows(), QStringLiteral("C:\\TESS\\"));
    // Fill the tables directly: registering through Touroku would be quadratic
    // in the number of groups and is not what is measured.
    tess::TextGrid& gf = reg.GrdGF();
    tess::TextGrid& fg = reg.GrdFG();
    tess::TextGrid& ig = reg.GrdIG();
    gf.setColCount(kGroups);
    gf.setRowCount(kFilesPerGroup + 1);
    fg.setRowCount(kGroups / 2 + 1);
    ig.setRowCount(kGroups / 2 + 1);
    for (int g = 0; g < kGroups; ++g) {
        const QString name = QStringLiteral("グループ%1").arg(g);
        gf.setCell(g, 0, name);
        if (g % 2 == 0) {
            fg.setCell(0, g / 2 + 1, name);
            fg.setCell(1, g / 2 + 1, QStringLiteral("C:\\文書\\フォルダ%1").arg(g));
        } else {
            ig.setCell(0, g / 2 + 1, name);
            ig.setCell(1, g / 2 + 1, QStringLiteral("X"));
        }
        for (int f = 1; f <= kFilesPerGroup; ++f) gf.setCell(g, f, QStringLiteral("予定表_%1_%2.TXT").arg(g).arg(f));
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

BENCHMARK(BM_SerializeAndWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Serialize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
