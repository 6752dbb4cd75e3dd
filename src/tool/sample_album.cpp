#include "tool/sample_album.h"

#include <QDate>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygon>

#include "core/cp932.h"
#include "metafile/emf_writer.h"

namespace {

using mf::EmfWriter;

const QString kGothic = QStringLiteral("ＭＳ ゴシック");
const QString kMincho = QStringLiteral("ＭＳ 明朝");
const QString kProject = QStringLiteral("工事名：○○線道路改良工事");

struct Photo {
    QString title;   // 着工前, 床掘完了, ...
    QString work;    // 工種
    QString date;    // 撮影日
    QString remark;  // 備考
};

// A site photograph: sky, ground, a road or trench and a machine, varied by `seed`.
QImage SynthesizedPhoto(int seed, QSize size = QSize(320, 240)) {
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const int horizon = size.height() * (40 + seed * 7 % 20) / 100;
    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor(70, 130, 200));
    sky.setColorAt(1, QColor(200, 225, 245));
    p.fillRect(QRect(0, 0, size.width(), horizon), sky);
    QLinearGradient ground(0, horizon, 0, size.height());
    ground.setColorAt(0, QColor(150, 120, 80));
    ground.setColorAt(1, QColor(100, 75, 45));
    p.fillRect(QRect(0, horizon, size.width(), size.height() - horizon), ground);
    // Distant hills.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 130, 80));
    p.drawEllipse(QPoint(size.width() / 4 + seed * 13 % 60, horizon + 10), 120, 40);
    // The road or trench, narrowing towards the horizon.
    const bool trench = seed % 2 == 1;
    p.setBrush(trench ? QColor(80, 60, 40) : QColor(120, 120, 125));
    p.drawPolygon(
        QPolygon({QPoint(size.width() / 2 - 20, horizon), QPoint(size.width() / 2 + 20, horizon),
                  QPoint(size.width() - 30, size.height()), QPoint(30, size.height())}));
    if (!trench) {
        p.setPen(QPen(Qt::white, 3, Qt::DashLine));
        p.drawLine(size.width() / 2, horizon, size.width() / 2, size.height());
        p.setPen(Qt::NoPen);
    }
    // An excavator: body, cab and arm.
    const int x = 40 + seed * 37 % (size.width() - 140);
    const int y = horizon + 30;
    p.setBrush(QColor(240, 190, 30));
    p.drawRect(x, y, 70, 35);
    p.setBrush(QColor(60, 60, 60));
    p.drawRect(x - 5, y + 35, 80, 14);
    p.setBrush(QColor(180, 220, 240));
    p.drawRect(x + 45, y - 18, 22, 18);
    p.setPen(QPen(QColor(230, 170, 20), 7));
    p.drawLine(x + 10, y, x - 25, y - 30);
    p.drawLine(x - 25, y - 30, x - 35, y + 20);
    // A survey board at the front, as site photographs carry.
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(30, 70, 40));
    p.drawRect(size.width() - 110, size.height() - 70, 95, 60);
    return image;
}

class PageComposer {
public:
    PageComposer(bool landscape) : w_(landscape ? QSizeF(297, 210) : QSizeF(210, 297)) {
        w_.SetMapMode(mf::kMmText);
        w_.SetBkMode(mf::kTransparent);
        w_.SetTextAlign(mf::kTaBaseline);
        framePen_ = w_.CreatePen(mf::kPsSolid, 1, QColor(0, 0, 0));
        w_.SelectObject(framePen_);
        w_.SelectObject(mf::kStockObject | mf::kNullBrush);
    }
    QSize size() const { return w_.deviceSize(); }

