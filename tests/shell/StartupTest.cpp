#include "Forms.h"
#include "MainUnit.h"
#include "Startup.h"
#include "TestEnv.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <sqlite3.h>

namespace {

class Startup : public StoreTest {};

TEST_F(Startup, MissingFileShowsTheErrorBoxAndEndsWithStatusOne)
{
    QFile::remove(path("data.mdb"));
    EXPECT_EQ(startProgram(), 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].isError);
    EXPECT_EQ(boxes[0].caption, "岚溪销售小票打印软件 V15.0(标准版)");
    EXPECT_TRUE(boxes[0].text.contains("data.mdb"));
    EXPECT_TRUE(boxes[0].text.endsWith("."));
    EXPECT_EQ(QDir(dir()).entryList(QDir::Files), QStringList{});
    EXPECT_EQ(forms().main, nullptr);
}

TEST_F(Startup, FileWithAnotherKeyShowsTheErrorBoxAndEndsWithStatusOne)
{
    QFile::remove(path("data.mdb"));
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(path("data.mdb").toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_key(db, "wrong", 5);
    sqlite3_exec(db, "CREATE TABLE spxx(x)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    EXPECT_EQ(startProgram(), 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].isError);
    EXPECT_TRUE(boxes[0].text.contains("password"));
}

TEST_F(Startup, MainWindowIsShownBehindTheLoginAndLoginRunsTheLoop)
{
    // Answer the login as a cashier would, then close the main window.
    QTimer::singleShot(0, [] {
        QWidget *login = QApplication::activeModalWidget();
        ASSERT_NE(login, nullptr);
        EXPECT_EQ(login->windowTitle(), "登录软件");
        TMainForm *main = forms().main;
        EXPECT_TRUE(main->isVisible());
        EXPECT_EQ(main->Edit1->text().size(), 14); // a fresh receipt number
        QMetaObject::invokeMethod(login->findChild<QWidget *>("SpeedButton1"), "click");
        QTimer::singleShot(0, [main] { main->close(); });
    });
    EXPECT_EQ(startProgram(), 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(forms().main, nullptr);
}

TEST_F(Startup, GivingUpTheLoginEndsTheProgram)
{
    QTimer::singleShot(0, [] {
        QWidget *login = QApplication::activeModalWidget();
        ASSERT_NE(login, nullptr);
        QMetaObject::invokeMethod(login->findChild<QWidget *>("SpeedButton2"), "click");
    });
    EXPECT_EQ(startProgram(), 0);
}

} // namespace
