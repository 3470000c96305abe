// An ordinary user ("普通用户") tries every way a user has to an administrator's
// action: the buttons by mouse and keyboard, the pop-up menu, double clicks, keys on
// the grids, typing and pasting into the boxes that carry the permission, hot keys,
// and windows opened again or left open. None of them adds or deletes a user,
// changes a permission, the print content or the receipt number, or deletes a
// receipt.
#include "Forms.h"
#include "LoginUnit.h"
#include "MainUnit.h"
#include "Password.h"
#include "Snapshot.h"
#include "SptjUnit.h"
#include "XsmxUnit.h"
#include "XstjUnit.h"
#include "XtUnit.h"
#include "YhtjUnit.h"
#include "YhxgUnit.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace Reliability;

namespace {

class PermissionPaths : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        sql(QStringLiteral("INSERT INTO username VALUES ('张三', '%1', '普通用户'), "
                           "('李四', '%2', '普通用户')")
                .arg(hashPassword(QStringLiteral("san")), hashPassword(QStringLiteral("si"))));
        sql(QStringLiteral("UPDATE dynr SET 店名 = '老店', 备注 = '谢谢惠顾'"));
        for (int i = 0; i < 9; ++i) {
            const QString number = QStringLiteral("2030010108000%1").arg(i);
            sql(QStringLiteral("INSERT INTO xstj VALUES ('%1', '2030-01-01 08:00:0%2', 1, 5, 5, "
                               "'admin')")
                    .arg(number)
                    .arg(i));
            sql(QStringLiteral("INSERT INTO xsmx VALUES ('%1', '2030-01-01 08:00:0%2', '', '', "
                               "'茶', 5, 1, 5, 5)")
                    .arg(number)
                    .arg(i));
        }
        // The rows written behind the program's back: the settings window reads them.
        forms().xt->reconnectData();
        main = forms().main;
        main->show();
        TLoginForm login(main);
        login.ComboBox1->setCurrentIndex(login.ComboBox1->findText(QStringLiteral("张三")));
        login.Edit1->setText(QStringLiteral("san"));
        QTest::mouseClick(login.SpeedButton1, Qt::LeftButton);
        ASSERT_EQ(login.result(), QDialog::Accepted);

        // Windows an administrator's action would open are closed again at once, and
        // noted.
        closer.setInterval(10);
        QObject::connect(&closer, &QTimer::timeout, [this] {
            QWidget *w = QApplication::activeModalWidget();
            if (w == forms().yhtj || w == forms().xsmx) {
                opened << w->metaObject()->className();
                w->close();
            }
        });
        closer.start();
    }

    // Clicks `opener`, which shows a modal window; `inside` runs while it is up, then
    // it is closed when still open.
    void insideModal(QAbstractButton *opener, const std::function<void(QWidget *)> &inside) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            ran = true;
            QWidget *w = QApplication::activeModalWidget();
            ASSERT_NE(w, nullptr) << "no window opened";
            inside(w);
            if (w->isVisible())
                w->close();
        });
        QTest::mouseClick(opener, Qt::LeftButton);
        if (!ran)
            QCoreApplication::processEvents();
    }

    static void pasteInto(QWidget *box, const QString &text) {
        QApplication::clipboard()->setText(text);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    }
    static void typeInto(QWidget *box, const QString &text) {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_End);
        for (const QChar ch : text) {
            if (ch.unicode() < 128)
                QTest::keyClick(box, ch.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(ch),
                                    Qt::NoModifier);
        }
    }
    static void clickRow(QTableView *grid, int row, bool twice = false) {
        const QRect r = grid->visualRect(grid->model()->index(row, 1));
        if (twice)
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, r.center());
        else
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
    }
    // The row of a settings list whose `field` is `text`.
    static int rowOf(Query &q, const QString &field, const QString &text) {
        for (int r = 0; r < q.recordCount(); ++r) {
            if (q.text(r, q.fieldIndex(field)) == text)
                return r;
        }
        ADD_FAILURE() << "no row " << text.toStdString();
        return -1;
    }

    // What an administrator's action would change.
    QStringList guarded() {
        QStringList all;
        for (const char *q : {"SELECT 用户名 || '|' || 权限 FROM username ORDER BY rowid",
                              "SELECT 店名 || '|' || 备注 FROM dynr", "SELECT count(*) FROM xstj",
                              "SELECT count(*) FROM xsmx"})
            all << column(QString::fromUtf8(q));
        all << main->Edit1->text() << main->Edit5->text() << main->Memo1->toPlainText()
            << forms().xt->Edit1->text() << forms().xt->Memo1->toPlainText();
        return all;
    }

    TMainForm *main = nullptr;
    QTimer closer;
    QStringList opened;
};

} // namespace