    void Text(QPoint at, const QString& text, const QString& face, int height,
              QColor color = Qt::black) {
        const std::uint32_t font = w_.CreateFont(face, -height, 400, mf::kShiftJisCharset);
        w_.SelectObject(font);
        w_.SetTextColor(color);
        w_.ExtTextOut(at, text, height);
        w_.SelectObject(mf::kStockObject | 13);  // SYSTEM_FONT
        w_.DeleteObject(font);
    }
    // Centred by the cell advances the text is written with.
    void CentredText(int y, const QString& text, const QString& face, int height,
                     QColor color = Qt::black) {
        int width = 0;
        for (QChar c : text)
            width += c.unicode() < 0x80 ? height / 2 : height;
        Text(QPoint((size().width() - width) / 2, y), text, face, height, color);
    }
    void Frame(const QRect& r) { w_.Rectangle(r); }
    void Line(QPoint a, QPoint b) {
        w_.MoveTo(a);
        w_.LineTo(b);
    }
    void Band(const QRect& r, QColor color) {
        const std::uint32_t brush = w_.CreateBrush(mf::kBsSolid, color);
        w_.SelectObject(brush);
        w_.SelectObject(mf::kStockObject | mf::kNullPen);
        w_.Rectangle(r);
        w_.SelectObject(framePen_);
        w_.SelectObject(mf::kStockObject | mf::kNullBrush);
        w_.DeleteObject(brush);
    }
    void Image(const QRect& r, const QImage& image) { w_.StretchDIBits(r, image); }
    QByteArray finish() {
        w_.DeleteObject(framePen_);
        return w_.Finish();
    }

    // One photograph with its caption box to the right.
    void PhotoRow(const QRect& area, const Photo& photo, int seed) {
        const int photoWidth = area.height() * 4 / 3;
        const QRect photoRect(area.left(), area.top(), photoWidth, area.height());
        Image(photoRect, SynthesizedPhoto(seed));
        Frame(photoRect);
        const QRect caption(photoRect.right() + 12, area.top(),
                            area.right() - photoRect.right() - 12, area.height());
        Frame(caption);
        const int x = caption.left() + 10;
        int y = caption.top() + 26;
        Text(QPoint(x, y), photo.title, kGothic, 16, QColor(120, 0, 0));
        y += 14;
        Line(QPoint(caption.left() + 6, y), QPoint(caption.right() - 6, y));
        y += 24;
        Text(QPoint(x, y), QStringLiteral("工種：") + photo.work, kMincho, 13);
        y += 22;
        Text(QPoint(x, y), QStringLiteral("撮影日：") + photo.date, kMincho, 13);
        y += 22;
        Text(QPoint(x, y), photo.remark, kMincho, 13);
    }

    void Heading(const QString& section, int pageNumber) {
        const QSize s = size();
        Band(QRect(40, 36, s.width() - 80, 34), QColor(220, 232, 245));
        Text(QPoint(52, 60), kProject, kGothic, 18);
        Text(QPoint(s.width() - 200, 60), section, kGothic, 18, QColor(0, 40, 120));
        Text(QPoint(s.width() / 2 - 16, s.height() - 36), QStringLiteral("- %1 -").arg(pageNumber),
             kMincho, 12);
    }

private:
    EmfWriter w_;
    std::uint32_t framePen_ = 0;
};

QByteArray CoverPage() {
    PageComposer page(false);
    const QSize s = page.size();
    page.Band(QRect(60, 180, s.width() - 120, 90), QColor(230, 238, 248));
    page.Frame(QRect(60, 180, s.width() - 120, 90));
    page.CentredText(240, QStringLiteral("○○線道路改良工事"), kMincho, 40);
    page.CentredText(340, QStringLiteral("工事写真帳"), kGothic, 36, QColor(0, 40, 120));
    page.Image(QRect(157, 420, 480, 360), SynthesizedPhoto(11, QSize(480, 360)));
    page.Frame(QRect(157, 420, 480, 360));
    page.Text(QPoint(200, 880), QStringLiteral("工期：2026/09/01 ～ 2027/03/15"), kMincho, 18);
    page.Text(QPoint(200, 920), QStringLiteral("施工者：株式会社○○建設"), kMincho, 18);
    page.Text(QPoint(200, 960), QStringLiteral("発注者：○○県 土木部"), kMincho, 18);
    return page.finish();
}

QByteArray PhotoPage(const QString& section, int pageNumber, const std::vector<Photo>& photos,
                     int seed) {
    PageComposer page(false);
    page.Heading(section, pageNumber);
    const int rowHeight = 300;
    for (size_t i = 0; i < photos.size(); ++i) {
        const QRect area(56, 100 + int(i) * (rowHeight + 30), page.size().width() - 112,
                         rowHeight - 30);
        page.PhotoRow(area, photos[i], seed + int(i));
    }
    return page.finish();
}

