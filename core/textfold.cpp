#include "textfold.h"

namespace tess {

QString foldUpper(QStringView text) {
    QString out = text.toString();
    for (QChar& c : out) {
        if (c.unicode() >= u'a' && c.unicode() <= u'z') c = QChar(c.unicode() - (u'a' - u'A'));
    }
    return out;
}

QString RemoveBlanks(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c != u' ' && c != QChar(0x3000)) out.append(c);
    }
    return out;
}

} // namespace tess
