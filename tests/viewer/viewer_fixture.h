#pragma once

// Test albums and a stand-in for the main frame, shared by the window tests.

#include <QAbstractButton>
#include <QComboBox>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QToolButton>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "viewer/frame_controls.h"
#include "viewer/messages.h"

class TViewForm;

struct TestAlbum {
    int pages = 5;
    std::vector<std::pair<int, int>> toc;  // (page, level)
    int pageNumberOffset = 0;
    int paperWidthMm = 210;
    int paperHeightMm = 297;
    std::vector<int> turned;  // pages in the other orientation
    QString extension = QStringLiteral("PXA");
    int marginLeftMm = 0;
};

// Writes the album into `dir` and returns its path.
QString WriteTestAlbum(const QTemporaryDir& dir, const TestAlbum& album,
                       const QString& name = QStringLiteral("TEST"));

// The frame's shared controls on a plain window with a document area.
class FakeFrame : public FrameControls {
public:
    FakeFrame();
    ~FakeFrame() override;

    QAbstractButton* Button(FrameButton which) override { return buttons[size_t(which)]; }
    QComboBox* ZoomSelector() override { return selector; }
    QWidget* ZoomPanel() override { return panel; }
    bool ToolBarVisible() const override { return true; }
    void ToolBarToggle() override {}
    void StatusBarToggle() override {}
    bool OpenWithDialog() override { return false; }
    std::optional<SaveChoice> ChooseSaveFile() override { return saveChoice; }
    std::optional<SaveChoice> saveChoice;  // what the save dialog answers
    void CloseFrame() override {}
    void RefreshMaximizedChild(QMdiSubWindow*) override {}

    // A new window with `path` open in it, or null (window gone) when it did not open.
    TViewForm* Open(const QString& path, QSize size = QSize(700, 500));

    QAbstractButton* button(FrameButton which) { return buttons[size_t(which)]; }

    std::unique_ptr<QWidget> host;
    QMdiArea* area = nullptr;
    QWidget* panel = nullptr;
    QComboBox* selector = nullptr;
    std::array<QToolButton*, kFrameButtonCount> buttons{};
};

// Records the message boxes and answers them; restores the real ones at the end.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    std::vector<std::pair<MessageKind, QString>> messages;
    bool answer = true;

private:
    MessageFunction previous_;
};
