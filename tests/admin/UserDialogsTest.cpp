#include "AdminTest.h"

#include "DataGrid.h"
#include "Forms.h"
#include "MainUnit.h"
#include "Password.h"
#include "Permissions.h"
#include "XtUnit.h"
#include "YhtjUnit.h"
#include "YhxgUnit.h"

#include <QFile>
#include <QTest>
#include <cstring>

namespace {

using Messages::Icon;

class UserDialogs : public AdminTest {
protected:
    TXtForm *xt() const { return forms().xt; }
    TYhtjForm *yhtj() const { return forms().yhtj; }
    TYhxgForm *yhxg() const { return forms().yhxg; }

    // The stored rows of username as "name|permission".
    QStringList users() {
        const QStringList names = column("SELECT 用户名 FROM username");
        const QStringList permissions = column("SELECT 权限 FROM username");
        QStringList rows;
        for (int i = 0; i < names.size(); ++i)
            rows << names[i] + "|" + permissions.value(i);
        return rows;
    }
    QString storedPassword(const QString &name) {
        return column(QStringLiteral("SELECT 密码 FROM username WHERE 用户名 = '%1'").arg(name))
            .value(0);
    }

    // Fills the add-user dialog as the settings window leaves it and presses 添加.
    void addUser(const QString &name, const QString &password, int permission) {
        yhtj()->Edit1->setText(name);
        yhtj()->Edit2->setText(password);
        yhtj()->ComboBox1->setCurrentIndex(permission);
        click(yhtj()->SpeedButton1);
    }

