#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QMenu;
class QTextEdit;
class TAlignSpeedButton;
class TDropdownSpeedButton;
class TFocusControl;

// The version line: "アルバーノ ver." followed by the build's version, or
// "アルバーノ ver.8" when the build carries none.
QString AboutVersionLine(const QString& buildVersion);
// The version this build was made with (the project version), empty if unknown.
QString BuildVersion();

// The about box: version line, the notice, the open button and the web links.
// Created on first use and kept; shown modally.
class TVerForm : public QDialog {
    Q_OBJECT
public:
    // `openWithDialog` is the main frame's open command; it returns whether the
    // user confirmed the dialog.
    explicit TVerForm(std::function<bool()> openWithDialog, QWidget* parent = nullptr);

    QLabel* Version = nullptr;
    TFocusControl* FocusControl = nullptr;
    QTextEdit* Memo = nullptr;
    TAlignSpeedButton* SpeedButton2 = nullptr;  // 開く(&O)
    TDropdownSpeedButton* Button1 = nullptr;    // ホームページ
    TAlignSpeedButton* Button_NewPrg = nullptr;
    TAlignSpeedButton* SpeedButton1 = nullptr;  // 閉じる(&C)
    QMenu* PopupMenu = nullptr;

    // The notice of the memo, one entry per line.
    static QStringList NoticeLines();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void SpeedButton2Click();
    void ScrollMemo(int lines);

    std::function<bool()> openWithDialog_;
};
