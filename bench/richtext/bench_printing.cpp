// Printed pages and PDF files on generated documents (fixed seed):
//   pdf/N:          N paragraphs of ~60 Japanese characters with coloured
//                   and bold runs, laid out on A4 and written as a PDF
//                   (the text map repair included);
//   forced-breaks:  one paragraph of 100,000 "ー", which has no allowed
//                   break anywhere: every line is a forced one.

#include "richtext/pages.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextCursor>
#include <QTextDocument>

#include <random>

namespace {

const QPageLayout kA4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 20, 20, 20),
                      QPageLayout::Millimeter);

std::unique_ptr<QTextDocument> japaneseDocument(int paragraphs) {
    const QString alphabet = QStringLiteral(
        "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"
        "日本語文書作成編集保存読込表示漢字仮名交文章段落書式一人大山川戸口。、「」（）ー");
    std::mt19937 rng(20261209);
    std::uniform_int_distribution<int> pick(0, int(alphabet.size()) - 1), length(40, 80), style(0, 5);
    auto doc = std::make_unique<QTextDocument>();
    doc->setDefaultFont(QFont(QStringLiteral("Noto Sans CJK JP"), 11));
    QTextCursor cursor(doc.get());
    QTextCharFormat plain, bold, red;
    bold.setFontWeight(QFont::Bold);
    red.setForeground(Qt::red);
    for (int p = 0; p < paragraphs; ++p) {
        if (p) cursor.insertBlock();
        QString text;
        for (int n = length(rng); n > 0; --n) text += alphabet[pick(rng)];
        const int s = style(rng);
        cursor.insertText(text, s == 0 ? bold : s == 1 ? red : plain);
    }
    return doc;
}

void pdf(benchmark::State& state) {
    const auto doc = japaneseDocument(int(state.range(0)));
    qint64 bytes = 0;
    for (auto _ : state) bytes = tess::pages::pdf(*doc, kA4, tess::pages::Setup{QStringLiteral("b"), true, true, false}).size();
    state.counters["pdf_kb"] = double(bytes) / 1024;
    state.counters["chars"] = double(doc->characterCount());
}
BENCHMARK(pdf)->Arg(100)->Arg(5000)->Unit(benchmark::kMillisecond);

void forcedBreaks(benchmark::State& state) {
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("Noto Sans CJK JP"), 11));
    doc.setPlainText(QString(100000, u'ー'));
    int pages = 0;
    for (auto _ : state) {
        QBuffer sink;
        sink.open(QIODevice::WriteOnly);
        QPdfWriter writer(&sink);
        writer.setPageLayout(kA4);
        pages = tess::pages::horizontal(doc, writer, tess::pages::printableArea(writer), {})->count();
    }
    state.counters["pages"] = pages;
}
BENCHMARK(forcedBreaks)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
