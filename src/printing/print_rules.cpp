#include "printing/print_rules.h"

#include <algorithm>

namespace {

const QString kPrintingCaption = QStringLiteral("印刷中");

// A value times a scaled factor, truncated toward zero.
int TimesScale(int value, Scaled scale) {
    return int((std::int64_t(value) * scale) / kScale);
}

}  // namespace

PrintPageRange PrintRangeFor(int pageCount, int pageNumberOffset) {
    PrintPageRange range;
    range.offset = std::max(0, pageNumberOffset);
    range.lowest = range.offset + 1;
    range.highest = pageCount + range.offset;
    return range;
}

std::optional<QString> NegativeOffsetMessage(int offset) {
    if (offset >= 0) return std::nullopt;
    return QStringLiteral(
               "ページ番号が %1 から開始する特殊なデータですので\r\n"
               "印刷でページ指定する場合は実際のページに %2 を加算してください。")
        .arg(offset + 1)
        .arg(-offset);
}

Scaled PrintScale(const PrinterSheet& sheet, int pageWidthPixels) {
    return ScaledRatio(sheet.physical.width(), pageWidthPixels);
}

QRect PrintPageRect(const PrinterSheet& sheet, int pageWidthPixels, const PageMargins& m) {
    const Scaled s = PrintScale(sheet, pageWidthPixels);
    const int left = TimesScale(m.left, s) - sheet.offset.x();
    const int top = TimesScale(m.top, s) - sheet.offset.y();
    const int right = sheet.physical.width() - sheet.offset.x() + TimesScale(m.right, s);
    const int bottom = sheet.physical.height() - sheet.offset.y() + TimesScale(m.bottom, s);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

JobStep NextJobStep(bool jobOpen, bool perPage, int printerOrientation, int pageOrientation) {
    const bool turn = perPage && printerOrientation != pageOrientation;
    if (!jobOpen) return turn ? JobStep::TurnThenBeginDoc : JobStep::BeginDoc;
    return turn ? JobStep::EndDocTurnThenBeginDoc : JobStep::NewPage;
}

void PrintProgress::Start(const QString& caption, int count) {
    base_ = caption.isEmpty() ? kPrintingCaption : caption;
    minimum_ = 0;
    maximum_ = std::max(1, count);
    position_ = 1;
}

QString PrintProgress::Step(int page) {
    maximum_ = std::max(maximum_, page);
    minimum_ = std::min(minimum_, page);
    position_ = page;
    return QStringLiteral("%1 %2/%3").arg(base_).arg(page).arg(maximum_);
}
