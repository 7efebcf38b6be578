// Vertical pages for a megabyte of plain text (UTF-8, ~330,000 characters:
// prose with punctuation, some Latin words and numbers, paragraphs of a few
// lines and one of 100,000 characters that the reading splits softly), laid
// out on A4 at 10.5 points for a PDF file; and one page of it painted.
// The target: pagination within a few seconds.

#include "richtext/pages.h"
#include "richtext/richtext.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTextDocument>

#include <random>

namespace {

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
