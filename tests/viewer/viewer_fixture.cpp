#include "viewer_fixture.h"

#include <QDir>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "document/album_writer.h"
#include "metafile/emf_writer.h"
#include "viewer/view_form.h"
#include "viewer/zoom_choices.h"

namespace {

// A page: a coloured band across the top, the rest white.
QByteArray PagePicture(QSizeF mm, int page) {
    mf::EmfWriter w(mm);
    const QSize px = w.deviceSize();
    const std::uint32_t brush =
        w.CreateBrush(mf::kBsSolid, QColor::fromHsv((page * 37) % 360, 200, 200));
    w.SelectObject(brush);
    w.Rectangle(QRect(0, 0, px.width(), px.height() / 4));
    return w.Finish();
}

}  // namespace

QString WriteTestAlbum(const QTemporaryDir& dir, const TestAlbum& album, const QString& name) {
    AlbumDraft draft;
    draft.settings = DefaultSettings();
    draft.settings.paperWidth = album.paperWidthMm;
    draft.settings.paperHeight = album.paperHeightMm;
    draft.settings.pageNumberOffset = album.pageNumberOffset;
    draft.nineByteRecords = album.extension.toUpper() == QLatin1String("PXA");
    draft.marginLeft = WholeMm(album.marginLeftMm);
    for (const auto& [page, level] : album.toc) {
        TTocEntry e;
        e.pageSlot = page;
        e.levelSlot = level;
        e.text = QByteArray("Entry ") + QByteArray::number(page);
        draft.toc.push_back(e);
    }
    for (int p = 1; p <= album.pages; ++p) {
        AlbumPage page;
        const bool turned =
            std::find(album.turned.begin(), album.turned.end(), p) != album.turned.end();
        QSizeF mm(album.paperWidthMm, album.paperHeightMm);
        if (turned) mm.transpose();
        page.picture = PagePicture(mm, p);
        page.orientation = turned ? 1 : 0;
        draft.pages.push_back(page);
    }
    const QString path = dir.filePath(name + QLatin1Char('.') + album.extension);
    if (!WriteAlbumFile(path, draft)) return {};
    return path;
}

FakeFrame::FakeFrame() : host(std::make_unique<QWidget>()) {
    auto* layout = new QVBoxLayout(host.get());
    auto* bar = new QHBoxLayout;
    for (auto& b : buttons) {
        b = new QToolButton(host.get());
        bar->addWidget(b);
    }
    buttons[size_t(FrameButton::PageScroll)]->setCheckable(true);
    buttons[size_t(FrameButton::JumpTree)]->setCheckable(true);
    panel = new QWidget(host.get());
    selector = new QComboBox(panel);
    selector->addItems(ZoomSelectorItems());
    bar->addWidget(panel);
    layout->addLayout(bar);
    area = new QMdiArea(host.get());
    layout->addWidget(area, 1);
    DisableBound();
    host->resize(1000, 800);
    host->show();
}

FakeFrame::~FakeFrame() {
    for (QMdiSubWindow* w : area->subWindowList())
        delete w;
}

TViewForm* FakeFrame::Open(const QString& path, QSize size) {
    auto* view = new TViewForm(this);
    view->setWorkFolder(QDir::tempPath() + QLatin1Char('/'));
    area->addSubWindow(view);
    view->resize(size);
    view->show();
    area->setActiveSubWindow(view);
    if (view->OpenDocument(path)) return view;
    delete view;
    return nullptr;
}

MessageRecorder::MessageRecorder() {
    previous_ = SetMessageFunction([this](MessageKind kind, const QString& text) {
        messages.emplace_back(kind, text);
        return answer;
    });
}

MessageRecorder::~MessageRecorder() {
    SetMessageFunction(previous_);
}
