// Mapping modes, the world transform and SaveDC/RestoreDC, seen through the
// device rectangle a Rectangle record lands on.
#include <gtest/gtest.h>

#include "emf_test_support.h"
#include "metafile/emf/emf_records.h"

namespace {

using mftest::Payload;
namespace emr = mf::emr;

struct MappingCase {
    const char* name;
    std::vector<std::pair<std::uint32_t, QByteArray>> setup;
    const char* deviceRect;  // where Rectangle(0, 0, 100, 50) fills
};

QByteArray Pair(int a, int b) {
    return Payload().i32(a).i32(b);
}

class MappingTest : public ::testing::TestWithParam<MappingCase> {};

TEST_P(MappingTest, RectangleLandsWhereGdiPutsIt) {
    mf::EmfWriter w = mftest::SquareWriter();
    for (const auto& [type, payload] : GetParam().setup)
        w.AppendRecord(type, payload);
    w.Rectangle(QRect(QPoint(0, 0), QPoint(100, 50)));
    const QStringList draws = mftest::Draws(w.Finish());
    ASSERT_FALSE(draws.isEmpty());
    EXPECT_EQ(draws.first().section(QLatin1Char(' '), 4).toStdString(), GetParam().deviceRect);
}

const MappingCase kMappingCases[] = {
    {"text", {}, "rect(0,0 100,50)"},
    // Metric units measure against the reference device (5 pixels per mm), y up.
    {"lometric", {{emr::SetMapMode, Payload().u32(2)}}, "rect(0,-25 50,0)"},
    {"himetric", {{emr::SetMapMode, Payload().u32(3)}}, "rect(0,-2.5 5,0)"},
    {"twips", {{emr::SetMapMode, Payload().u32(6)}}, "rect(0,-4.41 8.82,0)"},
    {"anisotropic",
     {{emr::SetMapMode, Payload().u32(8)},
      {emr::SetWindowExtEx, Pair(200, 200)},
      {emr::SetViewportExtEx, Pair(100, -100)},
      {emr::SetViewportOrgEx, Pair(0, 100)}},
     "rect(0,75 50,100)"},
    {"window origin",
     {{emr::SetMapMode, Payload().u32(8)},
      {emr::SetWindowOrgEx, Pair(-10, -20)},
      {emr::SetWindowExtEx, Pair(1, 1)},
      {emr::SetViewportExtEx, Pair(1, 1)}},
     "rect(10,20 110,70)"},
    // Isotropic: the viewport shrinks on the axis that would scale more.
    {"isotropic",
     {{emr::SetMapMode, Payload().u32(7)},
      {emr::SetWindowExtEx, Pair(100, 100)},
      {emr::SetViewportExtEx, Pair(200, 50)}},
     "rect(0,0 50,25)"},
    {"extents ignored in MM_TEXT",
     {{emr::SetWindowExtEx, Pair(1, 1)}, {emr::SetViewportExtEx, Pair(9, 9)}},
     "rect(0,0 100,50)"},
    {"scale viewport",
     {{emr::SetMapMode, Payload().u32(8)},
      {emr::ScaleViewportExtEx, Payload().i32(1).i32(2).i32(1).i32(4)}},
     "rect(0,0 50,12.5)"},
    {"zero extents ignored",
     {{emr::SetMapMode, Payload().u32(8)}, {emr::SetWindowExtEx, Pair(0, 0)}},
     "rect(0,0 100,50)"},
    {"world transform",
     {{emr::SetWorldTransform, Payload().f32(2).f32(0).f32(0).f32(2).f32(5).f32(1)}},
     "rect(5,1 205,101)"},
    {"singular world transform ignored",
     {{emr::SetWorldTransform, Payload().f32(0).f32(0).f32(0).f32(0).f32(5).f32(1)}},
     "rect(0,0 100,50)"},
};

INSTANTIATE_TEST_SUITE_P(Modes, MappingTest, ::testing::ValuesIn(kMappingCases),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             for (char& c : n)
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             return n;
                         });

TEST(WorldTransform, ModifyAndRestoreDc) {
    mf::EmfWriter w = mftest::SquareWriter();
    const QRect box(QPoint(0, 0), QPoint(10, 10));
    w.AppendRecord(emr::SaveDc, {});
    // Left-multiplied translation happens before the scale.
    w.AppendRecord(emr::SetWorldTransform, Payload().f32(2).f32(0).f32(0).f32(2).f32(0).f32(0));
    w.AppendRecord(emr::ModifyWorldTransform,
                   Payload().f32(1).f32(0).f32(0).f32(1).f32(3).f32(0).u32(2));
    w.Rectangle(box);
    w.AppendRecord(emr::ModifyWorldTransform,
                   Payload().f32(1).f32(0).f32(0).f32(1).f32(3).f32(0).u32(3));
    w.Rectangle(box);
    w.AppendRecord(emr::RestoreDc, Payload().i32(-1));
    w.Rectangle(box);
    w.AppendRecord(emr::RestoreDc, Payload().i32(-3));  // nothing saved: ignored
    w.AppendRecord(emr::RestoreDc, Payload().i32(7));
    w.Rectangle(box);
    QStringList fills = mftest::Draws(w.Finish()).filter(QStringLiteral("fill"));
    ASSERT_EQ(fills.size(), 4);
    EXPECT_TRUE(fills[0].endsWith(QStringLiteral("rect(6,0 26,20)"))) << fills[0].toStdString();
    EXPECT_TRUE(fills[1].endsWith(QStringLiteral("rect(9,0 29,20)"))) << fills[1].toStdString();
    EXPECT_TRUE(fills[2].endsWith(QStringLiteral("rect(0,0 10,10)"))) << fills[2].toStdString();
    EXPECT_TRUE(fills[3].endsWith(QStringLiteral("rect(0,0 10,10)"))) << fills[3].toStdString();
}

TEST(Stretch, FrameIsStretchedOverTheTarget) {
    mf::EmfWriter w = mftest::SquareWriter();
    w.Rectangle(QRect(QPoint(0, 0), QPoint(50, 50)));
    const QStringList fills =
        mftest::Draws(w.Finish(), QSize(300, 100)).filter(QStringLiteral("fill"));
    ASSERT_EQ(fills.size(), 1);
    EXPECT_TRUE(fills[0].endsWith(QStringLiteral("rect(0,0 150,50)"))) << fills[0].toStdString();
}

}  // namespace
