#include "richtext/verticalpages.h"

#include <QChar>

#include <algorithm>
#include <iterator>
#include <utility>

namespace tess::vertical {

namespace {

// Horizontal forms and their vertical presentation forms, by the first.
constexpr std::pair<char32_t, char32_t> kForms[] = {
    {U'\u2013', U'\uFE32'},  // – en dash
    {U'\u2014', U'\uFE31'},  // — em dash
    {U'\u2015', U'\uFE31'},  // ― the dash Shift-JIS files hold
    {U'\u2025', U'\uFE30'},  // ‥
    {U'\u2026', U'\uFE19'},  // …
    {U'\u3001', U'\uFE11'},  // 、
    {U'\u3002', U'\uFE12'},  // 。
    {U'\u3008', U'\uFE3F'},  // 〈
    {U'\u3009', U'\uFE40'},  // 〉
    {U'\u300A', U'\uFE3D'},  // 《
    {U'\u300B', U'\uFE3E'},  // 》
    {U'\u300C', U'\uFE41'},  // 「
    {U'\u300D', U'\uFE42'},  // 」
    {U'\u300E', U'\uFE43'},  // 『
    {U'\u300F', U'\uFE44'},  // 』
    {U'\u3010', U'\uFE3B'},  // 【
    {U'\u3011', U'\uFE3C'},  // 】
    {U'\u3014', U'\uFE39'},  // 〔
    {U'\u3015', U'\uFE3A'},  // 〕
    {U'\u3016', U'\uFE17'},  // 〖
    {U'\u3017', U'\uFE18'},  // 〗
    {U'\uFE4F', U'\uFE34'},  // ﹏
    {U'\uFF01', U'\uFE15'},  // ！
    {U'\uFF08', U'\uFE35'},  // （
    {U'\uFF09', U'\uFE36'},  // ）
    {U'\uFF0C', U'\uFE10'},  // ，
    {U'\uFF1A', U'\uFE13'},  // ：
    {U'\uFF1B', U'\uFE14'},  // ；
    {U'\uFF1F', U'\uFE16'},  // ？
    {U'\uFF3B', U'\uFE47'},  // ［
    {U'\uFF3D', U'\uFE48'},  // ］
    {U'\uFF3F', U'\uFE33'},  // ＿
    {U'\uFF5B', U'\uFE37'},  // ｛
    {U'\uFF5D', U'\uFE38'},  // ｝
    {U'\uFF61', U'\uFE12'},  // ｡ half-width
    {U'\uFF62', U'\uFE41'},  // ｢
    {U'\uFF63', U'\uFE42'},  // ｣
    {U'\uFF64', U'\uFE11'},  // ､
};

bool in(char32_t c, std::u32string_view set) { return set.find(c) != std::u32string_view::npos; }

constexpr std::u32string_view kSmallKana =
    U"ぁぃぅぇぉっゃゅょゎゕゖァィゥェォッャュョヮヵヶㇰㇱㇲㇳㇴㇵㇶㇷㇸㇹㇺㇻㇼㇽㇾㇿｧｨｩｪｫｬｭｮｯ";

// Lines and waves that run along the text, and brackets with no vertical form.
constexpr std::u32string_view kTurning =
    U"ー〜～－＝＜＞｜〰‐‒〘〙〚〛｟｠≪≫ｰ‘’“”";

constexpr std::u32string_view kNoStart =
    U"、。，．・：；？！‼⁇⁈⁉）］｝〕〉》」』】〙〗〟’”｣､｡ゝゞヽヾ々〻ー〜～‥…゛゜ｰ"
    U"),.:;!?]}";
constexpr std::u32string_view kNoEnd = U"「『（［｛〔〈《【〘〖〝‘“｢([{";

// Full-width forms of Latin-1 signs that Japanese fonts set upright.
constexpr std::u32string_view kUprightLatin1 = U"§¨©®°±´¶×÷¼½¾";

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

char32_t codeAt(QStringView text, qsizetype i)
{
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(c, text[i + 1]);
    return c.unicode();
}

bool halfWidthAt(QStringView text, qsizetype i) { return isHalfWidth(text[i].unicode()); }

// Marks and variation selectors belong to the character before them.
bool joinsPrevious(QStringView text, qsizetype i)
{
    const char32_t c = codeAt(text, i);
    return QChar::isMark(c) || (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF) ||
           c == 0x200D || c == 0x3099 || c == 0x309A;
}

} // namespace

char32_t verticalForm(char32_t c)
{
    const auto it = std::lower_bound(std::begin(kForms), std::end(kForms), c,
                                     [](const auto& form, char32_t x) { return form.first < x; });
    return it != std::end(kForms) && it->first == c ? it->second : 0;
}

bool turns(char32_t c) { return in(c, kTurning); }

bool isSmallKana(char32_t c) { return in(c, kSmallKana); }

bool sitsUpperRight(char32_t c) { return isSmallKana(c) || in(c, U"、。，．､｡"); }

bool isHalfWidth(char32_t c)
{
    if (c >= 0x20 && c <= 0x7E) return true;
    return c >= 0xA0 && c <= 0x2FF && !in(c, kUprightLatin1);
}

bool noColumnStart(char32_t c) { return isSmallKana(c) || in(c, kNoStart); }

bool noColumnEnd(char32_t c) { return in(c, kNoEnd); }

Unit unitAt(QStringView text, qsizetype i, qsizetype limit)
{
    limit = std::min(limit, text.size());
    const QChar c = text[i];
    if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) return {Kind::End, 1};
    if (halfWidthAt(text, i)) {
        // One or two digits standing alone (not part of a longer run) are
        // read as one sign: "12" in 第12回, never 2026.
        const bool runStarts = i == 0 || !halfWidthAt(text, i - 1);
        qsizetype end = i;
        while (end < text.size() && end - i < 3 && halfWidthAt(text, end) && isDigit(text[end])) ++end;
        const bool runEnds = end == text.size() || !halfWidthAt(text, end);
        if (runStarts && runEnds && end - i <= 2) return {Kind::Across, end - i};
        // A word and the blanks after it: columns break between words.
        end = i;
        while (end < limit && halfWidthAt(text, end) && text[end] != u' ') ++end;
        while (end < limit && text[end] == u' ') ++end;
        return {Kind::Sideways, std::max<qsizetype>(end - i, 1)};
    }
    qsizetype end = i + (codeAt(text, i) > 0xFFFF ? 2 : 1);
    while (end < limit && joinsPrevious(text, end)) end += codeAt(text, end) > 0xFFFF ? 2 : 1;
    return {Kind::Upright, std::min(end, std::max(limit, i + 1)) - i};
}

qsizetype keepInColumn(const std::vector<Edges>& units, qsizetype fit)
{
    if (fit <= 0 || fit >= qsizetype(units.size())) return fit;
    const qsizetype lowest = std::max<qsizetype>(1, fit - fit / 2);
    for (qsizetype keep = fit; keep >= lowest; --keep) {
        if (!noColumnStart(units[size_t(keep)].first) && !noColumnEnd(units[size_t(keep - 1)].last)) return keep;
    }
    return fit;
}

} // namespace tess::vertical
