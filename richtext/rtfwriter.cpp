// RTF writer.  Every non-ASCII character is written as \uN, which readers
// that take \'hh bytes in code page 1252 (pandoc) need, followed by its
// Shift-JIS bytes as the fall-back that older readers show instead; a
// character CP932 cannot hold falls back to '?'.

#include "richtext.h"

#include "core/cp932.h"

#include <QColor>
#include <QHash>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <charconv>
#include <cmath>
#include <vector>

namespace tess {
namespace {

const char kHex[] = "0123456789abcdef";

struct RunProps {
    int font = 0;
    int halfPoints = 24;
    int fg = 0;
    int bg = 0;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    QTextCharFormat::UnderlineStyle underline = QTextCharFormat::NoUnderline;
};

class Writer {
public:
    explicit Writer(const RichTextSnapshot& doc) : doc_(doc), defaultFont_(doc.defaultFont) {}
    QByteArray write();
    // The same bytes, handed to `sink` a piece at a time; false once the
    // sink refused one.
    bool write(const std::function<bool(QByteArrayView)>& sink);

private:
    const RichTextSnapshot& doc_;
    QFont defaultFont_;
    QByteArray out_;
    QStringList fontNames_;
    QHash<QString, int> fontIndex_;
    std::vector<bool> fontJapanese_;
    QList<QColor> colors_;  // table entries 1..n
    QHash<QRgb, int> colorIndex_;

