// Reading a 50 MB Japanese text file as the editor does (telling the
// encoding, decoding, finding what each line needs kept), beside glibc's
// iconv decoding the same bytes to UTF-16 and nothing more.

#if __has_include("core/textlines.h")
#include "core/textlines.h"
#else
#include "core/textencoding.h"
#endif

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QString>

#include <iconv.h>

#include <map>

#include <random>
#include <vector>

namespace {

using tess::text::Encoding;

// About 50 MB of Japanese prose in lines of 20 to 60 characters, with
// ASCII words and numbers among them, as notes and manuals have them.
const QString& prose() {
    static const QString text = [] {
        const char* words[] = {"今日", "は", "会議", "の", "予定", "です", "。", "、", "テキスト", "ファイル",
                               "保存", "して", "ください", "「", "」", "東京", "明日", "午後", "3時", "から",
                               "メモ", "を", "書く", "ＡＢＣ", "第1", "Tessarine", " ", "2026年", "12月", "議事録",
                               "確認", "ありがとう", "設定", "変更", "する", "場合", "option", "が", "必要", "データ"};
        std::vector<QString> w;
        for (const char* s : words) w.push_back(QString::fromUtf8(s));
        std::mt19937 rng(50);
        std::uniform_int_distribution<int> pick(0, int(w.size()) - 1);
        std::uniform_int_distribution<int> lineLength(20, 60);
        QString out;
        out.reserve(26 * 1024 * 1024);
        while (out.size() < 25 * 1024 * 1024) {
            const int length = lineLength(rng);
            const qsizetype start = out.size();
            while (out.size() - start < length) out += w[size_t(pick(rng))];
            out += QStringLiteral("\r\n");
        }
        return out;
    }();
    return text;
}

const QByteArray& file(Encoding e) {
    static std::map<Encoding, QByteArray> files;
    auto it = files.find(e);
    if (it == files.end()) it = files.emplace(e, tess::text::encode(prose(), e)).first;
    return it->second;
}

const char* iconvName(Encoding e) {
    switch (e) {
    case Encoding::ShiftJis: return "CP932";
    case Encoding::EucJp: return "EUC-JP-MS";
    case Encoding::Iso2022Jp: return "ISO-2022-JP";
    case Encoding::Utf16Le: return "UTF-16LE";
    default: return "UTF-8";
    }
}

void BM_Read(benchmark::State& state, Encoding e) {
    const QByteArray& bytes = file(e);
    for (auto _ : state) {
        const auto decoded = tess::text::decodeDetected(bytes);
        if (decoded.format.encoding != e) state.SkipWithError("wrong encoding");
        benchmark::DoNotOptimize(decoded.pieces.constData());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.counters["MB"] = double(bytes.size()) / (1 << 20);
}

void BM_Iconv(benchmark::State& state, Encoding e) {
    const QByteArray& bytes = file(e);
    std::vector<char> out(size_t(bytes.size()) * 2 + 16);
    for (auto _ : state) {
        iconv_t cd = iconv_open("UTF-16LE", iconvName(e));
        char* in = const_cast<char*>(bytes.constData());
        size_t inLeft = size_t(bytes.size());
        char* o = out.data();
        size_t outLeft = out.size();
        if (iconv(cd, &in, &inLeft, &o, &outLeft) == size_t(-1)) state.SkipWithError("iconv failed");
        iconv_close(cd);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

} // namespace

#define TEXT_BENCH(name)                                                                                  \
    BENCHMARK_CAPTURE(BM_Read, name, Encoding::name)->Unit(benchmark::kMillisecond)->Iterations(3);   \
    BENCHMARK_CAPTURE(BM_Iconv, name, Encoding::name)->Unit(benchmark::kMillisecond)->Iterations(3)

TEXT_BENCH(ShiftJis);
TEXT_BENCH(Utf8);
TEXT_BENCH(EucJp);
TEXT_BENCH(Iso2022Jp);

BENCHMARK_MAIN();
