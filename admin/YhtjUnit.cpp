#include "YhtjUnit.h"

#include "AdminRules.h"
#include "FormLook.h"
#include "Forms.h"
#include "Handlers.h"
#include "ListFill.h"
#include "MainUnit.h"
#include "Messages.h"
#include "Password.h"
#include "WindowSetup.h"
#include "XtUnit.h"

TYhtjForm::TYhtjForm(QWidget *parent) : QDialog(parent) {
    setupUi(this);
    setupFixedWindow(this, 264, 246);
    useSongFont(this);
    connectHandler(SpeedButton1, &QAbstractButton::clicked, this, &TYhtjForm::SpeedButton1Click);
    connectHandler(SpeedButton2, &QAbstractButton::clicked, this, &TYhtjForm::SpeedButton2Click);

    // Errors while the window is created end the start-up: not caught here.
    ADOConnection1.open();
    ADOQuery1.setSql(QStringLiteral("select * from username"));
    ADOQuery1.open();
}

void TYhtjForm::SpeedButton1Click() {
    if (Edit1->text().isEmpty()) {
        Messages::show(this, QStringLiteral("用户名不能为空！"), Messages::Icon::None);
        return;
    }
    {
        const PendingWrite pending(ADOQuery1);
        ADOQuery1.append();
        ADOQuery1.setField(QStringLiteral("用户名"), Edit1->text());
        // The password is kept only as its salted hash.
        ADOQuery1.setField(QStringLiteral("密码"), hashPassword(Edit2->text()));
        ADOQuery1.setField(QStringLiteral("权限"), ComboBox1->currentText());
        ADOQuery1.post();
    }
    Edit1->clear();
    Edit2->clear();
    Messages::show(this, QStringLiteral("添加用户成功！"), Messages::Icon::None);

    TMainForm *main = forms().main;
    listFill(main->ComboBox6, main->ADOQuery7, QStringLiteral("username"),
             QStringLiteral("用户名"));
    forms().xt->reconnectData();

    if (!CheckBox1->isChecked())
        accept();
}

void TYhtjForm::SpeedButton2Click() {
    reject();
}