    int fontOf(const QString& family);
    int colorOf(const QColor& c);
    RunProps propsOf(const QTextCharFormat& f);
    void collect();
    // Document text takes the \u form; font names stay Shift-JIS bytes under
    // \fcharset128, the form Japanese font tables take from every writer.
    enum class Form { Unicode, Bytes };
    void writeText(QStringView text, Form form = Form::Unicode);
    void writeChar(char32_t c, Form form);
    void writeUnicode(char32_t c, const char* fallback, int n);
    // The fall-back length in force (\ucN).  It holds until the group that
    // set it closes, so the font table's entries restore it.
    int uc_ = 1;
    void writeByte(unsigned char b) {
        char esc[4] = {'\\', '\'', kHex[b >> 4], kHex[b & 15]};
        out_.append(esc, 4);
    }
    void writeWord(const char* word, int param) {
        out_.append('\\').append(word).append(QByteArray::number(param));
    }
    void writeWord(const char* word) { out_.append('\\').append(word); }
};

QString familyOf(const QTextCharFormat& f, const QFont& fallback) {
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty()) return families.first();
    return fallback.family();
}

int Writer::fontOf(const QString& family) {
    auto it = fontIndex_.constFind(family);
    if (it != fontIndex_.constEnd()) return *it;
    const int index = int(fontNames_.size());
    fontNames_.append(family);
    fontIndex_.insert(family, index);
    bool japanese = false;
    for (QChar c : family) japanese = japanese || c.unicode() >= 0x80;
    fontJapanese_.push_back(japanese);
    return index;
}

int Writer::colorOf(const QColor& c) {
    const QRgb rgb = c.rgb();
    auto it = colorIndex_.constFind(rgb);
    if (it != colorIndex_.constEnd()) return *it;
    colors_.append(c);
    const int index = int(colors_.size());
    colorIndex_.insert(rgb, index);
    return index;
}

RunProps Writer::propsOf(const QTextCharFormat& f) {
    RunProps p;
    p.font = fontOf(familyOf(f, defaultFont_));
    double points = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : 0;
    if (points <= 0) {
        points = defaultFont_.pointSizeF();
        // Pixel-sized fonts: 96 pixels to the inch.
        if (points <= 0 && defaultFont_.pixelSize() > 0) points = pointsForPixels(defaultFont_.pixelSize());
        if (f.hasProperty(QTextFormat::FontPixelSize) && f.intProperty(QTextFormat::FontPixelSize) > 0)
            points = pointsForPixels(f.intProperty(QTextFormat::FontPixelSize));
    }
    if (points <= 0) points = 12;
    p.halfPoints = std::clamp(int(std::lround(points * 2)), 2, 3276);
    const int weight = f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() : defaultFont_.weight();
    p.bold = weight >= QFont::DemiBold;
    p.italic = f.hasProperty(QTextFormat::FontItalic) ? f.fontItalic() : defaultFont_.italic();
    p.strike = f.hasProperty(QTextFormat::FontStrikeOut) ? f.fontStrikeOut() : defaultFont_.strikeOut();
    p.underline = f.underlineStyle();
    if (!f.hasProperty(QTextFormat::TextUnderlineStyle) && !f.hasProperty(QTextFormat::FontUnderline) &&
        defaultFont_.underline())
        p.underline = QTextCharFormat::SingleUnderline;
    if (p.underline == QTextCharFormat::SpellCheckUnderline) p.underline = QTextCharFormat::WaveUnderline;
    const QBrush fg = f.foreground();
    if (f.hasProperty(QTextFormat::ForegroundBrush) && fg.style() != Qt::NoBrush) p.fg = colorOf(fg.color());
    const QBrush bg = f.background();
    if (f.hasProperty(QTextFormat::BackgroundBrush) && bg.style() != Qt::NoBrush) p.bg = colorOf(bg.color());
    return p;
}

// Fonts and colours are gathered first: the tables come before the text.
// A font that carries any non-ASCII text is marked Japanese (\fcharset128),
// so that readers take its \'hh bytes as Shift-JIS.
void Writer::collect() {
    fontOf(defaultFont_.family());
    doc_.forEachRun([&](const RichTextSnapshot::Run& run, QStringView text) {
        if (run.format == RichTextSnapshot::kParagraphEnd) return true;
        const RunProps p = propsOf(doc_.charFormat(run.format));
        if (fontJapanese_[size_t(p.font)]) return true;
        for (QChar c : text) {
            if (c.unicode() >= 0x80) {
                fontJapanese_[size_t(p.font)] = true;
                break;
            }
        }
        return true;
    });
}

void Writer::writeChar(char32_t c, Form form) {
    if (c < 0x80) {
        switch (c) {
        case '\\': out_.append("\\\\"); return;
        case '{': out_.append("\\{"); return;
        case '}': out_.append("\\}"); return;
        case '\t': out_.append("\\tab "); return;
        default:
            if (c < 0x20 || c == 0x7F) writeByte(uchar(c));
            else out_.append(char(c));
            return;
        }
    }
    if (c == QChar::LineSeparator) {
        out_.append("\\line ");
        return;
    }
    char bytes[2];
    const int n = cp932::encodeChar(c, bytes);
    if (n > 0 && form == Form::Bytes) {
        for (int i = 0; i < n; ++i) writeByte(uchar(bytes[i]));
        return;
    }
    // The '?' is escaped: pandoc drops the character after a bare one.
    if (n == 0) bytes[0] = '?';
    writeUnicode(c, bytes, n > 0 ? n : 1);
}

void Writer::writeUnicode(char32_t c, const char* fallback, int n) {
    if (n != uc_) {
        writeWord("uc", n);
        uc_ = n;
    }
    // Signed 16-bit values; beyond the BMP a surrogate pair, each half with
    // its own fall-back.
    const auto unit = [&](char16_t u, const char* bytes, int count) {
        char word[32] = {'\\', 'u'};
        char* end = std::to_chars(word + 2, word + 8, u > 0x7FFF ? int(u) - 65536 : int(u)).ptr;
        for (int i = 0; i < count; ++i) {
            const auto b = uchar(bytes[i]);
            *end++ = '\\';
            *end++ = '\'';
            *end++ = kHex[b >> 4];
            *end++ = kHex[b & 15];
        }
        out_.append(word, end - word);
    };
    if (c > 0xFFFF) {
        unit(QChar::highSurrogate(c), fallback, n);
        unit(QChar::lowSurrogate(c), fallback, n);
    } else {
        unit(char16_t(c), fallback, n);
    }
}

void Writer::writeText(QStringView text, Form form) {
    for (qsizetype i = 0; i < text.size();) {
        char16_t c = text[i].unicode();
        ++i;
        if (QChar::isHighSurrogate(c) && i < text.size() && QChar::isLowSurrogate(text[i].unicode())) {
            writeChar(QChar::surrogateToUcs4(c, text[i].unicode()), form);
            ++i;
        } else {
            writeChar(c, form);
        }
    }
}

QByteArray Writer::write() {
    qsizetype chars = 0;
    for (const RichTextSnapshot::Part& part : doc_.parts) chars += part.chunk->text.size();
    out_.reserve(chars * 3 + 1024);
    write({});
    return out_;
}

bool Writer::write(const std::function<bool(QByteArrayView)>& sink) {
    // Pieces of about a megabyte.
    constexpr qsizetype kPiece = 1 << 20;
    const auto pass = [&]() {
        if (!sink) return true;
        const bool taken = sink(out_);
        out_.clear();
        return taken;
    };
    collect();
    out_.append("{\\rtf1\\ansi\\ansicpg932\\deff0\\uc1{\\fonttbl");
    for (qsizetype i = 0; i < fontNames_.size(); ++i) {
        out_.append("{\\f").append(QByteArray::number(i)).append("\\fnil");
        if (fontJapanese_[size_t(i)]) out_.append("\\fcharset128");
        else out_.append("\\fcharset0");
        out_.append(' ');
        // A bare ';' would end the name; braces and backslashes are escaped
        // as in text.
        const int outerUc = uc_;
        const QStringList parts = fontNames_[i].split(u';');
        for (qsizetype k = 0; k < parts.size(); ++k) {
            if (k > 0) writeByte(';');
            writeText(parts[k], Form::Bytes);
        }
        out_.append(";}");
        uc_ = outerUc;
    }
    out_.append("}\r\n{\\colortbl ;");
    for (const QColor& c : colors_) {
        writeWord("red", c.red());
        writeWord("green", c.green());
        writeWord("blue", c.blue());
        out_.append(';');
    }
    out_.append("}\r\n\\pard\\plain ");

    // What the reader assumes after \plain: 12 points, nothing else.  No
    // font is assumed, so that the first run names its double-byte font too.
    RunProps cur;
    cur.font = -1;
    cur.halfPoints = 24;
    const bool whole = doc_.forEachRun([&](const RichTextSnapshot::Run& run, QStringView text) {
        if (run.format == RichTextSnapshot::kParagraphEnd) {
            out_.append("\\par\r\n");
            return !(sink && out_.size() >= kPiece && !pass());
        }
        const RunProps p = propsOf(doc_.charFormat(run.format));
        const qsizetype before = out_.size();
        if (p.font != cur.font) {
            // The same font for every kind of character: readers that keep
            // a separate font for double-byte text (LibreOffice's Asian
            // font) take it from \dbch\af.
            writeWord("f", p.font);
            writeWord("loch");
            writeWord("af", p.font);
            writeWord("hich");
            writeWord("af", p.font);
            writeWord("dbch");
            writeWord("af", p.font);
        }
        if (p.halfPoints != cur.halfPoints) writeWord("fs", p.halfPoints);
        if (p.bold != cur.bold) p.bold ? writeWord("b") : writeWord("b", 0);
        if (p.italic != cur.italic) p.italic ? writeWord("i") : writeWord("i", 0);
        if (p.strike != cur.strike) p.strike ? writeWord("strike") : writeWord("strike", 0);
        if (p.underline != cur.underline) {
            switch (p.underline) {
            case QTextCharFormat::NoUnderline: writeWord("ulnone"); break;
            case QTextCharFormat::DotLine: writeWord("uld"); break;
            case QTextCharFormat::DashUnderline: writeWord("uldash"); break;
            case QTextCharFormat::DashDotLine: writeWord("uldashd"); break;
            case QTextCharFormat::DashDotDotLine: writeWord("uldashdd"); break;
            case QTextCharFormat::WaveUnderline: writeWord("ulwave"); break;
            default: writeWord("ul"); break;
            }
        }
        if (p.fg != cur.fg) writeWord("cf", p.fg);
        if (p.bg != cur.bg) writeWord("highlight", p.bg);
        if (out_.size() != before) out_.append(' ');
        cur = p;
        // A run as long as a whole file (one line without a break) goes
        // out a slice at a time, never cutting a surrogate pair.
        constexpr qsizetype kSlice = 64 * 1024;
        while (text.size() > kSlice) {
            const qsizetype cut = text[kSlice - 1].isHighSurrogate() ? kSlice - 1 : kSlice;
            writeText(text.first(cut));
            text = text.sliced(cut);
            if (sink && out_.size() >= kPiece && !pass()) return false;
        }
        writeText(text);
        return !(sink && out_.size() >= kPiece && !pass());
    });
    if (!whole) return false;
    out_.append("}\r\n");
    return pass();
}

} // namespace

QTextCharFormat RichTextSnapshot::charFormat(int index) const {
    return index >= 0 && index < formats.size() ? formats[index].toCharFormat() : QTextCharFormat();
}

QByteArray writeRichText(const RichTextSnapshot& snapshot) {
    return Writer(snapshot).write();
}

bool writeRichText(const RichTextSnapshot& snapshot, const std::function<bool(QByteArrayView)>& sink) {
    return Writer(snapshot).write(sink);
}

qreal pointsForPixels(int pixels) { return pixels * 0.75; }

QFont sizedInPoints(QFont font) {
    if (font.pixelSize() > 0) font.setPointSizeF(pointsForPixels(font.pixelSize()));
    return font;
}

QTextCharFormat sizedInPoints(QTextCharFormat format) {
    if (!format.hasProperty(QTextFormat::FontPixelSize)) return format;
    const int pixels = format.intProperty(QTextFormat::FontPixelSize);
    format.clearProperty(QTextFormat::FontPixelSize);
    if (pixels > 0) format.setFontPointSize(pointsForPixels(pixels));
    return format;
}

QByteArray writeRichText(const QTextDocument& doc) {
    return writeRichText(takeRichTextSnapshot(doc));
}

} // namespace tess
