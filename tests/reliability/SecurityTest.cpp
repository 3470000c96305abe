// What an attacker with the file in hand finds: no password, goods name or shop name
// in plain bytes of data.mdb or its write-ahead log (both are encrypted), and
// passwords only as salted hashes.
#include "Forms.h"
#include "MainUnit.h"
#include "Password.h"
#include "Report.h"
#include "SptjUnit.h"
#include "TestEnv.h"
#include "XtUnit.h"
#include "YhtjUnit.h"

#include <QFile>
#include <QTest>

namespace {

class Security : public FormsTest {};

QByteArray bytesOf(const QString &file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace

TEST_F(Security, FileAndLogHoldNoSecretOrNameInPlainBytes) {
    Report::setPrintSink([](Report::BandedReport &) {});
    const QString password = QStringLiteral("Geheim-密码-4711");
    const QString goods = QStringLiteral("Unverwechselbar-独特商品");
    const QString shop = QStringLiteral("Ladenname-独特小店");

    TYhtjForm *users = forms().yhtj;
    users->Edit1->setText(QStringLiteral("clerk"));
    users->Edit2->setText(password);
    users->SpeedButton1->click();
    TSptjForm *goodsDialog = forms().sptj;
    goodsDialog->Edit1->setText(goods);
    goodsDialog->Edit2->setText(QStringLiteral("9.5"));
    goodsDialog->SpeedButton1->click();
    forms().xt->Edit1->setText(shop);
    forms().xt->SpeedButton7->click();
    TMainForm *main = forms().main;
    main->show();
    main->ComboBox1->setEditText(goods);
    main->Edit3->setText(QStringLiteral("9.5"));
    main->Edit4->setText(QStringLiteral("1"));
    main->ComboBox2->setEditText(QStringLiteral("10"));
    QTest::keyClick(main->Edit4, Qt::Key_End);
    main->SpeedButton2->click();
    main->ComboBox6->setEditText(QStringLiteral("clerk"));
    main->SpeedButton6->click();
    Report::setPrintSink({});
    for (const Messages::Box &b : boxes)
        ASSERT_FALSE(b.isError) << b.text.toStdString();

    // Read while the program still has the file open: the log holds the writes.
    const QString file = path(QStringLiteral("data.mdb"));
    ASSERT_TRUE(QFile::exists(file + QStringLiteral("-wal")));
    for (const QString &name :
         {file, file + QStringLiteral("-wal"), file + QStringLiteral("-shm")}) {
        const QByteArray bytes = bytesOf(name);
        for (const QString &secret : {password, goods, shop}) {
            for (const QByteArray &form :
                 {secret.toUtf8(), secret.left(9).toUtf8(),
                  QByteArray(reinterpret_cast<const char *>(secret.utf16()), secret.size() * 2)})
                EXPECT_FALSE(bytes.contains(form))
                    << name.toStdString() << " holds " << secret.toStdString();
        }
    }

    // The stored password is a salted hash of it, never the password.
    const QStringList stored =
        column(QStringLiteral("SELECT 密码 FROM username WHERE 用户名 = 'clerk'"));
    ASSERT_EQ(stored.size(), 1);
    EXPECT_FALSE(stored[0].contains(password));
    EXPECT_TRUE(verifyPassword(password, stored[0]));
    EXPECT_NE(hashPassword(password), stored[0]) << "the hash is not salted";
}
