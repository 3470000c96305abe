#include "DesktopShortcut.h"
#include "Forms.h"
#include "LoginUnit.h"
#include "MainUnit.h"
#include "Password.h"
#include "Startup.h"
#include "TestEnv.h"
#include "XstjUnit.h"
#include "XtUnit.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTest>

namespace {

class Login : public FormsTest {
protected:
    // Logs in through the login window as a user would; true when it was accepted.
    bool logIn(const QString &user, const QString &password)
    {
        TLoginForm login(forms().main);
        const int index = login.ComboBox1->findText(user);
        EXPECT_GE(index, 0) << user.toStdString();
        login.ComboBox1->setCurrentIndex(index);
        login.Edit1->setText(password);
        QTest::mouseClick(login.SpeedButton1, Qt::LeftButton);
        lastPasswordBox = login.Edit1->text();
        return login.result() == QDialog::Accepted;
    }

    void addUser(const QString &name, const QString &password, const QString &permission)
    {
        sql(QStringLiteral("INSERT INTO username VALUES ('%1', '%2', '%3')")
                .arg(name, hashPassword(password), permission));
    }

    // The nine controls that carry the permission: true where editable/enabled.
    std::vector<bool> permissionStates() const
    {
        const Forms &f = forms();
        return {!f.main->Edit1->isReadOnly(), !f.main->Edit5->isReadOnly(),
                !f.main->Memo1->isReadOnly(), !f.xt->Edit1->isReadOnly(),
                !f.xt->Memo1->isReadOnly(),   f.xt->SpeedButton1->isEnabled(),
                f.xt->SpeedButton3->isEnabled(), f.xstj->SpeedButton4->isEnabled(),
                f.xstj->N6->isEnabled()};
    }

    QString lastPasswordBox;
};

TEST_F(Login, AdminWithEmptyPasswordLogsInAsAdministrator)
{
    ASSERT_TRUE(logIn("admin", ""));
    EXPECT_TRUE(boxes.empty());
    TMainForm *main = forms().main;
    EXPECT_EQ(main->ComboBox6->currentText(), "admin");
    EXPECT_TRUE(main->statusPanel(0).startsWith("  网站："));
    EXPECT_GT(main->statusPanel(0).size(), 6);
    EXPECT_EQ(main->statusPanel(1), "  用户权限：管理员");
    EXPECT_EQ(permissionStates(),
              (std::vector<bool>{true, false, false, true, true, true, true, true, true}));
}

TEST_F(Login, WrongPasswordIsRefusedAndTheBoxEmptied)
{
    addUser("李四", "Secret", "普通用户");
    for (const char *wrong : {"secret", "Secret ", "x", ""}) {
        clearBoxes();
        EXPECT_FALSE(logIn("李四", QString::fromUtf8(wrong))) << wrong;
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "登录软件密码错误！");
        EXPECT_EQ(boxes[0].caption, "提示");
        EXPECT_EQ(boxes[0].icon, Messages::Icon::Error);
        EXPECT_EQ(lastPasswordBox, "");
    }
    EXPECT_TRUE(forms().main->statusPanel(1).isEmpty());
    EXPECT_TRUE(logIn("李四", "Secret"));
}

TEST_F(Login, NameIsMatchedExactlyNotAsSubstring)
{
    // 张三丰 stands before 张三: choosing 张三 checks 张三's own password and permission.
    addUser("张三丰", "feng", "管理员");
    addUser("张三", "san", "普通用户");
    destroyForms();
    createForms();
    EXPECT_FALSE(logIn("张三", "feng"));
    clearBoxes();
    ASSERT_TRUE(logIn("张三", "san"));
    EXPECT_EQ(forms().main->ComboBox6->currentText(), "张三");
    EXPECT_EQ(forms().main->statusPanel(1), "  用户权限：普通用户");
    EXPECT_EQ(permissionStates(),
              (std::vector<bool>{false, false, false, false, false, false, false, false, false}));
}

TEST_F(Login, FirstOfTwoEqualNamesCountsAndUnknownPermissionLeavesAllUsable)
{
    addUser("王五", "one", "店长");
    addUser("王五", "two", "管理员");
    destroyForms();
    createForms();
    TLoginForm login(forms().main);
    EXPECT_EQ(login.ComboBox1->count(), 2); // admin, 王五 once
    EXPECT_FALSE(logIn("王五", "two"));
    ASSERT_TRUE(logIn("王五", "one"));
    EXPECT_EQ(forms().main->statusPanel(1), "  用户权限：店长");
    EXPECT_EQ(permissionStates(),
              (std::vector<bool>{true, true, true, true, true, true, true, true, true}));
}

TEST_F(Login, EmptyUserTableLogsInWithEmptyPassword)
{
    sql("DELETE FROM username");
    TLoginForm login(forms().main);
    EXPECT_EQ(login.ComboBox1->count(), 0);
    QTest::mouseClick(login.SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(login.result(), QDialog::Accepted);
    EXPECT_EQ(forms().main->statusPanel(1), "  用户权限：");
}

TEST_F(Login, LeftoverSaleLinesAreGoneOnceTheLoginWindowIsUp)
{
    tillSql("INSERT INTO xsxx (品名, 单价) VALUES ('茶', 1), ('水', 2)");
    destroyForms();
    createForms();
    {
        TLoginForm login(forms().main);
        EXPECT_EQ(tillColumn("SELECT count(*) FROM xsxx"), QStringList{"0"});
        QTest::mouseClick(login.SpeedButton2, Qt::LeftButton); // 关闭: given up
        EXPECT_EQ(login.result(), QDialog::Rejected);
    }
    EXPECT_EQ(tillColumn("SELECT count(*) FROM xsxx"), QStringList{"0"});
    EXPECT_EQ(forms().main->ADOQuery2.recordCount(), 0);
}

TEST_F(Login, WindowFirstUserSelectedAndPasswordFocused)
{
    TLoginForm login(forms().main);
    EXPECT_EQ(login.windowTitle(), "登录软件");
    EXPECT_EQ(login.size(), QSize(346, 265));
    EXPECT_EQ(login.ComboBox1->currentText(), "admin");
    EXPECT_FALSE(login.ComboBox1->isEditable());
    EXPECT_EQ(login.Edit1->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(login.Edit2->isVisible());
    login.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(login.Edit1->hasFocus() || QApplication::focusWidget() == nullptr);
}

TEST_F(Login, DesktopShortcutStartsTheProgramInItsDirectory)
{
    QFile::remove(desktopShortcutPath());
    TLoginForm login(forms().main);
    const QString file = desktopShortcutPath();
    ASSERT_TRUE(QFile::exists(file)) << file.toStdString();
    EXPECT_TRUE(file.endsWith("/岚溪销售小票打印软件(标准版).desktop"));
    QSettings entry(file, QSettings::IniFormat);
    entry.beginGroup("Desktop Entry");
    EXPECT_EQ(entry.value("Type").toString(), "Application");
    EXPECT_EQ(entry.value("Path").toString(), QCoreApplication::applicationDirPath());
    EXPECT_TRUE(entry.value("Exec").toString().contains(QCoreApplication::applicationFilePath()));
    // Written again at every start.
    QFile::remove(file);
    TLoginForm again(forms().main);
    EXPECT_TRUE(QFile::exists(file));
}

} // namespace
