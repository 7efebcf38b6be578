#include "systemerror.h"

#include <cerrno>

namespace tess {

namespace {

struct Reason {
    int error;
    const char16_t* japanese;
};

const Reason kReasons[] = {
    {ENOSPC, u"ディスクの空き容量が足りません"},
    {EDQUOT, u"ディスクの使用量の上限を超えています"},
    {EACCES, u"アクセスが拒否されました"},
    {EPERM, u"この操作は許可されていません"},
    {ENOENT, u"ファイルまたはフォルダが見つかりません"},
    {EROFS, u"読み取り専用のファイルシステムです"},
    {EFBIG, u"ファイルが大きすぎます"},
    {EISDIR, u"フォルダです"},
    {ENOTDIR, u"フォルダではありません"},
    {EIO, u"ディスクの読み書きに失敗しました"},
    {ENAMETOOLONG, u"名前が長すぎます"},
    {EEXIST, u"既にあります"},
    {EBUSY, u"使用中です"},
    {EMFILE, u"開いているファイルが多すぎます"},
    {ENXIO, u"装置がありません"},
    {ECANCELED, u"書き込みを中止しました"},
    {ELOOP, u"シンボリックリンクの参照が多すぎます"},
};

QString withJapanese(const char16_t* japanese, const QString& system) {
    return QString::fromUtf16(japanese) + QStringLiteral(" (") + system + u')';
}

} // namespace

QString systemErrorText(int error) {
    const QString system = qt_error_string(error);
    for (const Reason& r : kReasons)
        if (r.error == error) return withJapanese(r.japanese, system);
    return system;
}

QString systemErrorText(const QString& systemText) {
    for (const Reason& r : kReasons)
        if (qt_error_string(r.error) == systemText) return withJapanese(r.japanese, systemText);
    return systemText;
}

} // namespace tess
