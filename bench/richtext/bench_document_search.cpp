// A search through a group's worth of documents, beside ripgrep.
//
//   bench_document_search [RUNS]   (six by default, the first to warm up)
//
// 1,000 generated documents (fixed seed) of 20-180 KB, about 100 MB in all:
// Japanese prose in Shift-JIS (four in ten), UTF-8 (three in ten), EUC-JP
// and ISO-2022-JP (one in ten each) and rich text (one in ten), a word to
// find in about one document in five.  Each file is searched as the editor
// reads it, on two threads, with the cache warm; `rg -F -n` searches UTF-8
// copies of the same texts in the same run.  Prints the median of five runs
// of each, the hits found, and the ratio.

#include "richtext/documentsearch.h"
#include "richtext/richtext.h"

#include "core/textencoding.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <random>
#include <vector>

namespace {

const QString kNeedle = QStringLiteral("検索対象語");

QString prose(std::mt19937& rng, qsizetype chars, bool needle) {
    static const QString alphabet = QStringLiteral(
        "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"
        "アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホ日本語文書作成編集保存読込表示漢字");
    std::uniform_int_distribution<int> pick(0, int(alphabet.size()) - 1), len(20, 60);
    QString out;
    out.reserve(chars + 64);
    while (out.size() < chars) {
        const int n = len(rng);
        for (int i = 0; i < n; ++i) out += i % 12 == 11 ? QChar(u'、') : alphabet[pick(rng)];
        out += u'。';
        out += u'\n';
    }
    if (needle) out.insert(out.size() / 2 - out.size() / 2 % 7, kNeedle);
    return out;
}

double medianMs(std::vector<qint64> ns) {
    std::sort(ns.begin(), ns.end());
    return double(ns[ns.size() / 2]) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString docs = dir.filePath(QStringLiteral("docs")), copies = dir.filePath(QStringLiteral("utf8"));
    QDir().mkpath(docs);
    QDir().mkpath(copies);

    std::mt19937 rng(20261209);
    // File sizes of 20-180 KB, whatever the form: characters take about 2
    // bytes in the Japanese encodings, 3 in UTF-8 and 15 in rich text.
    std::uniform_int_distribution<int> size(20'000, 180'000), needle(0, 4);
    const int perChar[10] = {2, 2, 2, 2, 3, 3, 3, 2, 2, 15};
    QStringList paths;
    qint64 total = 0;
    int planted = 0;
    for (int i = 0; i < 1000; ++i) {
        const bool with = needle(rng) == 0;
        planted += with;
        const QString text = prose(rng, size(rng) / perChar[i % 10], with);
        QByteArray bytes;
        QString name = QStringLiteral("DOC%1.TXT").arg(i, 4, 10, QChar(u'0'));
        switch (i % 10) {
        case 0: case 1: case 2: case 3: bytes = tess::text::encode(text, tess::text::Encoding::ShiftJis); break;
        case 4: case 5: case 6: bytes = text.toUtf8(); break;
        case 7: bytes = tess::text::encode(text, tess::text::Encoding::EucJp); break;
        case 8: bytes = tess::text::encode(text, tess::text::Encoding::Iso2022Jp); break;
        default: {
            QTextDocument doc;
            doc.setPlainText(text);
            bytes = tess::writeRichText(doc);
            name = QStringLiteral("DOC%1.RTF").arg(i, 4, 10, QChar(u'0'));
        }
        }
        QFile f(QDir(docs).filePath(name)), copy(QDir(copies).filePath(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return 1;
        if (!copy.open(QIODevice::WriteOnly) || copy.write(text.toUtf8()) < 0) return 1;
        paths << f.fileName();
        total += bytes.size();
    }

    const tess::search::Searcher searcher(kNeedle, {});
    std::vector<qint64> ours;
    int hits = 0, unreadable = 0;
    const int runs = argc > 1 ? std::max(2, std::atoi(argv[1])) : 6;
    for (int run = 0; run < runs; ++run) {
        hits = unreadable = 0;
        std::atomic<bool> cancel = false;
        QElapsedTimer t;
        t.start();
        tess::document_search::run(paths, searcher, 2, cancel, [&](const tess::document_search::Result& r) {
            hits += int(r.hits.size());
            unreadable += !r.error.isEmpty();
        });
        if (run > 0) ours.push_back(t.nsecsElapsed());  // the first warms the cache
    }

    const QString rg = QStandardPaths::findExecutable(QStringLiteral("rg"));
    std::vector<qint64> theirs;
    int rgHits = -1;
    for (int run = 0; rg.isEmpty() ? false : run < 6; ++run) {
        QProcess p;
        QElapsedTimer t;
        t.start();
        p.start(rg, {QStringLiteral("-F"), QStringLiteral("-n"), QStringLiteral("-j2"), kNeedle, copies});
        p.waitForFinished(-1);
        if (run > 0) theirs.push_back(t.nsecsElapsed());
        rgHits = int(p.readAllStandardOutput().count('\n'));
    }

    std::printf("%d documents, %.1f MB (UTF-8 copies for rg), %d with the word\n", int(paths.size()),
                double(total) / 1e6, planted);
    std::printf("document search, 2 threads: %.0f ms, %d hits, %d unreadable\n", medianMs(ours), hits, unreadable);
    if (theirs.empty()) std::printf("rg: not installed (Debian ripgrep)\n");
    else std::printf("rg -F -j2: %.0f ms, %d hits; ratio %.2f\n", medianMs(theirs), rgHits, medianMs(ours) / medianMs(theirs));
    return hits == planted ? 0 : 1;
}
