// Printed pages and PDF files on generated documents (fixed seed):
//   pdf/N:          N paragraphs of ~60 Japanese characters with coloured
//                   and bold runs, laid out on A4 and written as a PDF
//                   (the text map repair included);
//   forced-breaks:  one paragraph of 100,000 "ー", which has no allowed
//                   break anywhere: every line is a forced one;
//   vertical:       a megabyte of plain text (UTF-8, ~330,000 characters:
//                   prose with punctuation, Latin words and numbers, short
//                   paragraphs and one of 100,000 characters that the
//                   reading splits softly) laid out vertically on A4 at
//                   10.5 points, and one page of it painted.

#include "richtext/pages.h"
#include "richtext/richtext.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTemporaryDir>
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

QByteArray megabyte() {
    const QStringList pieces = {QStringLiteral("吾輩は猫である。"), QStringLiteral("「名前はまだ無い」"),
                                QStringLiteral("どこで生れたか、とんと見当がつかぬ。"), QStringLiteral("第12回の"),
                                QStringLiteral("Tessarine editor "), QStringLiteral("2026年、"),
                                QStringLiteral("ちょっとキャッシュを見てみよう。")};
    std::mt19937 rng(20261209);
    std::uniform_int_distribution<int> pick(0, int(pieces.size()) - 1), end(0, 9);
    QString text;
    bool longDone = false;
    while (text.toUtf8().size() < (1 << 20) - 64) {
        QString paragraph;
        const int target = !longDone && text.size() > 100000 ? 100000 : 40 + end(rng) * 30;
        longDone = longDone || target == 100000;
        while (paragraph.size() < target) paragraph += pieces[pick(rng)];
        text += paragraph + u'\n';
    }
    return text.toUtf8();
}

struct Fixture {
    Fixture() {
        tess::readPlainText(QByteArrayView(megabyte()), doc, tess::text::Encoding::Utf8);
        QFont font(QStringLiteral("Noto Sans CJK JP"));
        font.setPointSizeF(10.5);
        doc.setDefaultFont(font);
    }
    QTextDocument doc;
    QTemporaryDir dir;
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_VerticalLayOutMegabyte(benchmark::State& state) {
    Fixture& f = fixture();
    QPdfWriter writer(f.dir.filePath(QStringLiteral("bench.pdf")));
    writer.setPageSize(QPageSize(QPageSize::A4));
    const QRectF area(QPointF(0, 0), writer.pageLayout().paintRectPixels(writer.resolution()).size());
    tess::pages::Setup setup;
    setup.vertical = true;
    int pages = 0;
    for (auto _ : state) {
        const auto laid = tess::pages::vertical(f.doc, writer, area, setup);
        pages = laid->count();
        benchmark::DoNotOptimize(pages);
    }
    state.counters["pages"] = pages;
    state.counters["chars"] = f.doc.characterCount();
}
BENCHMARK(BM_VerticalLayOutMegabyte)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_VerticalPaintOnePage(benchmark::State& state) {
    Fixture& f = fixture();
    QImage image(1240, 1754, QImage::Format_RGB32);  // A4 at 150 dpi
    image.setDotsPerMeterX(5906);
    image.setDotsPerMeterY(5906);
    tess::pages::Setup setup;
    setup.vertical = true;
    const auto laid = tess::pages::vertical(f.doc, image, QRectF(60, 60, 1120, 1634), setup);
    int page = 0;
    for (auto _ : state) {
        QPainter painter(&image);
        laid->paint(painter, page);
        page = (page + 37) % laid->count();
    }
}
BENCHMARK(BM_VerticalPaintOnePage)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
