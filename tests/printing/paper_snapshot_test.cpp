// The paper list: lookups, substitution by size, and the millimetres of a
// printer's units.
#include "printing/paper_snapshot.h"

#include <gtest/gtest.h>

#include "core/units.h"
#include "printing/printer_messages.h"

namespace {

PaperSnapshot Snapshot(std::vector<PaperEntry> entries) {
    PaperSnapshot s;
    s.Set(std::move(entries));
    return s;
}

TEST(PaperSnapshot, DocumentPapersAreTakenByCodeOrByStandardSize) {
    const PaperSnapshot plainA4 =
        Snapshot({{"Letter", 1, 2159, 2794}, {"Plain 210x297", 300, 2100, 2970}});
    const PaperSnapshot onlyUserDefined =
        Snapshot({{"Letter", 1, 2159, 2794}, {"Custom", kUserDefinedPaper, 2100, 2970}});
    struct Case {
        const PaperSnapshot* list;
        int asked;
        std::optional<int> chosen;
    };
    const Case cases[] = {
        {&plainA4, 1, 1},                     // listed
        {&plainA4, 9, 300},                   // A4 by its size
        {&onlyUserDefined, 9, std::nullopt},  // a user-defined entry never stands in
        {&plainA4, 70, std::nullopt},         // not a standard paper
        {&plainA4, 12, std::nullopt},         // B4 (250 x 354) is not listed
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.list->ChoosePaperCode(c.asked), c.chosen) << c.asked;
}

TEST(PaperSnapshot, IndexesOutsideTheListGiveTheFirstEntryOrTheFallback) {
    PaperSnapshot list = Snapshot({{"A4", 9, 2100, 2970}, {"B5", 13, 1820, 2570}});
    EXPECT_EQ(list.PaperCode(-1), 9);
    EXPECT_EQ(list.PaperCode(list.count()), 9);
    EXPECT_EQ(list.PaperCode(1), 13);
    EXPECT_EQ(list.PaperName(5), "A4");
    EXPECT_EQ(list.FindPaper(13), 1);
    EXPECT_EQ(list.FindPaper(8), -1);

    PaperSnapshot empty;
    EXPECT_TRUE(empty.NeedsRead());
    empty.Clear();
    EXPECT_EQ(empty.PaperCode(0), 13);
    EXPECT_EQ(empty.PaperName(0), "");
    empty.SetFailed();
    EXPECT_EQ(empty.count(), kPaperReadFailed);
    EXPECT_EQ(empty.PaperCode(3), 13);

    std::vector<PaperEntry> many(300, PaperEntry{"x", 9, 1, 1});
    list.Set(many);
    EXPECT_EQ(list.count(), kMaxPaperEntries);
}

TEST(PrinterUnits, WholeMillimetresHalvesToEven) {
    EXPECT_EQ(DeviceUnitsToWholeMm(4960, 600), 210);  // 209.947
    EXPECT_EQ(DeviceUnitsToWholeMm(7016, 600), 297);
    EXPECT_EQ(DeviceUnitsToWholeMm(0, 600), 0);
    EXPECT_EQ(DeviceUnitsToWholeMm(100, 0), 0);
    // At 3200 units per inch, 126 units are exactly 1 mm: halves go to the even neighbour.
    EXPECT_EQ(DeviceUnitsToWholeMm(315, 3200), 2);  // 2.5
    EXPECT_EQ(DeviceUnitsToWholeMm(441, 3200), 4);  // 3.5
    EXPECT_EQ(DeviceUnitsToWholeMm(-315, 3200), -2);
}

TEST(PrinterMessages, FirstLineByKindThenTheAdvice) {
    EXPECT_TRUE(PrinterErrorText(PrinterErrorKind::General).startsWith("\r\n\r\n現在実行する"));
    EXPECT_TRUE(PrinterErrorText(PrinterErrorKind::SetupFailed)
                    .startsWith("プリンタの設定が正しく行えません｡\r\n\r\n"));
    EXPECT_TRUE(PrinterErrorText(PrinterErrorKind::SetupUnconfirmed)
                    .startsWith("プリンタの設定が確認できません｡"));
    EXPECT_TRUE(PrinterErrorText(PrinterErrorKind::EscapeUnsupported).endsWith("確認して下さい｡"));
    EXPECT_EQ(PrinterErrorText(PrinterErrorKind::General).count("\r\n"), 5);
}

}  // namespace
