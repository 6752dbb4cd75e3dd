#include "printing/printer_messages.h"

QString PrinterErrorText(PrinterErrorKind kind) {
    QString first;
    switch (kind) {
        case PrinterErrorKind::General:
            break;
        case PrinterErrorKind::SetupFailed:
            first = QStringLiteral("プリンタの設定が正しく行えません｡");
            break;
        case PrinterErrorKind::SetupUnconfirmed:
            first = QStringLiteral("プリンタの設定が確認できません｡");
            break;
        case PrinterErrorKind::EscapeUnsupported:
            first = QStringLiteral("プリンタエスケープコマンドが正しくサポートされていません｡");
            break;
    }
    return first + QStringLiteral("\r\n\r\n") +
           QStringLiteral(
               "現在実行する機能はプリンタドライバが１つ以上インストールされて\r\n"
               "デフォルトプリンタが正しく設定・動作する状態でなければ保証できません｡\r\n"
               "プリンタドライバのテスト印字か Windowsの『メモ帳』などで正しく\r\n"
               "印刷できることを確認して下さい｡");
}
