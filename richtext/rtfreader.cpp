// RTF reader: one pass over the bytes with an explicit group stack (never
// recursion), so damaged or hostile nesting cannot exhaust the call stack.
// Text is gathered into runs of equal character properties and inserted
// through one cursor; a run ends only when the properties change.

#include "codepages.h"
#include "richtext.h"
#include "softbreaks.h"

#include <QColor>
#include <QHash>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace tess {
namespace {

using rtf::CodePage;

constexpr char16_t kReplacement = 0xFFFD;
constexpr int kMaxDepth = 1000;          // deeper groups share one saved state
constexpr int kMaxWordLength = 32;       // longer control words are ignored
constexpr int kMaxFonts = 16384;
constexpr int kMaxColors = 16384;
constexpr int kMaxFontNameBytes = 1024;
constexpr int kMaxInstruction = 16384;   // field instruction units kept
constexpr int kMaxEquationDepth = 32;    // deeper equation groups read as text

enum class Dest : uint8_t {
    Text,        // visible text
    Skip,        // ignored with everything nested in it
    SkipEscape,  // ignored, but a nested \ud or \result carries visible text
    FontTable,
    ColorTable,
    FieldInst,   // a field's instruction, kept for fields whose result is empty
};

enum class Underline : uint8_t { None, Single, Dotted, Dash, DashDot, DashDotDot, Wave };

struct Props {
    int font = 0;   // font number
    int fs = 24;    // half-points
    int fg = -1;    // colour table index; -1 = auto (no \cf yet)
    int bg = 0;     // 0 = none
    bool bold = false;
    bool italic = false;
    bool strike = false;
    Underline underline = Underline::None;
    bool operator==(const Props&) const = default;
};

enum class CharMode : uint8_t { Loch, Hich, Dbch };

struct Group {
    Props props;
    Dest dest = Dest::Text;
    int uc = 1;
    int dbchFont = -1;
    CharMode mode = CharMode::Loch;
    // The last font selector was \dbch: only then do \af and \f name the
    // double-byte font.  \rtlch, \ltrch and \fcs turn to other slots (Word
    // writes "\rtlch\fcs1 \af0" for the complex-script font inside runs
    // that inherit \dbch).
    bool dbchSlot = false;
    // Bold, italic and size given for the double-byte text alone (\ab, \ai,
    // \afs after \dbch, as LibreOffice writes them): -1 = as the run's own.
    struct Associated {
        int8_t bold = -1, italic = -1;
        int fs = -1;
        bool any() const { return bold >= 0 || italic >= 0 || fs >= 0; }
        void applyTo(Props& p) const {
            if (bold >= 0) p.bold = bold;
            if (italic >= 0) p.italic = italic;
            if (fs >= 0) p.fs = fs;
        }
        bool operator==(const Associated&) const = default;
    } dbchAssoc;
};

struct FontEntry {
    QString name;
    int charset = 1;  // 1 = the document's code page
    int codePage = 0; // \cpg, 0 = from the charset
};

struct Word {
    char name[kMaxWordLength + 1];
    int length = 0;
    bool tooLong = false;
    bool hasParam = false;
    int param = 0;
    bool is(const char* s) const {
        int i = 0;
        for (; i < length; ++i)
            if (s[i] != name[i]) return false;
        return s[i] == 0;
    }
};

class Reader {
public:
    Reader(QByteArrayView bytes, QTextDocument& doc)
        : p_(reinterpret_cast<const unsigned char*>(bytes.data())), size_(bytes.size()),
          cursor_(&doc) {
        cursor_.movePosition(QTextCursor::End);
    }

    void run();

private:
    // --- input
    const unsigned char* p_;
    qsizetype size_;
    qsizetype pos_ = 0;

    // --- groups
    std::vector<Group> stack_;
    Group g_;                // the current group's state
    int overflowDepth_ = 0;  // groups opened beyond kMaxDepth
    Group overflowSaved_;    // the state when the first of them opened
    bool starPending_ = false;
    bool done_ = false;

    // --- document tables
    int docPage_ = 1252;
    bool ansicpgSeen_ = false;
    int defaultFont_ = 0;
    QHash<int, FontEntry> fonts_;
    int fontsChanged_ = 0;  // counts changes of the fonts' code pages
    std::vector<QColor> colors_;  // index 0 = auto (invalid colour)
    bool colorTableSeen_ = false;

    // --- font table parsing
    int ftFont_ = -1;
    QByteArray ftBytes_;
    QString ftName_;
    bool ftNameDone_ = false;

    // --- colour table parsing
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorComponent_ = false;

    // --- text output
    QTextCursor cursor_;
    QString run_;
    Props runProps_;
    bool runStarted_ = false;
    int pendingParagraphs_ = 0;
    int pendingCells_ = 0;
    int skipUnits_ = 0;  // \uc fall-back units still to skip
    char16_t highSurrogate_ = 0;
    // A lead byte waiting for its trail; it survives braces, since writers
    // split pairs across groups.
    int leadByte_ = -1;
    const CodePage* leadPage_ = nullptr;
    const CodePage* leadSinglePage_ = nullptr;

    // --- fields: those whose result stays empty show what their instruction
    // shows (an equation's text: ruby keeps its base).
    struct Field {
        size_t depth;        // groups open around the \field word
        qint64 textBefore;   // text units emitted when it began
        QString inst;
        bool stateTaken = false;
        Group state;         // where the instruction's text began
    };
    std::vector<Field> fields_;
    qint64 emitted_ = 0;

    // --- helpers
    void openGroup();
    void closeGroup();
    void controlWord(const Word& w);
    void controlSymbol(unsigned char c);
    void destination(const Word& w);
    void textByte(unsigned char b, bool escaped = false);
    void plainRun();
    void skipToSpecial();
    void readWord(Word& w);

