#pragma once

#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>

#include "viewer/frame_controls.h"

class QFileDialog;
class QFrame;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class TAlignSpeedButton;
class TEnablePanel;
class TPaintComboBox;
class TViewForm;

// The main frame: hosts the document windows, the shared toolbar with the
// zoom selector and the frame menus. Its toolbar buttons other than 開く act
// on the active document window, which binds them when it is activated.
class TVMainForm : public QMainWindow, public FrameControls {
    Q_OBJECT
public:
    explicit TVMainForm(QWidget* parent = nullptr);
    ~TVMainForm() override;

    // Where format-1.x documents get their temporary copies.
    void setWorkFolder(const QString& folder) { workFolder_ = folder; }
    QString workFolder() const { return workFolder_; }
    // Where the open dialog starts.
    void setDocumentFolder(const QString& folder) { documentFolder_ = folder; }
    QString documentFolder() const { return documentFolder_; }

    // Opens one document in a new window; a window whose document did not
    // open is closed again. Returns whether the document is shown.
    bool OpenDocumentPath(const QString& path);

    // The open command: asks for files and opens each in its own window.
    // True when the user confirmed the dialog.
    bool OpenWithDialog() override;
    // Chooses the files to open: the open dialog by default. Empty = cancelled.
    std::function<QStringList()> chooseFiles;
    // Lets the dialog's buttons and other details be set before it runs.
    std::function<void(QFileDialog&)> prepareOpenDialog;

    // The save dialog of page output, kept between uses so that it offers
    // the last name again; `execSaveDialog` runs it (tests answer it).
    std::optional<SaveChoice> ChooseSaveFile() override;
    QFileDialog* SaveDialog = nullptr;
    std::function<int(QFileDialog&)> execSaveDialog;

    // Help and the web links; the frame only forwards.
    std::function<void(int command, int data)> helpRequest;
    std::function<bool()> helpAvailable;
    std::function<void()> showAbout;
    std::function<void()> openPartnerHomePage;
    std::function<void()> openSeriesSite;
    std::function<void()> openCatalogPage;
    std::function<void()> openDownloadPage;

    // FrameControls.
    QAbstractButton* Button(FrameButton which) override;
    QComboBox* ZoomSelector() override;
    QWidget* ZoomPanel() override;
    bool ToolBarVisible() const override;
    void ToolBarToggle() override { Mn_ToolBarClick(); }
    void StatusBarToggle() override { Mn_StatusBarClick(); }
    void CloseFrame() override { close(); }
    void RefreshMaximizedChild(QMdiSubWindow* window) override;

    // The document windows, the active one first.
    QList<TViewForm*> DocumentWindows() const;
    TViewForm* ActiveDocument() const;

    // Handlers.
    void SB_OpenClick();
    void Mn_ToolBarClick();
    void Mn_StatusBarClick();
    void Show1Click();
    void PopupMenuPopup();
    void V1Click();
    void T1Click();
    void Cascade1Click();
    void ArrangeIcon1Click();
    void SizePresetClick(int width, int height);
    void Help1Click();
    void SearchforHelpOnClick();

    // The distance between cascaded windows.
    int CascadeStep() const;

    // Components.
    QFrame* Bevel = nullptr;
    QWidget* PL_Top = nullptr;
    QMdiArea* MdiArea = nullptr;
    TAlignSpeedButton* SB_Open = nullptr;
    std::array<TAlignSpeedButton*, kFrameButtonCount> Buttons{};
    TEnablePanel* PL_Ritu = nullptr;
    QLabel* Label1 = nullptr;
    TPaintComboBox* CB_Ritu = nullptr;
    QMenu* File1 = nullptr;
    QMenu* Show1 = nullptr;
    QMenu* Mn_Window = nullptr;
    QMenu* Help1 = nullptr;
    QMenu* PopupMenu = nullptr;
    QAction *Mn_Open = nullptr, *Mn_Exit = nullptr, *Mn_ToolBar = nullptr, *Mn_StatusBar = nullptr;
    QAction *V1 = nullptr, *T1 = nullptr, *Cascade1 = nullptr, *ArrangeIcon1 = nullptr;
    QAction *SearchforHelpOn = nullptr, *Mn_Delna = nullptr, *Mn_SeriesSite = nullptr,
            *N6 = nullptr, *Mn_NewPrg = nullptr, *Mn_About = nullptr;
    QAction *Mn_ToolBar2 = nullptr, *Mn_StatusBar2 = nullptr;

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    void FormCreate();
    void CreateToolBar();
    void CreateMenus();
    void MergeMenus(QMdiSubWindow* active);
    void FillWindowMenu();
    void Tile(bool sideBySide);
    QList<QMdiSubWindow*> SubWindowsActiveFirst() const;

    QString workFolder_;
    QString documentFolder_;
    QList<QAction*> windowListActions_;
};

// The open dialog's name filter: "ブラウザファイル (*.PXA *.PXB ...)" over
// the five extension entries.
QString AlbumOpenFilter();
