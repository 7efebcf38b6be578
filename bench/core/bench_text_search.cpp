// Find and replace over a 10 MB document: preparing the text (plain and
// width-folded), one find-next that runs to the end, every match of a
// literal and of a regular expression, and the replacements of a regex
// replace-all.

#include "core/textsearch.h"

#include <QString>

#include <benchmark/benchmark.h>

namespace {

using namespace tess::search;

constexpr qsizetype kSize = 10 * 1000 * 1000;  // UTF-16 code units

// Japanese prose with half-width kana, full-width Latin and ASCII mixed in;
// "終わり" only once, at the very end.  Every 50th line holds "No.(n)".
const QString& document() {
    static const QString text = [] {
        const QString lines[] = {
            QStringLiteral("吾輩は猫である。名前はまだ無い。ﾃﾞｰﾀﾍﾞｰｽのバックアップを取る。\n"),
            QStringLiteral("どこで生れたかとんと見当がつかぬ。ＡＢＣ株式会社 abc 123 ﾊﾟｿｺﾝ。\n"),
            QStringLiteral("何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。\n"),
        };
        QString out;
        out.reserve(kSize + 64);
        for (int n = 0; out.size() < kSize; ++n) {
            out += lines[n % 3];
            if (n % 50 == 0) out += QStringLiteral("No.(%1)\n").arg(n);
        }
        out += QStringLiteral("終わり");
        return out;
    }();
    return text;
}

void prepare(benchmark::State& state, bool folded) {
    const QString& text = document();
    for (auto _ : state) {
        Subject subject(text, folded);
        benchmark::DoNotOptimize(subject.searched().size());
    }
}
void BM_PreparePlain(benchmark::State& state) { prepare(state, false); }
void BM_PrepareFolded(benchmark::State& state) { prepare(state, true); }

void findLast(benchmark::State& state, Options options, const QString& pattern) {
    const Subject subject(document(), options.widthInsensitive);
    const Searcher searcher(pattern, options);
    for (auto _ : state) {
        const Match m = searcher.next(subject, 0);
        if (!m.found()) state.SkipWithError("not found");
        benchmark::DoNotOptimize(m);
    }
}
void BM_NextLiteral(benchmark::State& state) { findLast(state, {}, QStringLiteral("終わり")); }
void BM_NextLiteralFolded(benchmark::State& state) {
    findLast(state, {.widthInsensitive = true}, QStringLiteral("終ワリ"));
}
void BM_NextRegexFolded(benchmark::State& state) {
    findLast(state, {.regex = true, .widthInsensitive = true}, QStringLiteral("終(わ|ﾜ)り$"));
}

void findAll(benchmark::State& state, Options options, const QString& pattern) {
    const Subject subject(document(), options.widthInsensitive);
    const Searcher searcher(pattern, options);
    for (auto _ : state) {
        const auto matches = searcher.all(subject);
        if (matches.empty()) state.SkipWithError("not found");
        state.counters["matches"] = double(matches.size());
    }
}
void BM_AllLiteral(benchmark::State& state) { findAll(state, {}, QStringLiteral("猫")); }
void BM_AllLiteralFolded(benchmark::State& state) {
    findAll(state, {.widthInsensitive = true}, QStringLiteral("データベース"));
}
void BM_AllRegex(benchmark::State& state) { findAll(state, {.regex = true}, QStringLiteral("[a-z]+ \\d+")); }

// Every replacement of a regex replace-all with groups (about 6,000 matches).
void BM_ReplacementsRegex(benchmark::State& state) {
    const Subject subject(document(), false);
    const Searcher searcher(QStringLiteral("No\\.\\((\\d+)\\)"), {.regex = true});
    const auto matches = searcher.all(subject);
    state.counters["matches"] = double(matches.size());
    for (auto _ : state) {
        qsizetype total = 0;
        for (const Match& m : matches) total += searcher.replacement(subject, m, QStringLiteral("#\\1")).size();
        benchmark::DoNotOptimize(total);
    }
}

BENCHMARK(BM_PreparePlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrepareFolded)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NextLiteral)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NextLiteralFolded)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NextRegexFolded)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllLiteral)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllLiteralFolded)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllRegex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplacementsRegex)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