    void fontTableByte(unsigned char b, bool escaped);
    void fontTableChar(char16_t c);
    void finishFontEntry();
    void decodeFontBytes();
    void colorTableByte(unsigned char b);

    void emitUnit(char16_t c, bool pair = false);
    bool isDoubleByteText(char16_t c) const;
    void openField();
    void finishField();
    void emitTextUnit(char16_t c);
    void emitParagraph();
    void emitCell();
    void flushLead();
    void beginText();
    void flushRun();
    QTextCharFormat format(const Props& p) const;
    const CodePage& pageOfFont(int font) const;
    const CodePage& currentPage() const;
    struct PageKey {
        int dbchFont, font, docPage, fontsChanged;
        bool operator==(const PageKey&) const = default;
    };
    mutable PageKey cachedKey_{};
    mutable const CodePage* cachedPage_ = nullptr;
    bool consumeSkipUnit() {
        if (skipUnits_ > 0) {
            --skipUnits_;
            return true;
        }
        return false;
    }
};

bool isLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
int hexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Keywords that open a destination whose content is not part of the text.
bool isSkippedDestination(const Word& w) {
    static const std::unordered_set<std::string_view> names = {
        "info", "stylesheet", "pict", "fldinst", "header", "headerl", "headerr", "headerf",
        "footer", "footerl", "footerr", "footerf", "footnote", "annotation", "atnid",
        "atnauthor", "atndate", "atnref", "atrfstart", "atrfend", "listtext", "pntext",
        "pntxta", "pntxtb", "pn", "themedata", "revtbl", "listtable", "listoverridetable",
        "rsidtbl", "generator", "colorschememapping", "datastore", "latentstyles", "xmlnstbl",
        "mmathPr", "bkmkstart", "bkmkend", "nonshppict", "objdata", "objclass", "objname",
        "datafield", "template", "docvar", "pgdsctbl", "filetbl", "ftnsep", "ftnsepc", "ftncn",
        "aftnsep", "aftnsepc", "aftncn", "comment", "keywords", "title", "subject", "author",
        "operator", "doccomm", "company", "manager", "category", "printim", "buptim",
        "creatim", "revtim", "userprops", "xmlopen", "fchars", "lchars", "pgptbl",
        "protusertbl", "tc", "tcn", "txe", "xe", "rxe", "sp", "sn", "sv", "shpinst", "shptxt",
        "panose", "falt", "fname", "fontemb", "fontfile", "blipuid", "passwordhash",
        "wgrffmtfilter", "defchp", "defpap", "mmath", "factoidname", "oldcprops", "oldpprops",
        "oldsprops", "oldtprops", "expandedcolortbl", "listpicture", "bookmark", "ud_skip",
        "nonesttables",
    };
    return names.contains(std::string_view(w.name, size_t(w.length)));
}

// --- equation fields
//
// An EQ field draws its text from its instruction, and writers leave its
// result empty: LibreOffice writes ruby as "EQ \* jc0 \* hps12
// \o(\s\up 10(かんじ),漢字)", Word as "EQ \* jc2 \* hps10 \o\ad(\s\up 9(かんじ),漢字)".
// What a reader can show is the readable text: the base of a ruby, the
// characters of the other forms.  Input is never trusted: unbalanced
// parentheses, stray backslashes and deep nesting all end in some text.

class Equation {
public:
    explicit Equation(QStringView s, int depth = 0) : s_(s), depth_(depth) {}

    QString text() {
        QString base;
        if (rubyBase(base)) return base;
        i_ = 0;
        return sequence(depth_, false);
    }

private:
    QStringView s_;
    qsizetype i_ = 0;
    int depth_;

    bool at(qsizetype i, char16_t c) const { return i < s_.size() && s_[i] == c; }
    bool letterAt(qsizetype i) const {
        return i < s_.size() && ((s_[i] >= u'a' && s_[i] <= u'z') || (s_[i] >= u'A' && s_[i] <= u'Z'));
    }
    void skipSpaces() {
        while (i_ < s_.size() && s_[i_].isSpace()) ++i_;
    }
    qsizetype letters(qsizetype i) const {
        qsizetype j = i;
        while (letterAt(j)) ++j;
        return j - i;
    }

    // A general field switch: \* and its word or quoted argument.
    void skipFieldSwitch() {
        i_ += 2;
        skipSpaces();
        if (at(i_, u'"')) {
            const qsizetype close = s_.indexOf(u'"', i_ + 1);
            i_ = close < 0 ? s_.size() : close + 1;
        } else {
            while (i_ < s_.size() && !s_[i_].isSpace() && s_[i_] != u'\\') ++i_;
        }
    }

    // An option's value: a number (\up 9), or a character (\lc\( ).
    void skipOptionValue(QStringView name) {
        if (name.size() == 2 && name[1] == u'c' && at(i_, u'\\') && i_ + 1 < s_.size()) {
            i_ += 2;
            return;
        }
        const qsizetype save = i_;
        skipSpaces();
        if (at(i_, u'-')) ++i_;
        if (i_ < s_.size() && s_[i_].isDigit()) {
            while (i_ < s_.size() && s_[i_].isDigit()) ++i_;
        } else {
            i_ = save;
        }
    }

    // Text up to the end, or inside an argument list up to its next ',' or
    // ')'.  Parentheses that belong to no switch are text, kept balanced.
    QString sequence(int depth, bool inArguments) {
        QString out;
        int parens = 0;
        while (i_ < s_.size()) {
            const QChar c = s_[i_];
            if (c == u'\\') {
                if (i_ + 1 < s_.size() && QStringView(u"(),\\").contains(s_[i_ + 1])) {
                    out.append(s_[i_ + 1]);
                    i_ += 2;
                } else if (at(i_ + 1, u'*')) {
                    skipFieldSwitch();
                } else if (letterAt(i_ + 1)) {
                    out.append(operation(depth));
                } else {
                    ++i_;
                }
                continue;
            }
            if (inArguments && parens == 0 && (c == u',' || c == u')')) break;
            if (c == u'(') ++parens;
            else if (c == u')' && parens > 0) --parens;
            out.append(c);
            ++i_;
        }
        return out;
    }

