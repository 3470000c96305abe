#include "LoginUnit.h"

#include "AppInfo.h"
#include "Conventions.h"
#include "DesktopShortcut.h"
#include "Forms.h"
#include "Handlers.h"
#include "ListFill.h"
#include "MainUnit.h"
#include "Messages.h"
#include "Password.h"
#include "Permissions.h"
#include "WindowSetup.h"

TLoginForm::TLoginForm(QWidget *parent) : QDialog(parent) {
    setupUi(this);
    // The title bar offers the window menu only: no close button.
    setupFixedWindow(this, 346, 265, TitleBar::Menu);
    connectHandler(SpeedButton1, &QAbstractButton::clicked, this, &TLoginForm::SpeedButton1Click);
    connectHandler(SpeedButton2, &QAbstractButton::clicked, this, &TLoginForm::SpeedButton2Click);
    FormCreate();
}

TLoginForm::~TLoginForm() = default;

void TLoginForm::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    runHandler(this, [this] { FormShow(); });
}

void TLoginForm::FormCreate() {
    writeDesktopShortcut();

    // Lines of a sale left from the previous run are dropped, logged in or not.
    Query &sale = forms().main->ADOQuery2;
    {
        Transaction t(forms().main->ADOConnection1);
        sale.first();
        while (!sale.eof())
            sale.remove();
        t.commit();
    }

    ADOConnection1.open();
    listFill(ComboBox1, ADOQuery1, QStringLiteral("username"), QStringLiteral("用户名"));
    if (ComboBox1->count() > 0)
        ComboBox1->setCurrentIndex(0);
}

void TLoginForm::FormShow() {
    Edit1->setFocus();
}

void TLoginForm::SpeedButton1Click() {
    // The user whose name is exactly the chosen one (the first such row).
    exactLookup(ADOQuery1, QStringLiteral("username"), QStringLiteral("用户名"),
                ComboBox1->currentText());
    Edit2->setText(ADOQuery1.fieldText(QStringLiteral("密码")));
    Edit3->setText(ADOQuery1.fieldText(QStringLiteral("权限")));

    if (!verifyPassword(Edit1->text(), Edit2->text())) {
        Messages::show(this, QStringLiteral("登录软件密码错误！"), Messages::Icon::Error);
        Edit1->clear();
        return;
    }
    Edit2->clear(); // the stored hash is not kept in a control longer than needed
    setResult(QDialog::Accepted);
    TMainForm *main = forms().main;
    main->ComboBox6->setEditText(ComboBox1->currentText());
    main->setStatusPanel(0, QStringLiteral("  网站：") + QString::fromUtf8(AppInfo::webAddress));
    main->setStatusPanel(1, QStringLiteral("  用户权限：") + Edit3->text());
    applyPermission(Edit3->text());
    accept();
}

void TLoginForm::SpeedButton2Click() {
    reject();
}

bool runLogin() {
    TLoginForm login(forms().main);
    return login.exec() == QDialog::Accepted;
}
