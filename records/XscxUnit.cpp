#include "XscxUnit.h"

#include "ColumnModel.h"
#include "Conventions.h"
#include "Fonts.h"
#include "Forms.h"
#include "Handlers.h"
#include "Messages.h"
#include "SalesRecords.h"
#include "WindowSetup.h"
#include "XstjUnit.h"

#include <QListView>
#include <QSignalBlocker>

namespace {

// An editable drop-down whose text is taken as typed: no completion may turn a typed
// date into one full receipt number, and Enter adds nothing to the list.
void setupCriterionBox(QComboBox *box) {
    box->setCompleter(nullptr);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    if (auto *list = qobject_cast<QListView *>(box->view()))
        list->setUniformItemSizes(true);
}

} // namespace

TXscxForm::TXscxForm(QWidget *parent) : QDialog(parent), numbers_(new ColumnModel(this)) {
    setupUi(this);
    setupFixedWindow(this, 264, 221);
    const QFont font = pixelFont(QStringLiteral("宋体"), 15);
    for (QWidget *w : std::initializer_list<QWidget *>{Label1, ComboBox1, Label2, ComboBox2,
                                                       SpeedButton1, SpeedButton2})
        w->setFont(font);
    setupCriterionBox(ComboBox1);
    setupCriterionBox(ComboBox2);
    numbers_->setQuery(&ADOQuery1, QStringLiteral("单号"));
    ComboBox1->setModel(numbers_);
    ComboBox1->setCurrentIndex(-1);

    connectHandler(SpeedButton1, &QAbstractButton::clicked, this, &TXscxForm::SpeedButton1Click);
    connectHandler(SpeedButton2, &QAbstractButton::clicked, this, &TXscxForm::SpeedButton2Click);

    ADOConnection1.open();
    ADOQuery1.setSql(QStringLiteral("select * from xstj"));
    ADOQuery2.setSql(QStringLiteral("select * from username"));
}

TXscxForm::~TXscxForm() = default;

void TXscxForm::fillReceiptNumbers() {
    const QSignalBlocker block(ComboBox1);
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText(QString());
    ADOQuery1.close();
    ADOQuery1.setSql(QStringLiteral("Select Distinct 单号 From xstj"));
    ADOQuery1.open();
    numbers_->load();
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText(QString());
}

void TXscxForm::SpeedButton1Click() {
    const QString number = ComboBox1->currentText();
    const QString cashier = ComboBox2->currentText();
    Query &list = forms().xstj->ADOQuery1;
    switch (salesQueryFor(number, cashier)) {
    case SalesQuery::Refused:
        Messages::show(this, QStringLiteral("查询信息不能为空！"), Messages::Icon::Warning);
        return;
    case SalesQuery::ByNumber:
        likeLookup(list, QStringLiteral("xstj"), QStringLiteral("单号"), number);
        accept();
        return;
    case SalesQuery::ByCashier:
        likeLookup(list, QStringLiteral("xstj"), QStringLiteral("收银员"), cashier);
        accept();
        return;
    case SalesQuery::Nothing:
        return;
    }
}

void TXscxForm::SpeedButton2Click() {
    reject();
}
