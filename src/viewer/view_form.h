#pragma once

#include <QMdiSubWindow>
#include <QPointer>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "document/page_sheet.h"
#include "viewer/contents_rules.h"
#include "viewer/frame_controls.h"
#include "viewer/navigation_state.h"
#include "viewer/page_painter.h"
#include "viewer/zoom_stepping.h"

class QAction;
class QKeyEvent;
class QLabel;
class QMenu;
class QMouseEvent;
class QSplitter;
class QTimer;
class QWidget;
class TCngLstBox;
class TFocusControl;
class TPaintBox;
class TPanelExt;
class TScrollBox;
class TSheetPanel;
class PrintableArea;
class PagePrefetcher;
class TPrinterEnv;
class TSetForm;
struct AlbumDocument;
struct DocumentPaper;
struct LoadError;
namespace mf {
class Picture;
}

// The document window: one open album inside the main frame. It shows the
// current page on a white sheet, the contents in a pane on the left and a
// status strip at the bottom, and drives the frame's shared toolbar while it
// is the active window.
class TViewForm : public QMdiSubWindow {
    Q_OBJECT
public:
    // `frame` may be null (a window on its own, as in the tools and tests).
    explicit TViewForm(FrameControls* frame, QWidget* parent = nullptr);
    ~TViewForm() override;

    // Where format-1.x documents get their temporary copies.
    void setWorkFolder(const QString& folder) { workFolder_ = folder; }

    // --- document -----------------------------------------------------------
    // Opens `path` into this window and shows its first page. False when the
    // document was refused or could not be read; a message has then been
    // shown where one applies, and the caller closes the window.
    bool OpenDocument(const QString& path);
    // Loads the current page's picture; false (and `lastError`) when it fails.
    bool LoadCurrentPage();
    // The page-change sequence: set the page, load it, lay a PXA page out
    // again, refresh the navigation state. A page that cannot be loaded is
    // reported and the window stays on the page it showed.
    void ChangePage(int page);

    const AlbumDocument* document() const { return doc_.get(); }
    // The paper this window lays its pages out on and the margins, in pixels
    // at 100 % for the screen it opened the document on.
    const SheetGeometry& sheetGeometry() const { return geometry_; }
    int pageCount() const;
    int currentPage() const;
    int pageNumberOffset() const;
    bool IsTurnedPage() const;

    // --- layout and zoom ----------------------------------------------------
    void ScrollBoxResize();
    void UpdateZoomButtons();
    // `fromSelector`: the user picked an item of the frame's selector.
    void CB_RituChange(bool fromSelector);
    void Mn10Click(int tag);
    void BigBtnClick();
    void SmallBtnClick();
    int zoomIndex() const { return zoomIndex_; }
    int zoomPercent() const { return zoomPercent_; }
    ZoomButtonsState zoomButtons() const { return zoomButtons_; }

    // --- navigation ---------------------------------------------------------
    void StartBtnClick();
    void BackBtnClick();
    void NextBtnClick();
    void EndBtnClick();
    void RefreshNavigationState();
    void Mn_PageScrollClick();
    NavigationState navigation() const { return nav_; }

    // --- contents -----------------------------------------------------------
    void Mn_ContentsClick();
    void SyncContentsButton();
    void Mn_JumpClick();
    void TimerTimer();
    const std::vector<ContentsEntry>& contents() const { return contents_; }
    // The red page text of a contents line.
    QString ContentsLinePageText(int index) const;

    // --- frame --------------------------------------------------------------
    void FormActivate();
    // The window's menus that replace the frame's File and View menus.
    QList<QMenu*> MainMenus() const;

    // --- printing overlay ---------------------------------------------------
    void setPrintableArea(PrintableArea* area) { printableArea_ = area; }
    void setShowPrintableArea(bool show);
    bool showPrintableArea() const { return showPrintableArea_; }

    // 現在の環境: record this window's layout, or reset every view setting.
    void D1Click();
    void R1Click();

    // 書類情報: the document information dialog for this window.
    void N4Click();

    // Page output: the page picture to a file the frame's save dialog names,
    // or to the clipboard.
    void Mn_FileClick();
    void Mn_ClipClick();

    // --- printing -----------------------------------------------------------
    // マージン調整: the margin dialog on this window's page.
    void MarjinBtnClick();
    // 印刷: the print dialog offers the displayed page numbers, then the
    // chosen pages print with a progress window.
    void PrnBtnClick();
    // 印刷設定: the printer-setup dialog; a paper chosen there becomes the
    // document's.
    void S1Click();
    // The document's paper into the printer, before a printer dialog.
    void ApplyDocPaper();
    // The printer's paper as the document would keep it.
    DocumentPaper PrinterPaper();
    bool PrinterPaperDiffers(const DocumentPaper& saved);
    // The printer's paper becomes this window's paper for the document (the
    // file keeps its own) and the window is laid out again.
    void AdoptPrinterPaper();
    // The margins in screen pixels at 100 %: top, bottom, left, right.
    void SetMargins(int top, int bottom, int left, int right);
    // The window's margins go into the file's header in millimetres; false
    // with a message when the file cannot take them.
    bool WriteMarginsToFile(QString* error);

