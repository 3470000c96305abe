#include "SpxgUnit.h"

#include "AdminRules.h"
#include "FormLook.h"
#include "Forms.h"
#include "Handlers.h"
#include "KeyFilters.h"
#include "ListFill.h"
#include "MainUnit.h"
#include "Messages.h"
#include "WindowSetup.h"
#include "XtUnit.h"

TSpxgForm::TSpxgForm(QWidget *parent) : QDialog(parent) {
    setupUi(this);
    setupFixedWindow(this, 264, 223);
    useSongFont(this);
    new NumberKeyFilter(Edit2); // a child of the price box
    connectHandler(SpeedButton1, &QAbstractButton::clicked, this, &TSpxgForm::SpeedButton1Click);
    connectHandler(SpeedButton2, &QAbstractButton::clicked, this, &TSpxgForm::SpeedButton2Click);
}

void TSpxgForm::SpeedButton1Click() {
    Query &goods = forms().xt->ADOQuery2;
    requireStorablePrice(Edit2->text());
    {
        const PendingWrite pending(goods);
        goods.edit();
        goods.setField(QStringLiteral("品名"), Edit1->text());
        goods.setField(QStringLiteral("单价"), Edit2->text());
        goods.post();
    }
    Messages::show(this, QStringLiteral("修改商品信息成功！"), Messages::Icon::None);
    TMainForm *main = forms().main;
    listFill(main->ComboBox1, main->ADOQuery1, QStringLiteral("spxx"), QStringLiteral("品名"));
    accept();
}

void TSpxgForm::SpeedButton2Click() {
    reject();
}
