// Document formats on generated inputs (fixed seeds, so every run reads the
// same bytes):
//   sjis-rtf: ~10 MB RTF of Japanese text in \'hh pairs under \ansicpg932,
//             ~70,000 bold/italic/coloured runs (WordPad's shape);
//   uni-rtf:  the same text as LibreOffice writes it (\uN\'3f, no \ansicpg);
//   plain:    ~50 MB of CP932 plain text with CR LF.
// Timings:   bench_richtext  (MB/s of input, or of RTF produced for writing)
// Peak RSS:  bench_richtext --peak read-sjis|read-uni|write|plain
//            runs one case once in a fresh process and prints the peak
//            resident memory of the whole process, and of the process before
//            the input was generated (the Qt baseline).

#include "richtext/richtext.h"

#include "core/cp932.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>
#include <cstring>
#include <random>
#include <sys/resource.h>

namespace {

// Japanese text: common kana and kanji with some ASCII punctuation.
const QString& alphabet() {
    static const QString a = QString::fromUtf8(
        "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"
        "アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモ"
        "日本語文書作成編集保存読込表示漢字仮名交文章段落書式太字斜体色付", -1);
    return a;
}

struct Run {
    QString text;
    bool bold, italic;
    int colour;  // 0 = auto, 1..3
    bool paragraphEnd;
};

// About `bytes` of RTF in the \'hh form: each character takes 8 bytes.
std::vector<Run> makeRuns(qsizetype bytes) {
    std::mt19937 rng(20240601);
    const QString& a = alphabet();
    std::uniform_int_distribution<int> pick(0, int(a.size()) - 1), len(8, 24), coin(0, 3);
    std::vector<Run> runs;
    qsizetype total = 0;
    while (total < bytes) {
        Run r;
        const int n = len(rng);
        for (int i = 0; i < n; ++i) r.text.append(a[pick(rng)]);
        r.bold = coin(rng) == 0;
        r.italic = coin(rng) == 1;
        r.colour = coin(rng);
        r.paragraphEnd = coin(rng) == 0 && coin(rng) == 0;
        total += n * 8 + 20;
        runs.push_back(std::move(r));
    }
    return runs;
}

QByteArray rtfOf(const std::vector<Run>& runs, bool unicode) {
    QByteArray out;
    out.reserve(16 << 20);
    out += unicode ? "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 Noto Sans CJK JP;}}"
                   : "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 "
                     "\\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}";
    out += "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;\\red0\\green0\\blue255;}\r\n"
           "\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    static const char hex[] = "0123456789abcdef";
    for (const Run& r : runs) {
        out += '{';
        if (r.bold) out += "\\b";
        if (r.italic) out += "\\i";
        if (r.colour) out += "\\cf" + QByteArray::number(r.colour);
        out += ' ';
        for (QChar c : r.text) {
            if (unicode) {
                out += "\\u" + QByteArray::number(c.unicode() > 32767 ? c.unicode() - 65536 : c.unicode()) +
                       "\\'3f";
            } else {
                char b[2];
                const int n = tess::cp932::encodeChar(c.unicode(), b);
                for (int i = 0; i < n; ++i) {
                    const unsigned char u = uchar(b[i]);
                    const char esc[4] = {'\\', '\'', hex[u >> 4], hex[u & 15]};
                    out.append(esc, 4);
                }
            }
        }
        out += '}';
        if (r.paragraphEnd) out += "\\par\r\n";
    }
    out += "\\par\r\n}\r\n";
    return out;
}

const std::vector<Run>& runs10MB() {
    static const std::vector<Run> r = makeRuns(11 << 20);
    return r;
}
const QByteArray& sjisRtf() {
    static const QByteArray b = rtfOf(runs10MB(), false);
    return b;
}
const QByteArray& uniRtf() {
    static const QByteArray b = rtfOf(runs10MB(), true);
    return b;
}
const QByteArray& plain50MB() {
    static const QByteArray b = [] {
        std::mt19937 rng(19700101);
        const QString& a = alphabet();
        std::uniform_int_distribution<int> pick(0, int(a.size()) - 1), len(10, 70);
        QByteArray out;
        out.reserve((50 << 20) + 256);
        while (out.size() < (50 << 20)) {
            QString line;
            const int n = len(rng);
            for (int i = 0; i < n; ++i) line.append(a[pick(rng)]);
            out += tess::cp932::encode(line);
            out += "\r\n";
        }
        return out;
    }();
    return b;
}

void readRtf(benchmark::State& state, const QByteArray& bytes) {
    for (auto _ : state) {
        QTextDocument doc;
        tess::readRichText(bytes, doc);
        benchmark::DoNotOptimize(doc.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.counters["MB"] = double(bytes.size()) / (1 << 20);
}

void BM_ReadSjisRtf(benchmark::State& state) {
    readRtf(state, sjisRtf());
    state.counters["runs"] = double(runs10MB().size());
}
void BM_ReadLibreOfficeRtf(benchmark::State& state) { readRtf(state, uniRtf()); }

void BM_WriteRtf(benchmark::State& state) {
    QTextDocument doc;
    tess::readRichText(sjisRtf(), doc);
    qsizetype size = 0;
    for (auto _ : state) {
        const QByteArray out = tess::writeRichText(doc);
        size = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["MB"] = double(size) / (1 << 20);
}

void BM_LoadPlain50MB(benchmark::State& state) {
    const QByteArray& bytes = plain50MB();
    for (auto _ : state) {
        QTextDocument doc;
        tess::readPlainText(bytes, doc);
        benchmark::DoNotOptimize(doc.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.counters["MB"] = double(bytes.size()) / (1 << 20);
}

BENCHMARK(BM_ReadSjisRtf)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadLibreOfficeRtf)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WriteRtf)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoadPlain50MB)->Unit(benchmark::kMillisecond)->Iterations(3);

long peakKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// One case, once, in this process: the peak includes the input itself.
int peak(const char* which) {
    const long baseline = peakKb();
    qsizetype inputSize = 0;
    if (!std::strcmp(which, "read-sjis") || !std::strcmp(which, "read-uni")) {
        const QByteArray& bytes = !std::strcmp(which, "read-sjis") ? sjisRtf() : uniRtf();
        inputSize = bytes.size();
        QTextDocument doc;
        tess::readRichText(bytes, doc);
    } else if (!std::strcmp(which, "write")) {
        QTextDocument doc;
        tess::readRichText(sjisRtf(), doc);
        const long beforeWrite = peakKb();
        const QByteArray out = tess::writeRichText(doc);
        inputSize = out.size();
        std::printf("peak before writing: %ld KB\n", beforeWrite);
    } else if (!std::strcmp(which, "plain")) {
        inputSize = plain50MB().size();
        QTextDocument doc;
        tess::readPlainText(plain50MB(), doc);
    } else {
        std::fprintf(stderr, "unknown case %s\n", which);
        return 1;
    }
    const long total = peakKb();
    std::printf("%s: file %.1f MB, peak RSS %ld KB (%.1f MB), baseline %ld KB, "
                "peak above baseline %.1f x file size\n",
                which, double(inputSize) / (1 << 20), total, total / 1024.0, baseline,
                double(total - baseline) * 1024 / double(inputSize));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QGuiApplication app(argc, argv);
    if (argc == 3 && !std::strcmp(argv[1], "--peak")) return peak(argv[2]);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