    // A switch with its options and arguments, as the text it shows.
    QString operation(int depth) {
        const qsizetype n = letters(i_ + 1);
        const QStringView name = s_.sliced(i_ + 1, n);
        i_ += 1 + n;
        if (n != 1) {
            skipOptionValue(name);  // an option out of place
            return {};
        }
        const char16_t kind = QChar::toLower(name[0].unicode());
        for (;;) {
            const qsizetype save = i_;
            skipSpaces();
            const qsizetype m = at(i_, u'\\') ? letters(i_ + 1) : 0;
            if (m < 2) {
                i_ = save;
                break;
            }
            const QStringView option = s_.sliced(i_ + 1, m);
            i_ += 1 + m;
            skipOptionValue(option);
        }
        skipSpaces();
        // Too deep: the parentheses are read as text by the caller.
        if (!at(i_, u'(') || depth >= kMaxEquationDepth) return {};
        ++i_;
        QStringList args;
        std::vector<bool> raised;
        for (;;) {
            const qsizetype start = i_;
            args.append(sequence(depth + 1, true));
            raised.push_back(startsRaised(start));
            if (i_ >= s_.size()) break;
            if (s_[i_] == u',') {
                ++i_;
                continue;
            }
            ++i_;  // ')'
            break;
        }
        switch (kind) {
        case u'o': {
            // Overstrike; with a raised argument it is ruby: the rest is the base.
            QStringList base;
            for (size_t k = 0; k < raised.size(); ++k)
                if (!raised[k]) base.append(args[qsizetype(k)]);
            if (!base.isEmpty() && base.size() < args.size()) return base.join(u',');
            return args.join(QString());
        }
        case u'f':
            return args.size() == 2 ? args[0] + u'/' + args[1] : args.join(QString());
        case u'l':
            return args.join(u',');
        default:
            return args.join(QString());
        }
    }

    bool startsRaised(qsizetype i) const {
        while (i < s_.size() && s_[i].isSpace()) ++i;
        return at(i, u'\\') && (at(i + 1, u's') || at(i + 1, u'S')) && !letterAt(i + 2);
    }

