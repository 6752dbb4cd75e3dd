// Opening a document, loading its pages and drawing the current one.

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QPainter>

#include "controls/cng_lst_box.h"
#include "controls/focus_control.h"
#include "document/album_document.h"
#include "document/page_sheet.h"
#include "metafile/picture.h"
#include "printing/printable_area.h"
#include "viewer/messages.h"
#include "viewer/page_prefetch.h"
#include "viewer/view_env.h"
#include "viewer/view_form.h"
#include "viewer/view_widgets.h"

namespace {

// The hourglass while a document is read; back to normal on every way out.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// The reason of a failure with the file's name in front, unless the reason
// already names it.
QString NamedReason(const QString& path, const LoadError& error) {
    const QString name = QFileInfo(path).fileName();
    QString reason = error.message;
    if (reason.isEmpty()) reason = QStringLiteral("書類を読み込めません。");
    if (!name.isEmpty() && !reason.contains(name)) reason += QStringLiteral(" > ") + name;
    return reason;
}

// Whether a page other than `page` can be read: an album whose first page is
// damaged still opens when another page is intact.
bool OtherPageReadable(const AlbumDocument& doc, int page) {
    for (int p = 1; p <= doc.pageCount; ++p) {
        if (p != page && ReadPageBytes(doc, p, nullptr)) return true;
    }
    return false;
}

}  // namespace

int TViewForm::pageCount() const {
    return doc_ ? doc_->pageCount : 0;
}
int TViewForm::currentPage() const {
    return doc_ ? currentPage_ : 0;
}
int TViewForm::pageNumberOffset() const {
    return doc_ ? doc_->pageNumberOffset : 0;
}

bool TViewForm::IsTurnedPage() const {
    return doc_ && doc_->pageCount > 0 && doc_->IsTurnedPage(currentPage_);
}

void TViewForm::ReportOpenFailure(const QString& path, const LoadError& error) {
    switch (error.kind) {
        case LoadError::Kind::NoPages:
            break;
        case LoadError::Kind::NotFound:
        case LoadError::Kind::BadName:
        case LoadError::Kind::BadVersion:
            InfoMessage(error.message);
            break;
        default:
            ErrorMessage(NamedReason(path, error));
            break;
    }
}

bool TViewForm::OpenDocument(const QString& path) {
    zoomIndex_ = ViewEnvironment().zoomIndex;
    if (frame_) {
        if (QComboBox* selector = frame_->ZoomSelector()) {
            const QSignalBlocker block(selector);
            selector->setCurrentIndex(zoomIndex_ >= 0 && zoomIndex_ < selector->count() ? zoomIndex_
                                                                                        : -1);
        }
    }
    contents_.clear();
    JumpTree->clear();

    bool opened = false;
    LoadError error;
    std::unique_ptr<const AlbumDocument> doc;
    {
        BusyCursor busy;
        OpenOptions options;
        options.workFolder = workFolder_;
        doc = OpenAlbum(path, options, &error);
    }
    if (!doc) {
        ReportOpenFailure(path, error);
    } else {
        if (prefetch_) prefetch_->Cancel();
        picture_.reset();
        shownPage_ = 0;
        travel_ = 0;
        doc_ = std::move(doc);
        currentPage_ = 1;
        geometry_ = SheetGeometryOf(*doc_, logicalDpiY());
        FillContents();
        bool loaded = false;
        bool othersReadable = false;
        {
            BusyCursor busy;
            loaded = LoadCurrentPage();
            if (!loaded) othersReadable = OtherPageReadable(*doc_, currentPage_);
        }
        if (loaded || othersReadable) {
            // A damaged first page leaves its sheet empty; the other pages
            // are there to turn to.
            ScrollBoxResize();
            PL_Paper->show();
            opened = true;
        }
        if (!loaded) {
            LoadError pageError;
            pageError.message = lastError_.value_or(QString());
            ErrorMessage(NamedReason(path, pageError));
        }
        if (!opened) {
            doc_.reset();
            currentPage_ = 0;
            picture_.reset();
            contents_.clear();
            JumpTree->clear();
        }
    }
    RefreshNavigationState();
    FocusControl->setFocus();
    return opened;
}

void TViewForm::FillContents() {
    contents_.clear();
    JumpTree->setUpdatesEnabled(false);
    JumpTree->clear();
    for (const TocItem& item : doc_->toc) {
        contents_.push_back({item.page, item.level});
        JumpTree->addItem(item.text);
    }
    JumpTree->setUpdatesEnabled(true);
}

