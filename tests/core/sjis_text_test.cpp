#include <gtest/gtest.h>

#include "core/cp932.h"
#include "core/sjis_text.h"

namespace {
QByteArray Sjis(const char* utf8) {
    return UnicodeToSjis(QString::fromUtf8(utf8));
}
}  // namespace

TEST(Cp932, RoundTripsJapaneseAndMarksBadBytes) {
    const QString text = QStringLiteral("工事名：○○線道路改良工事 ①ｱｲ");
    const QByteArray sjis = UnicodeToSjis(text);
    EXPECT_EQ(sjis.left(2), QByteArray("\x8D\x48"));  // 工
    EXPECT_EQ(SjisToUnicode(sjis), text);
    EXPECT_EQ(SjisToUnicode(QByteArray("A\x81")), QStringLiteral("A\uFFFD"));  // cut in half
    EXPECT_EQ(UnicodeToSjis(QStringLiteral("a\u00E9b")), QByteArray("a?b"));
}

struct TrimCase {
    QByteArray in;
    QByteArray out;
};

TEST(TrimBlanks, EndsAreTrimmedDoubleByteAware) {
    const QByteArray fw("\x81\x40");          // full-width space
    const QByteArray so("\x83\x5C");          // ソ: trail byte is a backslash
    const QByteArray trailSpace("\x83\x40");  // ァ: trail byte is 0x40
    const std::vector<TrimCase> cases = {
        {"  abc \t\r\n", "abc"},
        {fw + "abc" + fw, "abc"},
        {fw + fw + " " + Sjis("題名") + " " + fw, Sjis("題名")},
        // 0x40 after a lead byte is no full-width space.
        {trailSpace, trailSpace},
        {"a" + trailSpace, "a" + trailSpace},
        {"\x81" + trailSpace, "\x81" + trailSpace},
        {so + " ", so},
        // Control characters go first, then blanks; a control character
        // behind a blank stays.
        {"\t" + fw + "\tx", "\tx"},
        {fw + fw, ""},
        {"", ""},
        // A lead byte cut off at the end counts as a character of its own.
        {"x \x81", "x \x81"},
    };
    for (const TrimCase& c : cases)
        EXPECT_EQ(TrimBlanks(c.in), c.out) << c.in.toHex().constData();
}

TEST(TrimBlanks, UnicodeText) {
    EXPECT_EQ(TrimBlanks(QStringLiteral("\u3000 着工前\u3000\n")), QStringLiteral("着工前"));
    EXPECT_EQ(TrimBlanks(QStringLiteral(" 50 % ")), QStringLiteral("50 %"));
}

TEST(LeadingIntValue, WholeOrLeadingOrZero) {
    EXPECT_EQ(LeadingIntValue(QStringLiteral(" 50 %")), 50);
    EXPECT_EQ(LeadingIntValue(QStringLiteral(" 幅に合わせる")), 0);
    EXPECT_EQ(LeadingIntValue(QStringLiteral("-12")), -12);
    EXPECT_EQ(LeadingIntValue(QStringLiteral("+7x")), 7);
    EXPECT_EQ(LeadingIntValue(QStringLiteral("-")), 0);
    EXPECT_EQ(LeadingIntValue(QStringLiteral("")), 0);
    EXPECT_EQ(LeadingIntValue(QStringLiteral("-2147483648")), INT32_MIN);
    EXPECT_EQ(LeadingIntValue(QStringLiteral("2147483648")), 0);  // out of range
    EXPECT_EQ(LeadingIntValue(QByteArray(" 200\x81\x93")), 200);  // 200％
}

TEST(Backslash, LastCharacterIsTakenDoubleByteAware) {
    const QByteArray so("\x83\x5C");  // ソ
    EXPECT_EQ(AddBackslash("C:\\A"), QByteArray("C:\\A\\"));
    EXPECT_EQ(AddBackslash("C:\\A\\"), QByteArray("C:\\A\\"));
    EXPECT_EQ(AddBackslash("C:\\"), QByteArray("C:\\"));  // shorter than 4 bytes
    EXPECT_EQ(AddBackslash("C:\\" + so), "C:\\" + so + "\\");
    EXPECT_EQ(RemoveBackslash("C:\\A\\"), QByteArray("C:\\A"));
    EXPECT_EQ(RemoveBackslash("C:\\"), QByteArray("C:\\"));
    EXPECT_EQ(RemoveBackslash("C:\\" + so), "C:\\" + so);
    EXPECT_EQ(AddSeparator(QStringLiteral("/tmp")), QStringLiteral("/tmp/"));
    EXPECT_EQ(RemoveSeparator(QStringLiteral("/tmp/")), QStringLiteral("/tmp"));
}
