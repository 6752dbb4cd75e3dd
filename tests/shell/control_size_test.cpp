#include "shell/control_size.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include "core/ini_file.h"
#include "shell/window_placing.h"
#include "shell_fixture.h"

namespace {

TEST(WindowPlacing, CentreOnMonitorUsesAQuarterOfTheFreeHeight) {
    EXPECT_EQ(CenterOnMonitorPos(QSize(870, 640), QRect(0, 0, 1920, 1080)), QPoint(525, 110));
    EXPECT_EQ(CenterOnMonitorPos(QSize(870, 641), QRect(0, 0, 1920, 1080)), QPoint(525, 109));
    EXPECT_EQ(CenterOnMonitorPos(QSize(870, 640), QRect(1920, 0, 1280, 1024)), QPoint(2125, 96));
    // Larger than the monitor: negative offsets truncate toward zero.
    EXPECT_EQ(CenterOnMonitorPos(QSize(2001, 1103), QRect(0, 0, 1920, 1080)), QPoint(-40, -5));
    EXPECT_EQ(CenterOverFramePos(QSize(444, 239), QRect(100, 50, 870, 640)), QPoint(313, 250));
}

TEST(WindowPlacing, RectanglesArePulledInsideTheDesktop) {
    const QRect desktop(0, 0, 1920, 1080);
    struct Case {
        QRect in, out;
    } cases[] = {
        {QRect(100, 100, 3000, 3000), QRect(0, 0, 1920, 1080)},
        {QRect(-50, -20, 800, 600), QRect(0, 0, 800, 600)},
        {QRect(1500, 900, 800, 600), QRect(1120, 480, 800, 600)},
        {QRect(10, 20, 800, 600), QRect(10, 20, 800, 600)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PullIntoDesktop(c.in, desktop), c.out) << c.in.x();
    // A desktop that does not start at 0, 0 (a monitor left of the first).
    EXPECT_EQ(PullIntoDesktop(QRect(-3000, 5, 900, 600), QRect(-1280, 0, 3200, 1080)),
              QRect(-1280, 5, 900, 600));
}

TEST(WindowPlacing, AFixedSizeFormTakesOnlyThePosition) {
    const StoredPlacement stored{QRect(10, 20, 500, 400), true};
    const StoredPlacement fixed =
        PlacementToRestore(stored, QRect(0, 0, 1920, 1080), false, QSize(444, 239));
    EXPECT_EQ(fixed.rect, QRect(10, 20, 444, 239));
    EXPECT_TRUE(fixed.maximized);
}

class ControlSizeTest : public ::testing::Test {
protected:
    ScopedWorkFolder work;
    std::unique_ptr<QWidget> frame = std::make_unique<QWidget>();
    TControlSize* keeper = nullptr;
    void SetUp() override {
        frame->setObjectName("VMainForm");
        frame->resize(870, 640);
        keeper = new TControlSize(frame.get());
        keeper->SizeOnShow = true;
        keeper->ScreenSenter = true;
        keeper->Style = ControlSizeStyle::Size;
    }
    QRect Screen() const { return QGuiApplication::primaryScreen()->geometry(); }
};

TEST_F(ControlSizeTest, FirstStartCentresTheFrameAndClosingSavesItInKeyOrder) {
    int created = 0, started = 0;
    keeper->OnCreate = [&] { ++created; };
    keeper->OnStart = [&] { ++started; };
    SetOuterSize(frame.get(), QSize(300, 200));
    frame->show();
    const QRect centred(CenterOnMonitorPos(QSize(300, 200), Screen()), QSize(300, 200));
    EXPECT_EQ(frame->frameGeometry(), centred);
    frame->move(50, 60);
    frame->hide();
    frame->show();  // only the first show restores
    EXPECT_EQ(created, 1);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(frame->pos(), QPoint(50, 60));
    EXPECT_EQ(keeper->Section(), "Sz_VMainForm");
    EXPECT_FALSE(frame->isMaximized());
    frame->move(12, 34);
    frame->close();
    EXPECT_EQ(ScopedWorkFolder::Read(work.ini()),
              QByteArray("[Sz_VMainForm]\r\nszWindowState=0\r\nszLeft=12\r\nszTop=34\r\n"
                         "szWidth=300\r\nszHeight=200\r\n"));
}

TEST_F(ControlSizeTest, AMaximisedFrameSavesStateOneAndItsRestoredRectangle) {
    frame->show();
    SetOuterRect(frame.get(), QRect(40, 30, 300, 200));
    frame->showMaximized();
    ASSERT_TRUE(frame->isMaximized());
    keeper->FormDestroy();
    QIniFile ini(work.ini());
    EXPECT_EQ(ini.ReadInteger("Sz_VMainForm", "szWindowState", -1), 1);
    EXPECT_EQ(ini.ReadInteger("Sz_VMainForm", "szLeft", -1), 40);
    EXPECT_EQ(ini.ReadInteger("Sz_VMainForm", "szTop", -1), 30);
    EXPECT_EQ(ini.ReadInteger("Sz_VMainForm", "szWidth", -1), 300);
    EXPECT_EQ(ini.ReadInteger("Sz_VMainForm", "szHeight", -1), 200);
}

TEST_F(ControlSizeTest, ASavedPlacementTooLargeForTheDesktopIsPulledBackInside) {
    {
        QIniFile ini(work.ini());
        ini.WriteInteger("Sz_VMainForm", "szWindowState", 0);
        ini.WriteInteger("Sz_VMainForm", "szLeft", 200);
        ini.WriteInteger("Sz_VMainForm", "szTop", 100);
        ini.WriteInteger("Sz_VMainForm", "szWidth", 3000);
        ini.WriteInteger("Sz_VMainForm", "szHeight", 3000);
    }
    frame->show();
    // Title bar and frame included: nothing sticks out of the desktop.
    const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
    EXPECT_EQ(frame->frameGeometry(), desktop);
}

TEST_F(ControlSizeTest, SavedSizesAreOuterSizes) {
    {
        QIniFile ini(work.ini());
        ini.WriteInteger("Sz_VMainForm", "szWindowState", 0);
        ini.WriteInteger("Sz_VMainForm", "szLeft", 10);
        ini.WriteInteger("Sz_VMainForm", "szTop", 20);
        ini.WriteInteger("Sz_VMainForm", "szWidth", 500);
        ini.WriteInteger("Sz_VMainForm", "szHeight", 400);
    }
    frame->show();
    const QMargins margins = frame->windowHandle()->frameMargins();
    ASSERT_FALSE(margins.isNull()) << "the platform gives windows no frame";
    EXPECT_EQ(frame->frameGeometry(), QRect(10, 20, 500, 400));
    EXPECT_EQ(frame->size(), QSize(500, 400).shrunkBy(margins));
    keeper->Save();
    QIniFile ini(work.ini());
    EXPECT_EQ(ini.ReadInteger("Sz_VMainForm", "szWidth", -1), 500);
    EXPECT_EQ(ini.ReadInteger("Sz_VMainForm", "szHeight", -1), 400);
}

TEST_F(ControlSizeTest, SavedStateOneMaximisesAndGarbledKeysKeepTheCentredPlacement) {
    ScopedWorkFolder::Touch(work.ini(), "[Sz_VMainForm]\nszWindowState=1\nszLeft=x\nszWidth=\n");
    SetOuterSize(frame.get(), QSize(300, 200));
    frame->show();
    EXPECT_TRUE(frame->isMaximized());
    frame->showNormal();
    EXPECT_EQ(frame->frameGeometry(),
              QRect(CenterOnMonitorPos(QSize(300, 200), Screen()), QSize(300, 200)));
}

TEST_F(ControlSizeTest, ControlsStoreTheirVisibilityAndStayInsideTheirParent) {
    QWidget parent;
    parent.resize(400, 300);
    auto* panel = new QWidget(&parent);
    panel->setObjectName("PL_Panel");
    panel->setGeometry(5, 6, 50, 60);
    {
        QIniFile ini(work.ini());
        SaveControlPlacement(ini, panel, "Sz_PL_Panel", ControlSizeStyle::All);
        ini.WriteInteger("Sz_PL_Panel", "szWidth", 900);
        ini.WriteBool("Sz_PL_Panel", "szVisible", false);
    }
    EXPECT_EQ(ScopedWorkFolder::Read(work.ini()),
              QByteArray("[Sz_PL_Panel]\r\nszVisible=0\r\nszLeft=5\r\nszTop=6\r\nszWidth=900\r\n"
                         "szHeight=60\r\n"));
    QIniFile ini(work.ini());
    LoadControlPlacement(ini, panel, "Sz_PL_Panel", ControlSizeStyle::All);
    EXPECT_EQ(panel->geometry(), QRect(5, 6, 390, 60));
    EXPECT_TRUE(panel->isHidden());
}

}  // namespace