bool TViewForm::LoadCurrentPage() {
    if (pageCount() <= 0) return true;
    LoadError error;
    // A page the background loads have ready is shown at once.
    std::optional<PrefetchedPage> ready = prefetch_ ? prefetch_->Take(currentPage_) : std::nullopt;
    std::shared_ptr<const mf::Picture> picture;
    if (ready) {
        picture = std::move(ready->picture);
    } else if (std::optional<mf::Picture> loaded = LoadPagePicture(*doc_, currentPage_, &error)) {
        picture = std::make_shared<const mf::Picture>(std::move(*loaded));
    } else {
        lastError_ = error.message;
        contentsSync_ = false;
        return false;
    }
    lastError_.reset();
    // The page being left stays at hand for a turn back; otherwise release
    // it (and its rendering) before keeping the new one.
    if (prefetch_ && picture_ && shownPage_ != currentPage_) {
        PrefetchedPage leaving;
        leaving.key = {shownPage_, cache_.inner(), cache_.devicePixelRatio(), cache_.margins(),
                       cache_.zoomPercent()};
        leaving.picture = picture_;
        leaving.image = cache_.image();
        prefetch_->Keep(doc_, std::move(leaving));
    }
    if (shownPage_ != 0 && shownPage_ != currentPage_) travel_ = currentPage_ > shownPage_ ? 1 : -1;
    shownPage_ = currentPage_;
    cache_.Clear();
    picture_ = std::move(picture);
    ++pageSerial_;
    if (ready && !ready->image.isNull())
        cache_.Adopt(pageSerial_, ready->key.inner, ready->key.devicePixelRatio, ready->key.margins,
                     ready->key.zoomPercent, std::move(ready->image));
    PaintBox->update();
    SelectContentsOfPage();
    return true;
}

void TViewForm::SelectContentsOfPage() {
    contentsSync_ = true;
    const int index = ContentsIndexForPage(contents_, currentPage());
    if (index >= 0 && JumpTree->currentRow() != index) JumpTree->SetItemIndex(index);
    contentsSync_ = false;
}

void TViewForm::ChangePage(int page) {
    if (!doc_ || page < 1 || page > doc_->pageCount) return;
    const int previous = currentPage_;
    currentPage_ = page;
    bool loaded = false;
    {
        // Compressed pages take a moment to inflate.
        std::optional<BusyCursor> busy;
        if (doc_->PagesAreZlibStreams()) busy.emplace();
        loaded = LoadCurrentPage();
    }
    if (!loaded) {
        currentPage_ = previous;
        LoadError error;
        error.message = lastError_.value_or(QString());
        ErrorMessage(NamedReason(doc_->fileName, error));
    } else if (doc_->pxaFlag) {
        ScrollBoxResize();
    }
    RefreshNavigationState();
}

void TViewForm::setPrefetch(bool on) {
    if (!on)
        prefetch_.reset();
    else if (!prefetch_)
        prefetch_ = std::make_unique<PagePrefetcher>();
}

void TViewForm::RequestNeighbours(const PageSheet& shown) {
    if (!prefetch_ || !doc_) return;
    const int page = currentPage_;
    std::vector<PageViewKey> wanted;
    for (const int neighbour : PagesToPrepare(page, doc_->pageCount, travel_)) {
        PageViewKey key;
        key.page = neighbour;
        key.margins = shown.margins;
        key.zoomPercent = zoomPercent_;
        key.devicePixelRatio = PaintBox->devicePixelRatioF();
        // A page turned the other way is laid out anew: only its picture is
        // loaded ahead.
        if (doc_->IsTurnedPage(neighbour) == shown.turned) key.inner = PaintBox->size();
        wanted.push_back(key);
    }
    prefetch_->Request(doc_, wanted);
}

void TViewForm::PaintBoxPaint(QPainter& painter, const QRect& exposed) {
    if (!picture_) {
        painter.fillRect(exposed, Qt::white);
        return;
    }
    const PageSheet sheet = PageSheetOf(*doc_, geometry_, currentPage_);
    const QImage& image =
        cache_.Render(pageSerial_, PaintBox->size(), PaintBox->devicePixelRatioF(), *picture_,
                      sheet.margins, zoomPercent_);
    painter.drawImage(QPointF(0, 0), image);
    RequestNeighbours(sheet);
    if (showPrintableArea_ && printableArea_) {
        const QRect r =
            PrintableAreaRect(printableArea_->PrintableAreaOnPaper(), zoomPercent_, logicalDpiX(),
                              sheet.turned && !printableArea_->IsPrinting());
        painter.setPen(QPen(QColor(192, 192, 192), 1));
        painter.setBrush(QBrush(QColor(192, 192, 192), Qt::DiagCrossPattern));
        painter.drawRect(r.adjusted(0, 0, -1, -1));
    }
}
