#include "SptjUnit.h"

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

TSptjForm::TSptjForm(QWidget *parent) : QDialog(parent) {
    setupUi(this);
    setupFixedWindow(this, 264, 227);
    useSongFont(this);
    new NumberKeyFilter(Edit2); // a child of the price box
    connectHandler(SpeedButton1, &QAbstractButton::clicked, this, &TSptjForm::SpeedButton1Click);
    connectHandler(SpeedButton2, &QAbstractButton::clicked, this, &TSptjForm::SpeedButton2Click);

    // Errors while the window is created end the start-up: not caught here.
    ADOConnection1.open();
    ADOQuery1.setSql(QStringLiteral("select * from spxx"));
    ADOQuery1.open();
}

void TSptjForm::showBeside(QWidget *owner) {
    if (parentWidget() != owner) {
        setParent(owner, windowFlags());
        centreOnScreen(this);
    }
    setModal(false);
    show();
    raise();
    activateWindow();
}

void TSptjForm::SpeedButton1Click() {
    if (Edit1->text().isEmpty() && Edit2->text().isEmpty()) {
        Messages::show(this, QStringLiteral("添加商品不能为空！"), Messages::Icon::None);
        return;
    }
    requireStorablePrice(Edit2->text());
    {
        const PendingWrite pending(ADOQuery1);
        ADOQuery1.append();
        ADOQuery1.setField(QStringLiteral("品名"), Edit1->text());
        ADOQuery1.setField(QStringLiteral("单价"), Edit2->text());
        ADOQuery1.post();
    }
    Edit1->clear();
    Edit2->clear();
    Messages::show(this, QStringLiteral("添加商品成功！"), Messages::Icon::None);

    TMainForm *main = forms().main;
    listFill(main->ComboBox1, main->ADOQuery1, QStringLiteral("spxx"), QStringLiteral("品名"));
    forms().xt->reconnectData();

    if (!CheckBox1->isChecked())
        close();
}

void TSptjForm::SpeedButton2Click() {
    close();
}