    // Opens the modify-user dialog on a row of the users grid through 修改 and runs
    // `inside` in it; returns whether the dialog stayed open.
    bool modifyUser(int row, const std::function<void()> &inside) {
        xt()->DBGridEh1->selectRow(row);
        return whileModal(
            yhxg(), [&] { click(xt()->SpeedButton2); }, inside);
    }
    bool changePassword(int row, const QString &oldPassword, const QString &newPassword,
                        int permission = -1) {
        return modifyUser(row, [&] {
            yhxg()->Edit2->setText(oldPassword);
            yhxg()->Edit3->setText(newPassword);
            if (permission >= 0)
                yhxg()->ComboBox1->setCurrentIndex(permission);
            click(yhxg()->SpeedButton1);
        });
    }
};

TEST_F(UserDialogs, AddWithEmptyNameIsRefused) {
    addUser("", "pw", 0);
    ASSERT_EQ(boxTexts(), QStringList({"用户名不能为空！"}));
    EXPECT_EQ(boxes[0].icon, Icon::None);
    EXPECT_EQ(users(), QStringList({"admin|管理员"}));
}

TEST_F(UserDialogs, AddedUserIsListedEverywhereAndTheDialogStaysOpenWhenAskedTo) {
    ASSERT_TRUE(logIn("admin", ""));
    TMainForm *main = forms().main;
    bool stayed = whileModal(
        yhtj(), [&] { click(xt()->SpeedButton1); },
        [&] {
            EXPECT_TRUE(yhtj()->CheckBox1->isChecked());
            addUser("张三", "san", 1);
            EXPECT_EQ(boxTexts(), QStringList({"添加用户成功！"}));
            EXPECT_EQ(boxes[0].icon, Icon::None);
            EXPECT_EQ(yhtj()->Edit1->text(), "");
            EXPECT_EQ(yhtj()->Edit2->text(), "");
            EXPECT_EQ(yhtj()->ComboBox1->currentText(), "普通用户");
        });
    EXPECT_TRUE(stayed);
    EXPECT_EQ(users(), QStringList({"admin|管理员", "张三|普通用户"}));
    EXPECT_EQ(gridColumn(xt()->DBGridEh1, 1), QStringList({"admin", "张三"}));
    EXPECT_EQ(items(main->ComboBox6), QStringList({"admin", "张三"}));
    EXPECT_EQ(main->ComboBox6->currentText(), "");

    // Unticked, the dialog closes after the addition.
    stayed = whileModal(
        yhtj(), [&] { click(xt()->SpeedButton1); },
        [&] {
            yhtj()->CheckBox1->setChecked(false);
            addUser("李四", "", 0);
        });
    EXPECT_FALSE(stayed);
    EXPECT_EQ(users(), QStringList({"admin|管理员", "张三|普通用户", "李四|管理员"}));
    EXPECT_FALSE(yhtj()->CheckBox1->isChecked());
    EXPECT_EQ(yhtj()->ComboBox1->currentText(), "管理员");

    // Both log in with their passwords, the empty one included.
    EXPECT_TRUE(logIn("张三", "san"));
    EXPECT_TRUE(logIn("李四", ""));
    clearBoxes();
    EXPECT_FALSE(logIn("张三", "SAN"));
    EXPECT_EQ(boxTexts(), QStringList({"登录软件密码错误！"}));
}

TEST_F(UserDialogs, AddingClearsNameAndPasswordButKeepsPermissionAndTick) {
    yhtj()->Edit1->setText("旧名");
    yhtj()->Edit2->setText("旧密码");
    yhtj()->ComboBox1->setCurrentIndex(1);
    whileModal(
        yhtj(), [&] { click(xt()->SpeedButton1); },
        [&] {
            EXPECT_EQ(yhtj()->Edit1->text(), "");
            EXPECT_EQ(yhtj()->Edit2->text(), "");
            EXPECT_EQ(yhtj()->ComboBox1->currentIndex(), 1);
        });
}

TEST_F(UserDialogs, PasswordsAreStoredOnlyAsSaltedHashes) {
    addUser("张三", "Plain-Secret-1", 1);
    addUser("李四", "Plain-Secret-1", 1);
    reloadSettings();
    changePassword(0, "", "Plain-Secret-2");
    const QString a = storedPassword("张三");
    const QString b = storedPassword("李四");
    const QString admin = storedPassword("admin");
    for (const QString &hash : {a, b, admin}) {
        EXPECT_TRUE(hash.startsWith("$y$")) << hash.toStdString();
        EXPECT_FALSE(hash.contains("Plain-Secret")) << hash.toStdString();
    }
    EXPECT_NE(a, b); // salted
    EXPECT_TRUE(verifyPassword("Plain-Secret-1", a));
    EXPECT_TRUE(verifyPassword("Plain-Secret-2", admin));

    // Nothing in the file holds a typed password, in whatever encoding.
    QFile file(path("data.mdb"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    for (const char *plain : {"Plain-Secret-1", "Plain-Secret-2"}) {
        EXPECT_FALSE(bytes.contains(plain));
        EXPECT_FALSE(bytes.contains(QByteArray::fromRawData(
            reinterpret_cast<const char *>(QString::fromUtf8(plain).utf16()),
            qsizetype(std::strlen(plain) * 2))));
    }
}

TEST_F(UserDialogs, ModifyDialogIsFilledFromTheSelectedUser) {
    addUserRow("张三", "san", "普通用户");
    addUserRow("王五", "wu", "店长");
    reloadSettings();
    yhxg()->Edit2->setText("left over");
    yhxg()->Edit3->setText("left over");
    const struct {
        int row;
        const char *name;
        int entry;
    } cases[] = {{0, "admin", 0}, {1, "张三", 1}, {2, "王五", 1}};
    for (const auto &c : cases) {
        modifyUser(c.row, [&] {
            EXPECT_EQ(yhxg()->Edit1->text(), QString::fromUtf8(c.name));
            EXPECT_TRUE(yhxg()->Edit1->isReadOnly());
            EXPECT_EQ(yhxg()->Edit2->text(), "");
            EXPECT_EQ(yhxg()->Edit3->text(), "");
            EXPECT_EQ(yhxg()->ComboBox1->currentIndex(), c.entry);
            EXPECT_TRUE(yhxg()->ComboBox1->isEnabled());
            EXPECT_EQ(yhxg()->focusWidget(), yhxg()->Edit2);
        });
    }
    EXPECT_EQ(yhxg()->Edit4->text(), "店长");
}

TEST_F(UserDialogs, WrongOldPasswordIsRefusedAndBothBoxesEmptied) {
    addUserRow("张三", "san", "普通用户");
    reloadSettings();
    const QString before = storedPassword("张三");
    for (const char *wrong : {"", "San", "san ", "wu"}) {
        clearBoxes();
        const bool stayed = changePassword(1, QString::fromUtf8(wrong), "new", 0);
        EXPECT_TRUE(stayed) << wrong;
        ASSERT_EQ(boxTexts(), QStringList({"旧密码输入错误！"})) << wrong;
        EXPECT_EQ(boxes[0].icon, Icon::Error);
        EXPECT_EQ(yhxg()->Edit2->text(), "");
        EXPECT_EQ(yhxg()->Edit3->text(), "");
    }
    EXPECT_EQ(storedPassword("张三"), before);
    EXPECT_EQ(users(), QStringList({"admin|管理员", "张三|普通用户"}));
}

TEST_F(UserDialogs, ModifyingChangesPasswordAndPermission) {
    addUserRow("张三", "san", "普通用户");
    reloadSettings();
    // The seed user "admin" has no password: an empty old-password box fits.
    EXPECT_FALSE(changePassword(0, "", "root", 1));
    ASSERT_EQ(boxTexts(), QStringList({"修改用户信息成功！"}));
    EXPECT_EQ(boxes[0].icon, Icon::None);
    EXPECT_EQ(users(), QStringList({"admin|普通用户", "张三|普通用户"}));
    EXPECT_EQ(gridColumn(xt()->DBGridEh1, 2), QStringList({"普通用户", "普通用户"}));
    EXPECT_TRUE(verifyPassword("root", storedPassword("admin")));

    // An empty new password makes the password empty again.
    clearBoxes();
    EXPECT_FALSE(changePassword(1, "san", "", 0));
    EXPECT_EQ(boxTexts(), QStringList({"修改用户信息成功！"}));
    EXPECT_EQ(users(), QStringList({"admin|普通用户", "张三|管理员"}));
    EXPECT_TRUE(logIn("张三", ""));
    // The new permission counts from the next login.
    EXPECT_EQ(forms().main->statusPanel(1), "  用户权限：管理员");
    EXPECT_TRUE(logIn("admin", "root"));
    EXPECT_EQ(forms().main->statusPanel(1), "  用户权限：普通用户");
}

TEST_F(UserDialogs, OrdinaryUserChangesOwnPasswordButNoPermission) {
    addUserRow("张三", "san", "普通用户");
    addUserRow("王五", "wu", "店长");
    restart();
    ASSERT_TRUE(logIn("张三", "san"));
    EXPECT_FALSE(xt()->SpeedButton1->isEnabled());
    EXPECT_FALSE(xt()->SpeedButton3->isEnabled());

    modifyUser(1, [&] { EXPECT_FALSE(yhxg()->ComboBox1->isEnabled()); });
    // Whatever the list shows, the stored permission stays.
    EXPECT_FALSE(changePassword(1, "san", "neu", 0));
    EXPECT_FALSE(changePassword(2, "wu", "wu2", 0));
    EXPECT_EQ(boxTexts(), QStringList({"修改用户信息成功！", "修改用户信息成功！"}));
    EXPECT_EQ(users(), QStringList({"admin|管理员", "张三|普通用户", "王五|店长"}));
    EXPECT_TRUE(logIn("张三", "neu"));

    // After an administrator's login the list is open again.
    restart();
    ASSERT_TRUE(logIn("admin", ""));
    modifyUser(1, [&] { EXPECT_TRUE(yhxg()->ComboBox1->isEnabled()); });
}

TEST_F(UserDialogs, OrdinaryUserSessionIsRestrictedAsTheExplanationSays) {
    addUserRow("张三", "san", "普通用户");
    restart();
    ASSERT_TRUE(logIn("张三", "san"));
    EXPECT_FALSE(xt()->SpeedButton1->isEnabled());
    EXPECT_FALSE(xt()->SpeedButton3->isEnabled());
    EXPECT_TRUE(xt()->SpeedButton2->isEnabled());
    EXPECT_TRUE(xt()->Edit1->isReadOnly());
    EXPECT_TRUE(xt()->Memo1->isReadOnly());
    click(xt()->SpeedButton7);
    EXPECT_EQ(boxTexts(), QStringList({"您没有权限设置打印内容！"}));
    // The goods functions stay open to ordinary users.
    for (QWidget *button : {xt()->SpeedButton4, xt()->SpeedButton5, xt()->SpeedButton6})
        EXPECT_TRUE(button->isEnabled());
}

} // namespace