    // Whether the pages next to the shown one are loaded and rendered in the
    // background (on by default).
    void setPrefetch(bool on);
    PagePrefetcher* prefetcher() const { return prefetch_.get(); }

    // How often the page picture was played (tests and benchmarks).
    int pageRenderCount() const { return cache_.renderCount(); }
    std::optional<QString> lastErrorMessage() const { return lastError_; }

    // Components.
    std::unique_ptr<TPrinterEnv> PrinterEnv;
    QSplitter* Splitter = nullptr;
    QWidget* PL_JumpTree = nullptr;
    QWidget* PL_JumpTool = nullptr;
    QLabel* LB_Mokuji = nullptr;
    QLabel* LB_Paper = nullptr;
    TCngLstBox* JumpTree = nullptr;
    QWidget* Panel1 = nullptr;
    TScrollBox* ScrollBox = nullptr;
    TSheetPanel* PL_Paper = nullptr;
    TPaintBox* PaintBox = nullptr;
    QWidget* PL_Bottom = nullptr;
    TPanelExt* PL_Bottom0 = nullptr;
    TPanelExt* PL_Bottom1 = nullptr;
    TPanelExt* PL_Bottom2 = nullptr;
    TFocusControl* FocusControl = nullptr;
    QLabel* FocusLabel = nullptr;
    QTimer* Timer = nullptr;

    // Menus.
    QMenu* File1 = nullptr;
    QMenu* N2 = nullptr;
    QMenu* Show1 = nullptr;
    QMenu* PopupMenu_Paper = nullptr;
    QAction *Mn_Open = nullptr, *Close1 = nullptr, *D1 = nullptr, *R1 = nullptr, *N4 = nullptr,
            *Mn_Print = nullptr, *S1 = nullptr, *Mn_Marjin = nullptr, *Mn_Exit = nullptr;
    QAction *Mn_Jump = nullptr, *Mn_Start = nullptr, *Mn_Back = nullptr, *Mn_Next = nullptr,
            *Mn_EndPage = nullptr, *Mn_PageScroll = nullptr;
    QAction *Mn_Small = nullptr, *Mn_Big = nullptr, *Mn_Contents = nullptr, *Mn_ToolBar = nullptr,
            *Mn_StatusBar = nullptr;
    QAction *Po_Small = nullptr, *Po_Big = nullptr, *Mn_Output = nullptr, *Mn_File = nullptr,
            *Mn_Clip = nullptr;
    std::array<QAction*, 11> MnZoom{};
    std::array<QAction*, 11> PoZoom{};

    // Menu drop-down handlers.
    void File1Click();
    void N2Click();
    void Show1Click();
    void PopupMenu_PaperPopup();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void CreateComponents();
    void CreateMenus();
    void PrepareContentsMetrics();
    bool IsActiveFrameWindow() const;
    QStringList ZoomItems() const;
    void SelectZoomItem(int index);
    void ApplyNavigationToFrame();
    void ApplyZoomButtonsToFrame();
    void SetStatusTexts();
    void FillContents();
    void SelectContentsOfPage();
    void ReportOpenFailure(const QString& path, const LoadError& error);
    void RequestNeighbours(const PageSheet& shown);

    void PaintBoxPaint(QPainter& painter, const QRect& exposed);
    void JumpTreeDrawItem(QPainter& painter, int index, const QRect& rect, bool selected);
    void JumpTreeIndexChange();
    void JumpTreeKeyDown(QKeyEvent* event);
    void FocusControlKeyDown(QKeyEvent* event);
    void FocusControlEnter();
    void FocusControlExit();
    bool ScrollWheel(int notches);  // positive: down
    void ImageOrgMouseDown(QMouseEvent* event);
    void ImageOrgMouseMove(QMouseEvent* event);
    void ImageOrgMouseUp(QMouseEvent* event);
    void ShowContextMenu(const QPoint& globalPos);

    FrameControls* frame_;
    QString workFolder_;
    std::shared_ptr<const AlbumDocument> doc_;  // shared with the background page loads
    int currentPage_ = 0;
    SheetGeometry geometry_;
    std::shared_ptr<const mf::Picture> picture_;
    std::unique_ptr<PagePrefetcher> prefetch_;
    std::uint64_t pageSerial_ = 0;
    int shownPage_ = 0;  // the page whose picture is loaded
    int travel_ = 0;     // the direction of the last turn: 1, -1, or 0 before the first
    PageRenderCache cache_;
    std::vector<ContentsEntry> contents_;
    int zoomIndex_ = 1;
    int zoomPercent_ = 0;
    int indentUnit_ = 6;
    int contentsTextHeight_ = 12;
    bool showPrintableArea_ = false;
    bool contentsSync_ = false;
    bool maximizeOnShow_ = false;
    bool inLayout_ = false;
    bool layoutAgain_ = false;
    int wheelRemainder_ = 0;
    NavigationState nav_;
    ZoomButtonsState zoomButtons_;
    PrintableArea* printableArea_ = nullptr;
    std::optional<QString> lastError_;
};
