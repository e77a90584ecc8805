#include "persist/SystemReason.h"

#include <cerrno>

using namespace Qt::StringLiterals;

QString systemReason(int error)
{
    switch (error) {
    case ENOSPC:
        return u"ディスクの空き容量が足りません"_s;
    case EDQUOT:
        return u"ディスクの使用量の上限を超えています"_s;
    case EACCES:
    case EPERM:
        return u"アクセスが許可されていません"_s;
    case EROFS:
        return u"読み取り専用のディスクです"_s;
    case ENOENT:
        return u"ファイルまたはフォルダーが見つかりません"_s;
    case EIO:
        return u"ディスクの読み書きでエラーが起きました"_s;
    default:
        return qt_error_string(error);
    }
}
