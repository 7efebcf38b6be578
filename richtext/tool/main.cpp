// tessarine-doc: the editor's document reading and writing from the command
// line, for batch work and scripts.
//   tessarine-doc text FILE            the plain text, as UTF-8
//   tessarine-doc rtf IN OUT           IN written as RTF
//   tessarine-doc txt [--lossy] IN OUT IN written as Shift-JIS plain text

#include "richtext/documentfile.h"
#include "richtext/richtext.h"
#include "richtext/softbreaks.h"

#include <QGuiApplication>
#include <QStringList>
#include <QTextDocument>

#include <cstdio>

namespace {

enum Exit { Ok = 0, Usage = 1, CannotRead = 2, CannotWrite = 3, Lossy = 4 };

const char kUsage[] =
    "usage: tessarine-doc text FILE\n"
    "       tessarine-doc rtf IN OUT\n"
    "       tessarine-doc txt [--lossy] IN OUT\n";

void err(const QString& s) {
    std::fputs(s.toUtf8().constData(), stderr);
}

bool load(const QString& path, QTextDocument& doc) {
    const tess::LoadResult r = tess::LoadDocument(path, doc);
    if (!r.ok()) err(QStringLiteral("tessarine-doc: cannot read %1\n").arg(r.error));
    return r.ok();
}

int write(const QString& in, const QString& out, tess::DocumentFormat format, bool lossy) {
    QTextDocument doc;
    if (!load(in, doc)) return CannotRead;
    const tess::WriteResult r = tess::WriteDocumentAs(
        out, doc, format, lossy ? tess::LossPolicy::Replace : tess::LossPolicy::Refuse);
    if (r.status == tess::WriteResult::Status::Unencodable) {
        // Document positions count one per line end, so line and column follow.
        const QString text = tess::documentPlainText(doc);
        err(QStringLiteral("tessarine-doc: %1 characters cannot be written in Shift-JIS "
                           "(nothing written; --lossy writes '?', or a blank for a no-break space):\n")
                .arg(r.unencodable.size()));
        for (const tess::cp932::Unencodable& u : r.unencodable) {
            const qsizetype lineStart = text.lastIndexOf(u'\n', u.position - 1) + 1;
            const qsizetype line = text.left(u.position).count(u'\n') + 1;
            err(QStringLiteral("  line %1, column %2: U+%3 %4\n")
                    .arg(line)
                    .arg(u.position - lineStart + 1)
                    .arg(uint(u.codePoint), 4, 16, QChar(u'0'))
                    .arg(QString::fromUcs4(&u.codePoint, 1)));
        }
        return Lossy;
    }
    if (!r.ok()) {
        err(QStringLiteral("tessarine-doc: cannot write %1\n").arg(r.error));
        return CannotWrite;
    }
    return Ok;
}

// Qt's own notices (no runtime folder, font fall-backs) are not the tool's
// output: scripts read stderr for our messages alone.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) err(message + u'\n');
}

} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(quietMessages);
    // No window is ever shown: fonts and documents need no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool lossy = args.removeAll(QStringLiteral("--lossy")) > 0;
    if (args.size() == 2 && args[0] == QLatin1String("text") && !lossy) {
        QTextDocument doc;
        if (!load(args[1], doc)) return CannotRead;
        const QByteArray out = tess::soft_breaks::plainText(doc).toUtf8();
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
        if (!out.isEmpty() && !out.endsWith('\n')) std::fputc('\n', stdout);
        return std::fflush(stdout) == 0 ? Ok : CannotWrite;
    }
    if (args.size() == 3 && args[0] == QLatin1String("rtf") && !lossy)
        return write(args[1], args[2], tess::DocumentFormat::RichText, false);
    if (args.size() == 3 && args[0] == QLatin1String("txt"))
        return write(args[1], args[2], tess::DocumentFormat::PlainText, lossy);
    std::fputs(kUsage, stderr);
    return Usage;
}
