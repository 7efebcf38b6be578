#include "textsearch.h"

#include <algorithm>

namespace tess::search {
namespace {

// Half-width katakana U+FF61..U+FF9F as their full-width forms.
constexpr char16_t kHalfKana[] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9,
    0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB,
    0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1,
    0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5,
    0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9,
    0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C};

constexpr char16_t kVoiced = 0xFF9E;      // ﾞ
constexpr char16_t kSemiVoiced = 0xFF9F;  // ﾟ

// カ..ト and ハ..ホ take the voiced mark as the next code point; ハ..ホ the
// semi-voiced one as the one after; ウ becomes ヴ.
char16_t withVoicedMark(char16_t kana, char16_t mark) {
    const bool ka = kana >= 0x30AB && kana <= 0x30C8 && kana != 0x30C3;
    const bool ha = kana >= 0x30CF && kana <= 0x30DB && (kana - 0x30CF) % 3 == 0;
    if (mark == kVoiced) {
        if (kana == 0x30A6) return 0x30F4;
        if (ka) {
            // カ キ ク ケ コ サ シ ス セ ソ タ チ lie two apart, ツ テ ト too.
            const bool even = kana < 0x30C4 ? (kana - 0x30AB) % 2 == 0 : (kana - 0x30C4) % 2 == 0;
            return even ? char16_t(kana + 1) : 0;
        }
        if (ha) return char16_t(kana + 1);
    } else if (mark == kSemiVoiced && ha) {
        return char16_t(kana + 2);
    }
    return 0;
}

char16_t foldChar(char16_t c) {
    if (c >= 0xFF01 && c <= 0xFF5E) return char16_t(c - 0xFF01 + 0x21);
    if (c == 0x3000) return u' ';
    if (c >= 0xFF61 && c <= 0xFF9F) c = kHalfKana[c - 0xFF61];
    if (c >= 0x3041 && c <= 0x3096) return char16_t(c + 0x60);
    if (c == 0x309D || c == 0x309E) return char16_t(c + 0x60);
    return c;
}

constexpr char16_t kReplacement = 0xFFFD;

bool isAsciiWordChar(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
}

// The text with every unpaired surrogate as U+FFFD, one for one, so that
// positions stay.  PCRE2 refuses a subject or pattern that is not valid
// UTF-16 (one stray half anywhere and nothing is ever found), and matching
// invalid UTF-16 unchecked is unsafe.  A text that is valid is shared, not
// copied.
QString validUtf16(const QString& text) {
    if (text.isValidUtf16()) return text;
    QString out = text;
    QChar* c = out.data();
    const qsizetype n = out.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (c[i].isHighSurrogate() && i + 1 < n && c[i + 1].isLowSurrogate()) ++i;
        else if (c[i].isSurrogate()) c[i] = QChar(kReplacement);
    }
    return out;
}

// A pattern that finds `text` as it is.  Not QRegularExpression::escape():
// it writes NUL as "\0", which reads as an octal escape together with a
// digit after it (NUL + "1" became U+0001).  Outside ASCII every character
// is a literal already.
QString literalPattern(QStringView text) {
    QString out;
    out.reserve(text.size() * 2);
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0) out += u"\\x{0}";
        else if (u < 0x80 && !isAsciiWordChar(u)) out += u'\\';
        if (u != 0) out += c;
    }
    return out;
}

// A regular expression written over the folded text.  The pattern is folded
// as the text is (so ｶﾞ and ﾊﾟ become one character, as they are in the
// text), and a full-width character is a literal whatever it folds to: "（"
// is an opening parenthesis to find, not a group, and so is "\（"; "\１"
// and "\Ａ" are the digit and the letter, not a back-reference or an anchor.
QString foldedRegex(QStringView pattern) {
    const Folded folded = fold(pattern);
    QString out;
    out.reserve(folded.text.size() * 2);
    bool escaped = false;  // the last character written is an escaping backslash
    bool quoted = false;   // between \Q and \E, where only \E is special
    for (qsizetype i = 0; i < folded.text.size(); ++i) {
        const char16_t f = folded.text[i].unicode();
        const char16_t original = pattern[folded.origin[size_t(i)]].unicode();
        const bool fromWide = f != original && f < 0x80;
        const bool word = isAsciiWordChar(f);
        if (quoted) {
            if (fromWide) {
                // Out of the quote and back: a folded "＼Ｅ" must not end it.
                out += u"\\E";
                if (!word) out += u'\\';
                out += QChar(f);
                out += u"\\Q";
                escaped = false;
                continue;
            }
            out += QChar(f);
            if (escaped && f == u'E') quoted = false;
            escaped = f == u'\\';
            continue;
        }
        if (fromWide) {
            if (escaped && word) out.chop(1);
            else if (!escaped && !word) out += u'\\';
            out += QChar(f);
            escaped = false;
            continue;
        }
        out += QChar(f);
        if (escaped && f == u'Q') quoted = true;
        escaped = !escaped && f == u'\\';
    }
    return out;
}

// A match never starts inside a surrogate pair.
qsizetype onBoundary(const QString& text, qsizetype at) {
    return at > 0 && at < text.size() && text[at].isLowSurrogate() ? at + 1 : at;
}

// The searched text is always valid UTF-16 (see validUtf16), so PCRE2 need
// not check it again on every call: that check runs from the offset to the
// end, and made each replacement of a replace-all cost a pass over the text.
constexpr auto kNoUtfCheck = QRegularExpression::DontCheckSubjectStringMatchOption;

} // namespace

