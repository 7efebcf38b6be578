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
    {EINVAL, u"引数が正しくありません"},
    {ENOTEMPTY, u"フォルダが空ではありません"},
    {EXDEV, u"別のドライブへは移動できません"},
    {ETXTBSY, u"実行中のファイルです"},
    {ENFILE, u"システムで開いているファイルが多すぎます"},
    {ENOMEM, u"メモリが足りません"},
    {EAGAIN, u"一時的に使えません。もう一度試してください"},
    {EINTR, u"操作が中断されました"},
    {ENODEV, u"装置がありません"},
    {ESPIPE, u"位置を移動できないファイルです"},
    {EMLINK, u"リンクが多すぎます"},
    {ESTALE, u"ネットワーク上のファイルが無効になりました"},
    {ETIMEDOUT, u"時間切れになりました"},
    {EOVERFLOW, u"ファイルが大きすぎて扱えません"},
    {ENOSYS, u"この操作には対応していません"},
    {EOPNOTSUPP, u"この操作には対応していません"},
};

QString withJapanese(const char16_t* japanese, const QString& system) {
    return QString::fromUtf16(japanese) + QStringLiteral(" (") + system + u')';
}

// Qt's own words for failures that are not the system's.
const struct {
    const char* qt;
    const char16_t* japanese;
} kQtReasons[] = {
    {"file to open is a directory", u"フォルダです"},
    {"Unknown error", u"原因不明のエラーです"},
};

// A reason with no Japanese text of its own still says, in Japanese, that
// it is the system's.
constexpr char16_t kOtherReason[] = u"システムのエラーです";

} // namespace

QString systemErrorText(int error) {
    const QString system = qt_error_string(error);
    for (const Reason& r : kReasons)
        if (r.error == error) return withJapanese(r.japanese, system);
    return withJapanese(kOtherReason, system);
}

QString systemErrorText(const QString& systemText) {
    for (const Reason& r : kReasons)
        if (qt_error_string(r.error) == systemText) return withJapanese(r.japanese, systemText);
    for (const auto& r : kQtReasons)
        if (systemText.compare(QLatin1String(r.qt), Qt::CaseInsensitive) == 0) return withJapanese(r.japanese, systemText);
    return withJapanese(kOtherReason, systemText);
}

} // namespace tess