TEST_F(PermissionPaths, OrdinaryUserReachesNoAdministratorAction) {
    TXtForm *xt = forms().xt;
    TXstjForm *xstj = forms().xstj;
    const QString hostile = QStringLiteral("被改了'); drop table xstj; --");

    // Each path, and where it is taken: the settings window (设置), the statistics
    // window (统计) or the main window.
    enum Where { Settings, Statistics, Main };
    const std::vector<std::tuple<const char *, Where, std::function<void()>>> paths = {
        {"add user: button clicked", Settings,
         [&] { QTest::mouseClick(xt->SpeedButton1, Qt::LeftButton); }},
        {"add user: Return and Space on the window", Settings,
         [&] {
             for (QWidget *w :
                  {static_cast<QWidget *>(xt), static_cast<QWidget *>(xt->DBGridEh1)}) {
                 QTest::keyClick(w, Qt::Key_Return);
                 QTest::keyClick(w, Qt::Key_Space);
             }
         }},
        {"delete user: button clicked", Settings,
         [&] {
             clickRow(xt->DBGridEh1,
                      rowOf(xt->ADOQuery1, QStringLiteral("用户名"), QStringLiteral("李四")));
             QTest::mouseClick(xt->SpeedButton3, Qt::LeftButton);
         }},
        {"delete user: Delete key on the users list", Settings,
         [&] {
             clickRow(xt->DBGridEh1,
                      rowOf(xt->ADOQuery1, QStringLiteral("用户名"), QStringLiteral("李四")));
             QTest::keyClick(xt->DBGridEh1, Qt::Key_Delete);
         }},
        {"own permission: double click, then keys and wheel on the permission list", Settings,
         [&] {
             forms().xt->ADOQuery1.moveTo(
                 rowOf(xt->ADOQuery1, QStringLiteral("用户名"), QStringLiteral("张三")));
             TYhxgForm *d = forms().yhxg;
             QTimer::singleShot(0, [d] {
                 ASSERT_TRUE(d->isVisible()) << "the double click opened no modify dialog";
                 for (Qt::Key k : {Qt::Key_Up, Qt::Key_Home, Qt::Key_PageUp})
                     QTest::keyClick(d->ComboBox1, k);
                 QWheelEvent wheel(QPointF(5, 5), d->ComboBox1->mapToGlobal(QPointF(5, 5)),
                                   QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                                   Qt::NoScrollPhase, false);
                 QApplication::sendEvent(d->ComboBox1, &wheel);
                 d->Edit2->setText(QStringLiteral("san"));
                 d->Edit3->setText(QStringLiteral("san"));
                 QTest::mouseClick(d->SpeedButton1, Qt::LeftButton);
                 if (d->isVisible())
                     d->close();
             });
             clickRow(xt->DBGridEh1,
                      rowOf(xt->ADOQuery1, QStringLiteral("用户名"), QStringLiteral("张三")), true);
         }},
        {"print content: typed, then saved", Settings,
         [&] {
             typeInto(xt->Edit1, hostile);
             typeInto(xt->Memo1, hostile);
             QTest::mouseClick(xt->SpeedButton7, Qt::LeftButton);
         }},
        {"print content: pasted, then saved", Settings,
         [&] {
             pasteInto(xt->Edit1, hostile);
             pasteInto(xt->Memo1, hostile);
             QTest::mouseClick(xt->SpeedButton7, Qt::LeftButton);
         }},
        {"goods dialog left open, add user from it", Settings,
         [&] {
             QTest::mouseClick(xt->SpeedButton4, Qt::LeftButton); // not modal: stays open
             QTest::keyClick(forms().sptj, Qt::Key_Escape);
             QTest::mouseClick(xt->SpeedButton1, Qt::LeftButton);
         }},
        {"delete receipt: button clicked", Statistics,
         [&] {
             QTest::mouseClick(xstj->SpeedButton3, Qt::LeftButton); // 刷新
             clickRow(xstj->DBGridEh1, 0);
             QTest::mouseClick(xstj->SpeedButton4, Qt::LeftButton);
         }},
        {"delete receipt: pop-up menu", Statistics,
         [&] {
             QTest::mouseClick(xstj->SpeedButton3, Qt::LeftButton);
             clickRow(xstj->DBGridEh1, 0);
             const QRect r = xstj->DBGridEh1->visualRect(xstj->DBGridEh1->model()->index(0, 1));
             emit xstj->DBGridEh1->customContextMenuRequested(r.center());
             QMenu *menu = xstj->suiPopupMenu1;
             QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(xstj->N6).center());
             menu->close();
         }},
        {"delete receipt: Delete key, double click, F5", Statistics,
         [&] {
             QTest::mouseClick(xstj->SpeedButton3, Qt::LeftButton);
             clickRow(xstj->DBGridEh1, 0);
             QTest::keyClick(xstj->DBGridEh1, Qt::Key_Delete);
             clickRow(xstj->DBGridEh1, 0, true); // the receipt's lines, closed again
             QTest::keyClick(xstj->DBGridEh1, Qt::Key_F5);
         }},
        {"receipt number, shop name, remarks: typed and pasted", Main,
         [&] {
             for (QWidget *box :
                  {static_cast<QWidget *>(main->Edit1), static_cast<QWidget *>(main->Edit5),
                   static_cast<QWidget *>(main->Memo1)}) {
                 typeInto(box, hostile);
                 pasteInto(box, hostile);
             }
         }},
    };

    int tries = 0, survived = 0;
    // Every path twice: the second time in windows opened again (the permission must
    // outlive a reconnect and a second showing).
    for (int round = 0; round < 2; ++round) {
        for (const auto &[name, where, path] : paths) {
            SCOPED_TRACE(std::string(name) + (round ? " (opened again)" : ""));
            const QStringList before = guarded();
            opened.clear();
            clearBoxes();
            switch (where) {
            case Settings:
                insideModal(main->SpeedButton1, [&](QWidget *) { path(); });
                break;
            case Statistics:
                insideModal(main->SpeedButton7, [&](QWidget *) { path(); });
                break;
            case Main:
                path();
                break;
            }
            ++tries;
            const QStringList after = guarded();
            QStringList asked;
            for (const QString &text : boxTexts()) {
                if (text.contains(QStringLiteral("删除")))
                    asked << text;
            }
            EXPECT_EQ(after, before);
            EXPECT_EQ(opened.filter(QStringLiteral("Yhtj")), QStringList()) << "add-user dialog";
            EXPECT_EQ(asked, QStringList()) << "a delete was offered";
            if (after == before && opened.filter(QStringLiteral("Yhtj")).isEmpty() &&
                asked.isEmpty())
                ++survived;
        }
    }
    forms().sptj->close();
    EXPECT_EQ(column(QStringLiteral("SELECT 权限 FROM username WHERE 用户名 = '张三'")),
              QStringList{QStringLiteral("普通用户")});
    reportRow(QStringLiteral("ordinary user tries administrator actions by every path"), tries,
              survived, 0);
}
