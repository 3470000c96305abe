#include "ReceiptForm.h"

#include <QTabWidget>

#include "Conventions.h"

#include <QPlainTextEdit>

ReceiptForm::ReceiptForm(ReceiptWidth width, QWidget *parent)
    : QDialog(parent), QuickRep1(width, ReceiptVariant::Plain, ADODataSet1, ADODataSet2),
      QuickRep2(width, ReceiptVariant::Customer, ADODataSet1, ADODataSet2),
      QuickRep3(width, ReceiptVariant::CustomerPhone, ADODataSet1, ADODataSet2), width_(width) {
    // The page pictures live in this (static) library.
    Q_INIT_RESOURCE(receipt);

    QuickRep1.setObjectName(QStringLiteral("QuickRep1"));
    QuickRep2.setObjectName(QStringLiteral("QuickRep2"));
    QuickRep3.setObjectName(QStringLiteral("QuickRep3"));

    const ReceiptReport::Parts &p1 = QuickRep1.parts();
    QRLabel2 = p1.cashier;
    QRLabel4 = p1.number;
    QRLabel6 = p1.time;
    QRLabel12 = p1.totalQuantity;
    QRLabel13 = p1.totalAmount;
    QRLabel15 = p1.due;
    QRLabel17 = p1.paid;
    QRLabel19 = p1.change;
    QRRichText1 = p1.remarks;

    const ReceiptReport::Parts &p2 = QuickRep2.parts();
    QRLabel25 = p2.cashier;
    QRLabel27 = p2.number;
    QRLabel29 = p2.time;
    QRLabel31 = p2.customer;
    QRLabel37 = p2.totalQuantity;
    QRLabel38 = p2.totalAmount;
    QRLabel40 = p2.due;
    QRLabel42 = p2.paid;
    QRLabel44 = p2.change;
    QRRichText2 = p2.remarks;

    const ReceiptReport::Parts &p3 = QuickRep3.parts();
    QRLabel50 = p3.cashier;
    QRLabel52 = p3.number;
    QRLabel54 = p3.time;
    QRLabel56 = p3.customer;
    QRLabel58 = p3.phone;
    QRLabel64 = p3.totalQuantity;
    QRLabel65 = p3.totalAmount;
    QRLabel67 = p3.due;
    QRLabel69 = p3.paid;
    QRLabel71 = p3.change;
    QRRichText3 = p3.remarks;

    QuickRep1.summary.beforePrint = [this] { QRBand3BeforePrint(); };
    QuickRep2.summary.beforePrint = [this] { QRBand5BeforePrint(); };
    QuickRep3.summary.beforePrint = [this] { QRBand8BeforePrint(); };
    for (ReceiptReport *r : {&QuickRep1, &QuickRep2, &QuickRep3}) {
        const ReceiptReport::Parts &p = r->parts();
        p.price->onPrint = [this](QString &value) { QRDBText3Print(value); };
        p.quantity->onPrint = [this](QString &value) { QRDBText4Print(value); };
        p.amount->onPrint = [this](QString &value) { QRDBText5Print(value); };
    }
}

ReceiptForm::~ReceiptForm() = default;

ReceiptReport &ReceiptForm::report(ReceiptVariant variant) {
    switch (variant) {
    case ReceiptVariant::Plain:
        break;
    case ReceiptVariant::Customer:
        return QuickRep2;
    case ReceiptVariant::CustomerPhone:
        return QuickRep3;
    }
    return QuickRep1;
}

void ReceiptForm::placeReports(const std::array<QWidget *, 3> &pages, QPlainTextEdit *memo) {
    const QPoint at = receiptPreviewPosition(width_);
    ReceiptReport *reports[] = {&QuickRep1, &QuickRep2, &QuickRep3};
    for (size_t i = 0; i < pages.size(); ++i) {
        auto *view = new Report::View(reports[i], pages[i]);
        view->setObjectName(reports[i]->objectName());
        view->move(at);
        view->raise();
        pages_[i] = pages[i];
    }
    memo_ = memo;
    memo_->setFont(remarkMemoFont());
    memo_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setReadOnly(true);
    memo_->hide();
}

void ReceiptForm::showPage(ReceiptVariant variant) {
    QWidget *page = pages_[size_t(variant)];
    for (QWidget *w = page ? page->parentWidget() : nullptr; w; w = w->parentWidget()) {
        if (auto *tabs = qobject_cast<QTabWidget *>(w)) {
            tabs->setCurrentWidget(page);
            return;
        }
    }
}

void ReceiptForm::FormCreate() {
    reconnect(ADOConnection1, {{&ADODataSet1, QStringLiteral("select * from xsxx")},
                               {&ADODataSet2, QStringLiteral("select * from dynr")}});
}

void ReceiptForm::fillRemarks(ReceiptReport &report) {
    // DBMemo1 shows the 备注 of the current print-content row.
    memo_->setPlainText(ADODataSet2.fieldText(QStringLiteral("备注")));
    report.parts().remarks->setLines(remarkLines(memo_->toPlainText()));
}

void ReceiptForm::QRBand3BeforePrint() {
    fillRemarks(QuickRep1);
}

void ReceiptForm::QRBand5BeforePrint() {
    fillRemarks(QuickRep2);
}

void ReceiptForm::QRBand8BeforePrint() {
    fillRemarks(QuickRep3);
}

void ReceiptForm::QRDBText3Print(QString &value) {
    value = receiptNumberText(value);
}

void ReceiptForm::QRDBText4Print(QString &value) {
    value = receiptNumberText(value);
}

void ReceiptForm::QRDBText5Print(QString &value) {
    value = receiptNumberText(value);
}