QByteArray PanoramaPage(int pageNumber) {
    PageComposer page(true);
    page.Heading(QStringLiteral("全景"), pageNumber);
    const QSize s = page.size();
    const QRect photo(60, 100, s.width() - 120, (s.width() - 120) * 3 / 8);
    page.Image(photo, SynthesizedPhoto(4, QSize(640, 240)));
    page.Frame(photo);
    page.Text(QPoint(70, photo.bottom() + 40), QStringLiteral("全景（起点側より終点側を望む）"),
              kGothic, 18);
    page.Text(QPoint(70, photo.bottom() + 72), QStringLiteral("撮影日：2026/11/05"), kMincho, 14);
    return page.finish();
}

double OleDate(QDate date, int hour, int minute) {
    return double(QDate(1899, 12, 30).daysTo(date)) + (hour * 60 + minute) / 1440.0;
}

TTocEntry Entry(int page, int level, const QString& text) {
    return TTocEntry{page, level, UnicodeToSjis(text)};
}

}  // namespace

AlbumDraft SampleAlbum() {
    AlbumDraft draft;
    draft.producer = "PXA";
    draft.producerVersion = 30000;
    draft.marginTop = draft.marginBottom = 50000;  // 5 mm
    draft.marginLeft = draft.marginRight = 50000;
    TAlbumSettings& s = draft.settings;
    s = DefaultSettings();
    s.created = OleDate(QDate(2026, 11, 5), 10, 30);
    s.title = UnicodeToSjis(QStringLiteral("○○線道路改良工事"));
    s.remarks = UnicodeToSjis(QStringLiteral("工事写真帳（サンプル）"));
    s.author = UnicodeToSjis(QStringLiteral("株式会社○○建設"));
    s.fontsUsed = UnicodeToSjis(kGothic + QStringLiteral("\r\n") + kMincho);

    const QString d1 = QStringLiteral("2026/09/03"), d2 = QStringLiteral("2026/11/05");
    draft.pages = {
        {CoverPage(), 0, {}, {}},
        {PhotoPage(
             QStringLiteral("着工前"), 2,
             {{QStringLiteral("着工前"), QStringLiteral("準備工"), d1, QStringLiteral("起点側")},
              {QStringLiteral("着工前"), QStringLiteral("準備工"), d1, QStringLiteral("中間点")},
              {QStringLiteral("着工前"), QStringLiteral("準備工"), d1, QStringLiteral("終点側")}},
             1),
         0,
         {},
         {}},
        {PhotoPage(QStringLiteral("床掘"), 3,
                   {{QStringLiteral("床掘状況"), QStringLiteral("道路土工"), d2,
                     QStringLiteral("No.3+10")},
                    {QStringLiteral("床掘完了"), QStringLiteral("道路土工"), d2,
                     QStringLiteral("No.3+10")},
                    {QStringLiteral("床掘完了"), QStringLiteral("道路土工"), d2,
                     QStringLiteral("深さ確認 H=1.20m")}},
                   3),
         0,
         {},
         {}},
        {PanoramaPage(4), 1, {}, {}},  // landscape: a turned page
        {PhotoPage(QStringLiteral("基礎工"), 5,
                   {{QStringLiteral("砕石敷均し"), QStringLiteral("基礎工"), d2,
                     QStringLiteral("t=150mm")},
                    {QStringLiteral("転圧状況"), QStringLiteral("基礎工"), d2,
                     QStringLiteral("振動ローラ")}},
                   6),
         0,
         {},
         {}},
        {PhotoPage(QStringLiteral("舗装工"), 6,
                   {{QStringLiteral("表層工"), QStringLiteral("舗装工"),
                     QStringLiteral("2026/12/10"), QStringLiteral("t=50mm")},
                    {QStringLiteral("完成"), QStringLiteral("舗装工"), QStringLiteral("2027/03/10"),
                     QStringLiteral("起点側より")}},
                   8),
         0,
         {},
         {}},
    };
    draft.toc = {
        Entry(1, 0, QStringLiteral("表紙")),         Entry(2, 0, QStringLiteral("着工前")),
        Entry(3, 0, QStringLiteral("施工状況")),     Entry(3, 1, QStringLiteral("　床掘完了　")),
        Entry(4, 1, QStringLiteral("全景")),         Entry(5, 1, QStringLiteral("基礎工")),
        Entry(6, 0, QStringLiteral("舗装工・完成")),
    };
    return draft;
}