Folded fold(QStringView text) {
    Folded out;
    out.text.reserve(text.size());
    out.origin.reserve(size_t(text.size()) + 1);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isSurrogate(c)) {
            if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                out.text.append(text[i]);
                out.origin.push_back(i);
                ++i;
                out.text.append(text[i]);
            } else {
                out.text.append(QChar(kReplacement));
            }
            out.origin.push_back(i);
            continue;
        }
        char16_t f = foldChar(c);
        qsizetype from = i;
        if (c >= 0xFF61 && c <= 0xFF9D && i + 1 < text.size()) {
            if (const char16_t combined = withVoicedMark(f, text[i + 1].unicode())) {
                f = combined;
                ++i;
            }
        }
        out.text.append(QChar(f));
        out.origin.push_back(from);
    }
    out.origin.push_back(text.size());
    return out;
}

Subject::Subject(QString text, bool folded) : text_(std::move(text)), folded_(folded) {
    if (folded_) {
        fold_ = fold(text_);
        searched_ = fold_.text;
    } else {
        searched_ = validUtf16(text_);
    }
}

qsizetype Subject::toSearched(qsizetype position) const {
    if (!folded_) return std::clamp<qsizetype>(position, 0, text_.size());
    const auto it = std::lower_bound(fold_.origin.begin(), fold_.origin.end(), position);
    return qsizetype(it - fold_.origin.begin());
}

Match Subject::toOriginal(qsizetype start, qsizetype end) const {
    if (!folded_) return {start, end - start};
    const qsizetype s = fold_.origin[size_t(start)];
    return {s, fold_.origin[size_t(end)] - s};
}

Searcher::Searcher(const QString& pattern, const Options& options) : options_(options) {
    if (pattern.isEmpty()) return;
    QString body;
    if (!options.regex) body = literalPattern(options.widthInsensitive ? fold(pattern).text : validUtf16(pattern));
    else if (options.widthInsensitive) body = foldedRegex(pattern);
    else body = validUtf16(pattern);
    if (options.wholeWord)
        body = QStringLiteral("(?<![\\p{L}\\p{N}_])(?:") + body + QStringLiteral(")(?![\\p{L}\\p{N}_])");
    QRegularExpression::PatternOptions flags = QRegularExpression::UseUnicodePropertiesOption |
                                               QRegularExpression::MultilineOption;
    if (!options.matchCase) flags |= QRegularExpression::CaseInsensitiveOption;
    re_ = QRegularExpression(body, flags);
    valid_ = re_.isValid();
    if (!valid_) error_ = re_.errorString();
}

QRegularExpressionMatch Searcher::firstFrom(const Subject& subject, qsizetype searchedFrom) const {
    // The global match's rule for a match of no length: try again at the
    // same place for one with length, then go on one character.
    const QString& text = subject.searched();
    auto it = re_.globalMatch(text, onBoundary(text, searchedFrom), QRegularExpression::NormalMatch, kNoUtfCheck);
    while (it.hasNext()) {
        QRegularExpressionMatch m = it.next();
        if (m.capturedLength() > 0) return m;
    }
    return {};
}

Match Searcher::next(const Subject& subject, qsizetype from) const {
    if (!valid_) return {};
    const QRegularExpressionMatch m = firstFrom(subject, subject.toSearched(from));
    return m.hasMatch() ? subject.toOriginal(m.capturedStart(), m.capturedEnd()) : Match{};
}

Match Searcher::previous(const Subject& subject, qsizetype from) const {
    if (!valid_) return {};
    Match last;
    for (const Match& m : all(subject)) {
        if (m.start >= from) break;
        last = m;
    }
    return last;
}

Match Searcher::at(const Subject& subject, qsizetype start) const {
    const Match m = next(subject, start);
    return m.start == start ? m : Match{};
}

std::vector<Match> Searcher::all(const Subject& subject) const {
    std::vector<Match> out;
    if (!valid_) return out;
    auto it = re_.globalMatch(subject.searched(), 0, QRegularExpression::NormalMatch, kNoUtfCheck);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedLength() > 0) out.push_back(subject.toOriginal(m.capturedStart(), m.capturedEnd()));
    }
    return out;
}

QString Searcher::replacement(const Subject& subject, const Match& match, const QString& with) const {
    if (!options_.regex) return with;
    // The match that next() and all() found there, not an empty one before it.
    const QRegularExpressionMatch m = firstFrom(subject, subject.toSearched(match.start));
    QString out;
    for (qsizetype i = 0; i < with.size(); ++i) {
        const QChar c = with[i];
        if (c != u'\\' || i + 1 == with.size()) {
            out += c;
            continue;
        }
        const QChar n = with[++i];
        if (n.isDigit() && n.digitValue() <= 9) {
            const int group = n.digitValue();
            if (m.hasMatch() && group <= re_.captureCount() && m.capturedStart(group) >= 0) {
                const Match g = subject.toOriginal(m.capturedStart(group), m.capturedEnd(group));
                out += QStringView(subject.text()).mid(g.start, g.length);
            }
        } else if (n == u'n') {
            out += u'\n';
        } else if (n == u't') {
            out += u'\t';
        } else {
            out += n;
        }
    }
    return out;
}

} // namespace tess::search
