#include "viewer/zoom_choices.h"

#include "core/sjis_text.h"

QStringList ZoomSelectorItems() {
    return {
        QStringLiteral(" 幅に合わせる"), QStringLiteral(" 全体表示"),     QStringLiteral(" 50 %"),
        QStringLiteral(" 60 %"),         QStringLiteral(" 70 %"),         QStringLiteral(" 80 %"),
        QStringLiteral(" 90 %"),         QStringLiteral(" 100 % (実寸)"), QStringLiteral(" 120 %"),
        QStringLiteral(" 150 %"),        QStringLiteral(" 200 %")};
}

QStringList ZoomMenuCaptions() {
    return {QStringLiteral("幅に合わせる(&J)"), QStringLiteral("全体表示(&A)"),
            QStringLiteral("&1 50 %"),          QStringLiteral("&2 60 %"),
            QStringLiteral("&3 70 %"),          QStringLiteral("&4 80 %"),
            QStringLiteral("&5 90 %"),          QStringLiteral("&6 100 % (実寸)"),
            QStringLiteral("&7 120 %"),         QStringLiteral("&8 150 %"),
            QStringLiteral("&9 200 %")};
}

int ZoomItemPercent(const QString& itemText) {
    return LeadingIntValue(TrimBlanks(itemText));
}
