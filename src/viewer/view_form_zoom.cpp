// Zoom choices and the layout of the sheet.

#include <QAbstractButton>
#include <QComboBox>
#include <QScrollBar>

#include "controls/focus_control.h"
#include "document/album_document.h"
#include "document/page_sheet.h"
#include "viewer/sheet_layout.h"
#include "viewer/view_form.h"
#include "viewer/view_widgets.h"
#include "viewer/zoom_choices.h"

QStringList TViewForm::ZoomItems() const {
    if (frame_) {
        if (const QComboBox* selector = frame_->ZoomSelector(); selector && selector->count() > 0) {
            QStringList items;
            for (int i = 0; i < selector->count(); ++i)
                items << selector->itemText(i);
            return items;
        }
    }
    return ZoomSelectorItems();
}

void TViewForm::ScrollBoxResize() {
    if (!doc_ || geometry_.paperPixels.width() == 0 || geometry_.paperPixels.height() == 0) return;
    if (inLayout_) {
        // The scroll bars came or went while laying out: lay out once more.
        layoutAgain_ = true;
        return;
    }
    inLayout_ = true;
    const QStringList items = ZoomItems();
    // Showing or hiding a scroll bar changes the area; a few rounds settle it.
    for (int round = 0; round < 4; ++round) {
        layoutAgain_ = false;
        ScrollBox->horizontalScrollBar()->setValue(0);
        ScrollBox->verticalScrollBar()->setValue(0);
        const PageSheet sheet = PageSheetOf(*doc_, geometry_, currentPage_);
        const std::optional<SheetLayout> layout =
            LayoutSheet(sheet.paper, ScrollBox->viewport()->size(), zoomIndex_, items);
        if (!layout) break;
        zoomPercent_ = layout->zoomPercent;
        ScrollBox->content()->resize(layout->horzRange, layout->vertRange);
        PL_Paper->setGeometry(layout->sheet);
        PaintBox->setGeometry(2, 2, std::max(layout->sheet.width() - 4, 0),
                              std::max(layout->sheet.height() - 4, 0));
        ScrollBox->horizontalScrollBar()->setValue(0);
        ScrollBox->verticalScrollBar()->setValue(0);
        if (!layoutAgain_) break;
    }
    inLayout_ = false;
    UpdateZoomButtons();
}

void TViewForm::UpdateZoomButtons() {
    zoomButtons_ = ZoomButtonsFor(pageCount(), zoomPercent_);
    ApplyZoomButtonsToFrame();
}

void TViewForm::ApplyZoomButtonsToFrame() {
    if (!IsActiveFrameWindow()) return;
    if (auto* big = frame_->Button(FrameButton::Big)) big->setEnabled(zoomButtons_.big);
    if (auto* small = frame_->Button(FrameButton::Small)) small->setEnabled(zoomButtons_.small);
}

void TViewForm::SelectZoomItem(int index) {
    zoomIndex_ = index;
    if (IsActiveFrameWindow()) {
        if (QComboBox* selector = frame_->ZoomSelector()) {
            const QSignalBlocker block(selector);
            selector->setCurrentIndex(index);
        }
    }
}

void TViewForm::CB_RituChange(bool fromSelector) {
    if (fromSelector && frame_) {
        if (QComboBox* selector = frame_->ZoomSelector()) {
            zoomIndex_ = selector->currentIndex();
            // Back to the page, so that the keys turn pages again.
            FocusControl->setFocus();
            SelectZoomItem(zoomIndex_);
        }
    }
    ScrollBoxResize();
}

void TViewForm::Mn10Click(int tag) {
    if (tag < 0 || tag >= kZoomChoiceCount) return;
    SelectZoomItem(tag);
    CB_RituChange(false);
}

void TViewForm::BigBtnClick() {
    if (!zoomButtons_.big) return;
    const int index = ZoomStepUp(ZoomItems(), zoomPercent_);
    if (index < 0) return;
    SelectZoomItem(index);
    CB_RituChange(false);
    UpdateZoomButtons();
}

void TViewForm::SmallBtnClick() {
    if (!zoomButtons_.small) return;
    const int index = ZoomStepDown(ZoomItems(), zoomPercent_);
    if (index < 0) return;
    SelectZoomItem(index);
    CB_RituChange(false);
    UpdateZoomButtons();
}
