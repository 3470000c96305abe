#include "YhxgUnit.h"

#include "AdminRules.h"
#include "FormLook.h"
#include "Forms.h"
#include "Handlers.h"
#include "Messages.h"
#include "Password.h"
#include "Permissions.h"
#include "WindowSetup.h"
#include "XtUnit.h"

TYhxgForm::TYhxgForm(QWidget *parent) : QDialog(parent) {
    setupUi(this);
    setupFixedWindow(this, 262, 274);
    useSongFont(this);
    setEditable(Edit1, false); // the name is shown, never changed
    connectHandler(SpeedButton1, &QAbstractButton::clicked, this, &TYhxgForm::SpeedButton1Click);
    connectHandler(SpeedButton2, &QAbstractButton::clicked, this, &TYhxgForm::SpeedButton2Click);
}

void TYhxgForm::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    runHandler(this, [this] { FormShow(); });
}

void TYhxgForm::FormShow() {
    Edit2->setFocus();
}

void TYhxgForm::SpeedButton1Click() {
    Query &users = forms().xt->ADOQuery1;
    if (!verifyPassword(Edit2->text(), users.fieldText(QStringLiteral("密码")))) {
        Messages::show(this, QStringLiteral("旧密码输入错误！"), Messages::Icon::Error);
        Edit2->clear();
        Edit3->clear();
        return;
    }
    {
        const PendingWrite pending(users);
        users.edit();
        users.setField(QStringLiteral("密码"), hashPassword(Edit3->text()));
        users.setField(
            QStringLiteral("权限"),
            permissionToStore(ComboBox1->isEnabled(), ComboBox1->currentText(), Edit4->text()));
        users.post();
    }
    Messages::show(this, QStringLiteral("修改用户信息成功！"), Messages::Icon::None);
    accept();
}

void TYhxgForm::SpeedButton2Click() {
    reject();
}
