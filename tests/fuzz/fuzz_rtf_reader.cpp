// Fuzzes the RTF reader, and checks that whatever it read survives the writer
// and the reader again with the same text.

#include "richtext/richtext.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QTextDocument doc;
    if (!tess::readRichText(bytes, doc)) return 0;
    const QString text = doc.toRawText();
    QTextDocument back;
    if (!tess::readRichText(tess::writeRichText(doc), back) || back.toRawText() != text) {
        std::fprintf(stderr, "writer and reader disagree\n");
        std::abort();
    }
    return 0;
}
