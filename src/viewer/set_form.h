#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QPushButton;
class QSlider;
class QWidget;
class TViewForm;

// "マージン調整": four track bars in a cross move the edges of the printed
// page picture, live on the window's page; the values may be written into
// the document's header. One dialog for the process, pointed at a window
// before each showing.
class TSetForm : public QDialog {
    Q_OBJECT
public:
    // Created on first use, centred on `mainWindow`.
    static TSetForm& Instance(QWidget* mainWindow);
    explicit TSetForm(QWidget* mainWindow);

    void setDocumentWindow(TViewForm* view) { view_ = view; }

    QSlider *TrackBar_Top = nullptr, *TrackBar_Bottom = nullptr, *TrackBar_Left = nullptr,
            *TrackBar_Right = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr;
    QWidget *Panel1 = nullptr, *Panel2 = nullptr;
    QPushButton *StartBtn = nullptr, *BackBtn = nullptr, *NextBtn = nullptr, *EndBtn = nullptr;
    QPushButton *BitBtn1 = nullptr, *BitBtn3 = nullptr, *BitBtn2 = nullptr;

    void TrackBar_TopChange();
    void StartBtnClick();
    void BackBtnClick();
    void NextBtnClick();
    void EndBtnClick();
    void BitBtn1Click();  // ﾘｾｯﾄ
    void BitBtn3Click();  // 書込

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate(QWidget* mainWindow);
    void FormShow();
    void SetBars(int top, int bottom, int left, int right);
    void SyncNavigationButtons();

    QPointer<TViewForm> view_;
    bool suppressChange_ = false;
};
