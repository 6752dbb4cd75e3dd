#pragma once

#include <QDialog>
#include <QPointer>

#include "document/document_info_lines.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class TViewForm;

// "書類情報": what a document says about itself (producer and version, date,
// title, author, remarks, paper, external characters, fonts). Created once
// and kept; each showing fills it from the window it is given.
class TProForm : public QDialog {
    Q_OBJECT
public:
    explicit TProForm(QWidget* parent = nullptr);

    // The window whose document is shown; filled on every showing.
    void setDocumentWindow(TViewForm* view) { view_ = view; }
    // What the printer environment answers for the paper line and the fonts.
    void setPrinterFacts(PrinterFacts facts) { facts_ = std::move(facts); }

    QLabel *LB_Ver = nullptr, *LB_Date = nullptr, *LB_Title = nullptr, *LB_Name = nullptr,
           *LB_Bikou = nullptr, *LB_Paper = nullptr, *LB_Gaiji = nullptr, *LB_Font = nullptr;
    QPlainTextEdit* Memo = nullptr;
    QPushButton* Button1 = nullptr;

    // Fills the values from the document window.
    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPointer<TViewForm> view_;
    PrinterFacts facts_;
};