    // Ruby at the top: \o[options](\s[options](ruby),base).  LibreOffice
    // does not escape parentheses and commas in the ruby or the base, so
    // the base is taken as everything from the first comma after the ruby
    // (its parentheses counted loosely) to the last ')'; what follows that is
    // text again.
    bool rubyBase(QString& base) {
        i_ = 0;
        for (;;) {
            skipSpaces();
            if (at(i_, u'\\') && at(i_ + 1, u'*')) skipFieldSwitch();
            else break;
        }
        const auto switchNamed = [&](char16_t lower) {
            if (!at(i_, u'\\') || letters(i_ + 1) != 1 || QChar::toLower(s_[i_ + 1].unicode()) != lower)
                return false;
            i_ += 2;
            for (;;) {
                skipSpaces();
                const qsizetype m = at(i_, u'\\') ? letters(i_ + 1) : 0;
                if (m < 2) break;
                const QStringView option = s_.sliced(i_ + 1, m);
                i_ += 1 + m;
                skipOptionValue(option);
            }
            skipSpaces();
            if (!at(i_, u'(')) return false;
            ++i_;
            skipSpaces();
            return true;
        };
        if (!switchNamed(u'o') || !switchNamed(u's')) return false;
        int parens = 1;
        qsizetype comma = -1;
        for (qsizetype k = i_; k < s_.size() && comma < 0; ++k) {
            const QChar c = s_[k];
            if (c == u'\\') ++k;
            else if (c == u'(') ++parens;
            else if (c == u')') parens = std::max(parens - 1, 0);
            else if (c == u',' && parens == 0) comma = k;
        }
        if (comma < 0) return false;
        qsizetype end = s_.lastIndexOf(u')');
        if (end <= comma) end = s_.size();
        base = Equation(s_.sliced(comma + 1, end - comma - 1), 1).sequence(1, false);
        if (end + 1 < s_.size()) base += Equation(s_.sliced(end + 1), 1).sequence(1, false);
        return true;
    }
};

// What a field with an empty result shows: only an equation's text.
QString fieldText(QStringView inst) {
    inst = inst.trimmed();
    if (inst.size() < 2 || !inst.first(2).startsWith(u"EQ", Qt::CaseInsensitive)) return {};
    if (inst.size() > 2 && !inst[2].isSpace() && inst[2] != u'\\') return {};
    return Equation(inst.sliced(2)).text().trimmed();
}

void Reader::run() {
    // Caller checked the signature; start at the first brace.
    while (pos_ < size_ && p_[pos_] != '{') ++pos_;
    while (pos_ < size_ && !done_) {
        const unsigned char c = p_[pos_];
        switch (c) {
        case '{':
            ++pos_;
            openGroup();
            break;
        case '}':
            ++pos_;
            closeGroup();
            break;
        case '\\': {
            ++pos_;
            if (pos_ >= size_) break;
            const unsigned char n = p_[pos_];
            if (isLetter(n)) {
                Word w;
                readWord(w);
                controlWord(w);
            } else {
                ++pos_;
                controlSymbol(n);
            }
            break;
        }
        case '\r':
        case '\n':
            ++pos_;
            break;
        default:
            starPending_ = false;
            if (g_.dest == Dest::Skip || g_.dest == Dest::SkipEscape) {
                skipToSpecial();
            } else if (g_.dest == Dest::Text && skipUnits_ == 0 && leadByte_ < 0 && c < 0x80 &&
                       c != '\t') {
                plainRun();
            } else {
                ++pos_;
                textByte(c);
            }
            break;
        }
    }
    // Unclosed groups are closed by the end of the input.
    while (!fields_.empty()) finishField();
    flushLead();
    if (highSurrogate_) {
        highSurrogate_ = 0;
        emitUnit(kReplacement);
    }
    // The paragraph mark that ends the last paragraph opens no new one.
    if (pendingParagraphs_ > 0) --pendingParagraphs_;
    if (pendingParagraphs_ > 0) beginText();  // flushes the pending marks alone
    flushRun();
}

void Reader::skipToSpecial() {
    while (pos_ < size_) {
        const unsigned char c = p_[pos_];
        if (c == '{' || c == '}' || c == '\\') return;
        ++pos_;
    }
}

void Reader::readWord(Word& w) {
    while (pos_ < size_ && isLetter(p_[pos_])) {
        if (w.length < kMaxWordLength)
            w.name[w.length++] = char(p_[pos_]);
        else
            w.tooLong = true;
        ++pos_;
    }
    w.name[w.length] = 0;
    bool negative = false;
    if (pos_ < size_ && p_[pos_] == '-' && pos_ + 1 < size_ && isDigit(p_[pos_ + 1])) {
        negative = true;
        ++pos_;
    }
    if (pos_ < size_ && isDigit(p_[pos_])) {
        long long v = 0;
        while (pos_ < size_ && isDigit(p_[pos_])) {
            if (v < 10'000'000'000LL) v = v * 10 + (p_[pos_] - '0');
            ++pos_;
        }
        if (negative) v = -v;
        if (v > INT32_MAX) v = INT32_MAX;
        if (v < INT32_MIN) v = INT32_MIN;
        w.hasParam = true;
        w.param = int(v);
    }
    if (pos_ < size_ && p_[pos_] == ' ') ++pos_;
}

void Reader::openGroup() {
    // A fall-back being skipped ends at a brace.
    skipUnits_ = 0;
    starPending_ = false;
    if (stack_.size() >= size_t(kMaxDepth)) {
        // Groups past the cap keep no stack of their own; the outermost one
        // restores its state on closing, so nothing leaks into the parent.
        if (overflowDepth_++ == 0) overflowSaved_ = g_;
        return;
    }
    stack_.push_back(g_);
}

void Reader::closeGroup() {
    skipUnits_ = 0;
    starPending_ = false;
    const Dest closing = g_.dest;
    if (overflowDepth_ > 0) {
        if (--overflowDepth_ > 0) return;
        g_ = overflowSaved_;
    } else if (stack_.empty()) {
        done_ = true;  // text after the final brace is ignored
        return;
    } else {
        g_ = stack_.back();
        stack_.pop_back();
        while (!fields_.empty() && stack_.size() < fields_.back().depth) finishField();
        if (stack_.empty()) done_ = true;
    }
    // The end of a braced entry or of the table ends a name that lacks its
    // semicolon.
    if (closing == Dest::FontTable) finishFontEntry();
}

void Reader::openField() {
    if (g_.dest != Dest::Text || overflowDepth_ > 0) return;
    if (!fields_.empty() && fields_.back().depth == stack_.size()) return;
    fields_.push_back(Field{stack_.size(), emitted_, {}, false, {}});
}

// The field's group closed.  An empty result gives way to the text the
// instruction shows, in the format the instruction began in.
void Reader::finishField() {
    Field f = std::move(fields_.back());
    fields_.pop_back();
    if (emitted_ != f.textBefore || !f.stateTaken) return;
    const QString text = fieldText(f.inst);
    if (text.isEmpty()) return;
    const Group outer = g_;
    g_ = f.state;
    g_.dest = Dest::Text;
    skipUnits_ = 0;
    for (QChar c : text) emitUnit(c.unicode());
    g_ = outer;
}

const CodePage& Reader::pageOfFont(int font) const {
    auto it = fonts_.constFind(font);
    if (it == fonts_.constEnd()) return CodePage::get(docPage_);
    if (it->codePage > 0) return CodePage::get(it->codePage);
    return CodePage::get(rtf::codePageForCharset(it->charset, docPage_));
}

const CodePage& Reader::currentPage() const {
    // Asked for every text byte: the answer is kept until the font, the
    // character mode, the document's code page or the font table changes.
    const PageKey key{g_.mode == CharMode::Dbch ? g_.dbchFont : -1, g_.props.font, docPage_, fontsChanged_};
    if (cachedPage_ && key == cachedKey_) return *cachedPage_;
    const CodePage* page = nullptr;
    if (key.dbchFont >= 0) {
        const CodePage& dbch = pageOfFont(key.dbchFont);
        if (dbch.isDoubleByte()) page = &dbch;
    }
    if (!page) page = &pageOfFont(g_.props.font);
    cachedKey_ = key;
    cachedPage_ = page;
    return *page;
}

void Reader::textByte(unsigned char b, bool escaped) {
    switch (g_.dest) {
    case Dest::Skip:
    case Dest::SkipEscape:
        return;
    case Dest::FontTable:
        if (!consumeSkipUnit()) fontTableByte(b, escaped);
        return;
    case Dest::ColorTable:
        colorTableByte(b);
        return;
    case Dest::Text:
    case Dest::FieldInst:
        break;
    }
    if (consumeSkipUnit()) return;
    if (leadByte_ >= 0) {
        const int lead = leadByte_;
        const CodePage* page = leadPage_;
        const CodePage* single = leadSinglePage_;
        leadByte_ = -1;
        // A byte that cannot be a trail is read on its own after the lead.
        const bool trail = page->isTrailByte(b);
        const char16_t c = trail ? page->pair(uchar(lead), b) : kReplacement;
        if (trail && (c != kReplacement || !single)) {
            emitUnit(c, true);
            return;
        }
        // Not a pair after all: the lead stands alone, in its own page when
        // it has one.
        emitUnit(single ? single->single(uchar(lead)) : kReplacement);
    }
    if (b == '\t') {
        emitUnit(u'\t');
        return;
    }
    if (b < 0x80) {
        emitUnit(char16_t(b));
        return;
    }
    const CodePage& page = currentPage();
    if (page.isLeadByte(b)) {
        leadByte_ = b;
        leadPage_ = &page;
        leadSinglePage_ = nullptr;
        return;
    }
    if (!page.isDoubleByte() && g_.dbchFont >= 0 && g_.mode != CharMode::Hich) {
        // A single-byte font with a double-byte font beside it (\dbch): a lead
        // byte of that font begins a pair when a valid trail follows.  Writers
        // announce single high bytes with \hich.
        const CodePage& dbcs = pageOfFont(g_.dbchFont);
        if (dbcs.isLeadByte(b)) {
            leadByte_ = b;
            leadPage_ = &dbcs;
            leadSinglePage_ = &page;
            return;
        }
    }
    emitUnit(page.single(b));
}

void Reader::plainRun() {
    beginText();
    if (highSurrogate_) {
        // A high surrogate that no low one followed.
        highSurrogate_ = 0;
        run_.append(QChar(kReplacement));
    }
    const qsizetype start = pos_;
    while (pos_ < size_) {
        const unsigned char c = p_[pos_];
        if (c < 0x20 || c >= 0x80 || c == '\\' || c == '{' || c == '}') break;
        ++pos_;
    }
    run_.append(QLatin1StringView(reinterpret_cast<const char*>(p_ + start), pos_ - start));
    emitted_ += pos_ - start;
    // Raw control bytes are not text (escaped ones are).
    if (pos_ < size_) {
        const unsigned char c = p_[pos_];
        if (c < 0x20 && c != '\r' && c != '\n' && c != '\t') ++pos_;
    }
}

void Reader::flushLead() {
    if (leadByte_ < 0) return;
    const int lead = leadByte_;
    const CodePage* single = leadSinglePage_;
    leadByte_ = -1;
    emitUnit(single ? single->single(uchar(lead)) : kReplacement);
}

// Puts pending paragraph and cell marks before the text that follows them,
// and starts a new run when the properties changed.
void Reader::beginText() {
    if (!runStarted_) {
        runProps_ = g_.props;
        runStarted_ = true;
    } else if (!(runProps_ == g_.props)) {
        flushRun();
        runProps_ = g_.props;
        runStarted_ = true;
    }
    if (pendingParagraphs_ > 0 || pendingCells_ > 0) {
        for (; pendingParagraphs_ > 0; --pendingParagraphs_) run_.append(QChar::ParagraphSeparator);
        for (; pendingCells_ > 0; --pendingCells_) run_.append(u'\t');
    }
}

// Characters of the East Asian scripts: the text a double-byte font is for.
bool isEastAsian(char32_t c) {
    return (c >= 0x1100 && c <= 0x11FF)      // Hangul jamo
           || (c >= 0x2E80 && c <= 0x2FFF)   // radicals, ideographic description
           || (c >= 0x3000 && c <= 0x9FFF)   // CJK symbols, kana, ideographs
           || (c >= 0xA000 && c <= 0xA4CF)   // Yi
           || (c >= 0xAC00 && c <= 0xD7AF)   // Hangul syllables
           || (c >= 0xF900 && c <= 0xFAFF)   // compatibility ideographs
           || (c >= 0xFE30 && c <= 0xFE4F)   // vertical forms
           || (c >= 0xFF00 && c <= 0xFFEF)   // full-width and half-width forms
           || (c >= 0x20000 && c <= 0x3FFFF);
}

// Double-byte text: a byte pair, an East Asian character, or any non-ASCII
// character the writer announced with \dbch.
bool Reader::isDoubleByteText(char16_t c) const {
    char32_t cp = c;
    if (QChar::isLowSurrogate(c) && highSurrogate_) cp = QChar::surrogateToUcs4(highSurrogate_, c);
    return isEastAsian(cp) || (c >= 0x80 && g_.mode == CharMode::Dbch);
}

void Reader::emitUnit(char16_t c, bool pair) {
    if (g_.dest == Dest::FieldInst) {
        if (fields_.empty()) return;
        Field& f = fields_.back();
        if (!f.stateTaken) {
            f.state = g_;
            f.stateTaken = true;
        }
        if (f.inst.size() < kMaxInstruction) f.inst.append(QChar(c));
        return;
    }
    if (g_.dest != Dest::Text) return;
    if (leadByte_ >= 0) flushLead();
    const bool assoc = c >= 0x80 && g_.mode == CharMode::Dbch && g_.dbchAssoc.any();
    // Our documents hold one font per run: double-byte text takes the font
    // named for it (\dbch\afN) when the table has that font.
    const bool dbchFont = g_.dbchFont >= 0 && g_.dbchFont != g_.props.font &&
                          (pair || isDoubleByteText(c)) && fonts_.contains(g_.dbchFont);
    if (!assoc && !dbchFont) {
        emitTextUnit(c);
        return;
    }
    const Props own = g_.props;
    // Double-byte text takes the properties given for it.
    if (assoc) g_.dbchAssoc.applyTo(g_.props);
    if (dbchFont) g_.props.font = g_.dbchFont;
    emitTextUnit(c);
    g_.props = own;
}

void Reader::emitTextUnit(char16_t c) {
    if (leadByte_ >= 0) flushLead();
    ++emitted_;
    // Lone surrogates become U+FFFD; a pair is kept whole.
    if (highSurrogate_) {
        const char16_t high = highSurrogate_;
        highSurrogate_ = 0;
        beginText();
        if (QChar::isLowSurrogate(c)) {
            run_.append(QChar(high));
            run_.append(QChar(c));
            return;
        }
        run_.append(QChar(kReplacement));
    }
    if (QChar::isHighSurrogate(c)) {
        highSurrogate_ = c;
        return;
    }
    if (QChar::isLowSurrogate(c)) c = kReplacement;
    // Characters the document model treats as structure, never as text.
    if (c == 0xFDD0 || c == 0xFDD1 || c == 0xFFFC || c == u'\r' || c == u'\n' ||
        c == QChar::ParagraphSeparator)
        c = kReplacement;
    beginText();
    run_.append(QChar(c));
}

void Reader::emitParagraph() {
    if (g_.dest != Dest::Text) return;
    flushLead();
    if (highSurrogate_) {
        highSurrogate_ = 0;
        emitUnit(kReplacement);
    }
    pendingCells_ = 0;
    ++pendingParagraphs_;
}

void Reader::emitCell() {
    if (g_.dest != Dest::Text) return;
    flushLead();
    ++pendingCells_;
}

QTextCharFormat Reader::format(const Props& p) const {
    QTextCharFormat f;
    auto font = fonts_.constFind(p.font);
    if (font != fonts_.constEnd() && !font->name.isEmpty()) f.setFontFamilies({font->name});
    f.setFontPointSize(p.fs / 2.0);
    f.setFontWeight(p.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(p.italic);
    f.setFontStrikeOut(p.strike);
    switch (p.underline) {
    case Underline::None: f.setUnderlineStyle(QTextCharFormat::NoUnderline); break;
    case Underline::Single: f.setUnderlineStyle(QTextCharFormat::SingleUnderline); break;
    case Underline::Dotted: f.setUnderlineStyle(QTextCharFormat::DotLine); break;
    case Underline::Dash: f.setUnderlineStyle(QTextCharFormat::DashUnderline); break;
    case Underline::DashDot: f.setUnderlineStyle(QTextCharFormat::DashDotLine); break;
    case Underline::DashDotDot: f.setUnderlineStyle(QTextCharFormat::DashDotDotLine); break;
    case Underline::Wave: f.setUnderlineStyle(QTextCharFormat::WaveUnderline); break;
    }
    if (p.fg >= 0 && size_t(p.fg) < colors_.size() && colors_[p.fg].isValid())
        f.setForeground(colors_[p.fg]);
    if (p.bg > 0 && size_t(p.bg) < colors_.size() && colors_[p.bg].isValid())
        f.setBackground(colors_[p.bg]);
    return f;
}

void Reader::flushRun() {
    if (!run_.isEmpty()) {
        cursor_.insertText(run_, format(runProps_));
        run_.clear();
    }
    runStarted_ = false;
}

// --- font and colour tables

// An escaped ';' (\'3b) is part of the name; only a bare one ends it.
void Reader::fontTableByte(unsigned char b, bool escaped) {
    if (ftFont_ < 0 || ftNameDone_) return;
    if (b == ';' && !escaped) {
        finishFontEntry();
        return;
    }
    if (ftBytes_.size() + ftName_.size() < kMaxFontNameBytes) ftBytes_.append(char(b));
}

void Reader::fontTableChar(char16_t c) {
    if (ftFont_ < 0 || ftNameDone_) return;
    decodeFontBytes();
    if (ftName_.size() < kMaxFontNameBytes) ftName_.append(QChar(c));
}

// Font names arrive as bytes in the font's own code page.
void Reader::decodeFontBytes() {
    const CodePage& page = pageOfFont(ftFont_);
    for (qsizetype i = 0; i < ftBytes_.size(); ++i) {
        const unsigned char b = uchar(ftBytes_[i]);
        if (page.isLeadByte(b) && i + 1 < ftBytes_.size()) {
            ftName_.append(QChar(page.pair(b, uchar(ftBytes_[i + 1]))));
            ++i;
        } else {
            ftName_.append(QChar(page.single(b)));
        }
    }
    ftBytes_.clear();
}

void Reader::finishFontEntry() {
    if (ftFont_ < 0 || ftNameDone_) return;
    decodeFontBytes();
    auto it = fonts_.find(ftFont_);
    if (it != fonts_.end()) it->name = ftName_.trimmed();
    ftName_.clear();
    ftNameDone_ = true;
}

void Reader::colorTableByte(unsigned char b) {
    if (b != ';') return;
    if (colors_.size() < size_t(kMaxColors))
        colors_.push_back(colorComponent_ ? QColor(red_, green_, blue_) : QColor());
    red_ = green_ = blue_ = 0;
    colorComponent_ = false;
}

// --- control words

void Reader::destination(const Word& w) {
    if (w.is("fonttbl")) {
        g_.dest = Dest::FontTable;
        ftFont_ = -1;
    } else if (w.is("colortbl")) {
        g_.dest = Dest::ColorTable;
        if (!colorTableSeen_) colors_.clear();
        colorTableSeen_ = true;
        red_ = green_ = blue_ = 0;
        colorComponent_ = false;
    } else if (w.is("upr") || w.is("object")) {
        g_.dest = Dest::SkipEscape;
    } else {
        g_.dest = Dest::Skip;
    }
}

void Reader::controlWord(const Word& w) {
    const bool star = starPending_;
    starPending_ = false;
    if (w.tooLong) {
        if (star) g_.dest = Dest::Skip;
        consumeSkipUnit();
        return;
    }
    // \bin data is raw bytes whatever the destination.
    if (w.is("bin")) {
        const qsizetype n = w.hasParam && w.param > 0 ? w.param : 0;
        pos_ += std::min<qsizetype>(n, size_ - pos_);
        consumeSkipUnit();
        return;
    }
    if (g_.dest == Dest::Skip) return;
    if (g_.dest == Dest::SkipEscape) {
        if (w.is("ud") || w.is("result")) g_.dest = Dest::Text;
        else if (star || isSkippedDestination(w)) g_.dest = Dest::Skip;
        return;
    }

    // Tables have their own few keywords.
    if (g_.dest == Dest::FontTable) {
        if (w.is("f")) {
            if (ftFont_ >= 0) finishFontEntry();
            ftFont_ = -1;
            if (fonts_.size() < kMaxFonts || fonts_.contains(w.param)) {
                ftFont_ = w.param;
                fonts_[ftFont_] = FontEntry{};
                ++fontsChanged_;
                ftBytes_.clear();
                ftName_.clear();
                ftNameDone_ = false;
            }
        } else if (w.is("fcharset")) {
            if (ftFont_ >= 0) fonts_[ftFont_].charset = w.param;
            ++fontsChanged_;
        } else if (w.is("cpg")) {
            if (ftFont_ >= 0 && w.param > 0) fonts_[ftFont_].codePage = w.param;
            ++fontsChanged_;
        } else if (w.is("u") && w.hasParam) {
            int v = w.param;
            if (v < 0) v += 65536;
            fontTableChar(v >= 0 && v <= 0xFFFF ? char16_t(v) : kReplacement);
            skipUnits_ = g_.uc;
        } else if (w.is("uc")) {
            g_.uc = std::clamp(w.param, 0, 16);
        } else if (star || isSkippedDestination(w)) {
            g_.dest = Dest::Skip;
        }
        return;
    }
    if (g_.dest == Dest::ColorTable) {
        if (w.is("red")) red_ = std::clamp(w.param, 0, 255), colorComponent_ = true;
        else if (w.is("green")) green_ = std::clamp(w.param, 0, 255), colorComponent_ = true;
        else if (w.is("blue")) blue_ = std::clamp(w.param, 0, 255), colorComponent_ = true;
        else if (star || isSkippedDestination(w)) g_.dest = Dest::Skip;
        return;
    }

    // Inside a \uc fall-back a control word counts as one unit and is dropped.
    // A bare \u names no character and so has no fall-back either.
    if (w.is("u") && w.hasParam) {
        if (consumeSkipUnit()) return;
        int v = w.param;
        if (v < 0) v += 65536;
        flushLead();
        emitUnit(v >= 0 && v <= 0xFFFF ? char16_t(v) : kReplacement);
        skipUnits_ = g_.uc;
        return;
    }
    if (consumeSkipUnit()) return;

    Props& p = g_.props;
    const int param = w.param;
    const bool on = !w.hasParam || param != 0;
    const char c0 = w.name[0];
    switch (c0) {
    case 'a':
        if (w.is("ansicpg")) {
            if (param > 0) docPage_ = CodePage::get(param).number();
            ansicpgSeen_ = true;
            return;
        }
        if (w.is("ansi")) {
            if (!ansicpgSeen_) docPage_ = 1252;
            return;
        }
        if (w.is("af")) {
            if (g_.dbchSlot) g_.dbchFont = param;
            return;
        }
        // The other associated properties, for the double-byte text when
        // \dbch chose its slot; the complex-script ones are not kept.
        if (w.is("ab")) { if (g_.dbchSlot) g_.dbchAssoc.bold = on; return; }
        if (w.is("ai")) { if (g_.dbchSlot) g_.dbchAssoc.italic = on; return; }
        if (w.is("afs")) {
            if (g_.dbchSlot) g_.dbchAssoc.fs = w.hasParam ? std::clamp(param, 2, 3276) : 24;
            return;
        }
        break;
    case 'b':
        if (w.is("b")) { p.bold = on; return; }
        if (w.is("bullet")) { emitUnit(0x2022); return; }
        break;
    case 'c':
        // \cf0 is the first table entry; only an empty entry means auto.
        if (w.is("cf")) { p.fg = std::max(param, 0); return; }
        if (w.is("cb") || w.is("chcbpat")) { p.bg = std::max(param, 0); return; }
        if (w.is("cell")) { emitCell(); return; }
        if (w.is("colortbl")) { destination(w); return; }
        break;
    case 'd':
        if (w.is("deff")) { defaultFont_ = param; g_.props.font = param; return; }
        if (w.is("dbch")) { g_.mode = CharMode::Dbch; g_.dbchSlot = true; return; }
        break;
    case 'e':
        if (w.is("emdash")) { emitUnit(0x2014); return; }
        if (w.is("endash")) { emitUnit(0x2013); return; }
        if (w.is("emspace")) { emitUnit(0x2003); return; }
        if (w.is("enspace")) { emitUnit(0x2002); return; }
        break;
    case 'f':
        if (w.is("f")) {
            p.font = param;
            if (g_.dbchSlot) g_.dbchFont = param;
            return;
        }
        if (w.is("fcs")) { g_.dbchSlot = false; return; }
        if (w.is("fs")) { p.fs = w.hasParam ? std::clamp(param, 2, 3276) : 24; return; }
        if (w.is("fonttbl")) { destination(w); return; }
        if (w.is("field")) { openField(); return; }
        if (w.is("fldrslt")) return;
        if (w.is("fldinst")) {
            // Kept only for the field it belongs to; nested instructions
            // inside it are not part of its text.
            const bool own = g_.dest == Dest::Text && !fields_.empty() && overflowDepth_ == 0 &&
                             stack_.size() > fields_.back().depth;
            g_.dest = own ? Dest::FieldInst : Dest::Skip;
            return;
        }
        break;
    case 'h':
        if (w.is("highlight")) { p.bg = std::max(param, 0); return; }
        if (w.is("hich")) { g_.mode = CharMode::Hich; g_.dbchSlot = false; return; }
        break;
    case 'i':
        if (w.is("i")) { p.italic = on; return; }
        break;
    case 'l':
        if (w.is("line")) { emitUnit(QChar::LineSeparator); return; }
        if (w.is("lquote")) { emitUnit(0x2018); return; }
        if (w.is("ldblquote")) { emitUnit(0x201C); return; }
        if (w.is("loch")) { g_.mode = CharMode::Loch; g_.dbchSlot = false; return; }
        if (w.is("ltrch")) { g_.dbchSlot = false; return; }
        if (w.is("lbr")) { emitUnit(QChar::LineSeparator); return; }
        break;
    case 'm':
        if (w.is("mac")) { if (!ansicpgSeen_) docPage_ = 10000; return; }
        break;
    case 'n':
        if (w.is("nestcell")) { emitCell(); return; }
        if (w.is("nestrow")) { emitParagraph(); return; }
        break;
    case 'p':
        if (w.is("par") || w.is("page")) { emitParagraph(); return; }
        if (w.is("plain")) {
            const int font = defaultFont_;
            p = Props{};
            p.font = font;
            g_.dbchAssoc = {};
            g_.dbchFont = -1;
            return;
        }
        if (w.is("pc")) { if (!ansicpgSeen_) docPage_ = 437; return; }
        if (w.is("pca")) { if (!ansicpgSeen_) docPage_ = 850; return; }
        break;
    case 'q':
        if (w.is("qmspace")) { emitUnit(0x2005); return; }
        break;
    case 'r':
        if (w.is("rquote")) { emitUnit(0x2019); return; }
        if (w.is("rdblquote")) { emitUnit(0x201D); return; }
        if (w.is("rtlch")) { g_.dbchSlot = false; return; }
        if (w.is("row")) {
            if (g_.dest == Dest::Text) pendingCells_ = 0;
            emitParagraph();
            return;
        }
        break;
    case 's':
        if (w.is("strike")) { p.strike = on; return; }
        if (w.is("striked")) { p.strike = on; return; }
        if (w.is("sect")) { emitParagraph(); return; }
        break;
    case 't':
        if (w.is("tab")) { emitUnit(u'\t'); return; }
        break;
    case 'u':
        if (w.is("uc")) { g_.uc = std::clamp(param, 0, 16); return; }
        if (w.is("ul") || w.is("ulw") || w.is("uldb") || w.is("ulth")) {
            p.underline = on ? Underline::Single : Underline::None;
            return;
        }
        if (w.is("ulnone")) { p.underline = Underline::None; return; }
        if (w.is("uld") || w.is("ulthd")) { p.underline = on ? Underline::Dotted : Underline::None; return; }
        if (w.is("uldash") || w.is("ulldash") || w.is("ulthdash") || w.is("ulthldash")) {
            p.underline = on ? Underline::Dash : Underline::None;
            return;
        }
        if (w.is("uldashd") || w.is("ulthdashd")) { p.underline = on ? Underline::DashDot : Underline::None; return; }
        if (w.is("uldashdd") || w.is("ulthdashdd")) {
            p.underline = on ? Underline::DashDotDot : Underline::None;
            return;
        }
        if (w.is("ulwave") || w.is("ulhwave") || w.is("ululdbwave")) {
            p.underline = on ? Underline::Wave : Underline::None;
            return;
        }
        if (w.is("upr")) { destination(w); return; }
        if (w.is("ud")) return;
        break;
    default:
        break;
    }
    if (star || isSkippedDestination(w)) destination(w);
}

void Reader::controlSymbol(unsigned char c) {
    const bool star = starPending_;
    starPending_ = false;
    switch (c) {
    case '*':
        starPending_ = true;
        return;
    case '\'': {
        const int hi = pos_ < size_ ? hexValue(p_[pos_]) : -1;
        const int lo = pos_ + 1 < size_ ? hexValue(p_[pos_ + 1]) : -1;
        if (hi < 0 || lo < 0) {
            // A damaged escape: one replacement character, the bytes after it
            // are read as they come.
            if (hi >= 0) ++pos_;
            if (g_.dest == Dest::Text && !consumeSkipUnit()) emitUnit(kReplacement);
            return;
        }
        pos_ += 2;
        textByte(uchar(hi * 16 + lo), true);
        return;
    }
    case '\\':
    case '{':
    case '}':
        textByte(c, true);
        return;
    case '\r':
    case '\n':
        // A backslash before a line end is a paragraph mark.
        if (consumeSkipUnit()) return;
        emitParagraph();
        return;
    default:
        break;
    }
    (void)star;
    if (g_.dest == Dest::FontTable || g_.dest == Dest::ColorTable) return;
    if (consumeSkipUnit()) return;
    switch (c) {
    case '~': emitUnit(0x00A0); break;
    case '-': emitUnit(0x00AD); break;
    case '_': emitUnit(0x2011); break;
    case '\t': emitUnit(u'\t'); break;
    default: break;  // \| \: and unknown symbols carry no text
    }
}

} // namespace

bool isRichText(QByteArrayView bytes) {
    qsizetype i = 0;
    while (i < bytes.size() &&
           (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return bytes.sliced(i).startsWith("{\\rtf");
}

bool isWholeRichText(QByteArrayView bytes) {
    if (!isRichText(bytes)) return false;
    const auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    qint64 depth = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0) return true;
        } else if (c == '\\' && i + 1 < n) {
            if (!isLetter(bytes[i + 1])) {
                ++i;  // \{ \} \\ and the other symbols
                continue;
            }
            qsizetype j = i + 1;
            while (j < n && isLetter(bytes[j])) ++j;
            const QByteArrayView word = bytes.sliced(i + 1, j - i - 1);
            qint64 param = 0;
            bool negative = j < n && bytes[j] == '-';
            if (negative) ++j;
            while (j < n && isDigit(bytes[j]) && param < n) param = param * 10 + (bytes[j++] - '0');
            if (j < n && bytes[j] == ' ') ++j;
            // \binN is followed by N raw bytes, braces among them.
            if (word == "bin" && !negative) j += param;
            i = j - 1;
        }
    }
    return false;
}

bool readRichText(QByteArrayView bytes, QTextDocument& doc) {
    if (!isRichText(bytes)) return false;
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    // One edit block: the cursor then skips laying out each block it touches.
    QTextCursor block(&doc);
    block.beginEditBlock();
    {
        Reader reader(bytes, doc);
        reader.run();
    }
    soft_breaks::split(doc);
    block.endEditBlock();
    doc.setUndoRedoEnabled(undo);
    return true;
}

} // namespace tess
