#include "AdminTest.h"

#include "DataGrid.h"
#include "Forms.h"
#include "LoginUnit.h"
#include "MainUnit.h"
#include "Password.h"
#include "Startup.h"
#include "XtUnit.h"

#include <QComboBox>
#include <QDialog>
#include <QTest>
#include <QTimer>

bool AdminTest::whileModal(QDialog *dialog, const std::function<void()> &open,
                           const std::function<void()> &inside) {
    bool ran = false;
    bool stayedOpen = false;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, dialog, [&] {
        ran = true;
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(dialog->isModal());
        inside();
        stayedOpen = dialog->isVisible();
        if (dialog->isVisible())
            dialog->reject();
    });
    timer.start();
    open();
    timer.stop();
    EXPECT_TRUE(ran) << "the dialog " << dialog->objectName().toStdString() << " did not show";
    return stayedOpen;
}

void AdminTest::click(QWidget *button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

bool AdminTest::logIn(const QString &user, const QString &password) {
    TLoginForm login(forms().main);
    const int index = login.ComboBox1->findText(user);
    EXPECT_GE(index, 0) << user.toStdString();
    login.ComboBox1->setCurrentIndex(index);
    login.Edit1->setText(password);
    click(login.SpeedButton1);
    return login.result() == QDialog::Accepted;
}

void AdminTest::addUserRow(const QString &name, const QString &password,
                           const QString &permission) {
    sql(QStringLiteral("INSERT INTO username (用户名, 密码, 权限) VALUES ('%1', '%2', '%3')")
            .arg(name, hashPassword(password), permission));
}

void AdminTest::restart() {
    destroyForms();
    createForms();
}

void AdminTest::reloadSettings() {
    forms().xt->reconnectData();
}

QStringList AdminTest::gridColumn(QWidget *grid, int column) {
    const QAbstractItemModel *model = static_cast<DataGrid *>(grid)->model();
    QStringList texts;
    for (int r = 0; r < model->rowCount(); ++r)
        texts << model->data(model->index(r, column)).toString();
    return texts;
}

QStringList AdminTest::items(QWidget *combo) {
    const auto *box = static_cast<QComboBox *>(combo);
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}
