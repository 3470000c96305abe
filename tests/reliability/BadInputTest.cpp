// Hostile text pasted into every box a user can type into: each is either stored and
// read back exactly as the box holds it, or refused with a message; either way no
// other row changes and the file stays consistent. The query boxes match their text
// literally: a receipt is listed exactly when its field contains the text.
#include "Forms.h"
#include "MainUnit.h"
#include "Numbers.h"
#include "Password.h"
#include "Report.h"
#include "Snapshot.h"
#include "TestEnv.h"
#include "XscxUnit.h"
#include "XstjUnit.h"
#include "XtUnit.h"
#include "YhtjUnit.h"
#include "YhxgUnit.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <functional>

using namespace Reliability;

namespace {

struct Hostile {
    const char *name;
    // The text, given the width of the column the box is stored in (0: none).
    std::function<QString(int width)> text;
};

QString repeated(const QString &unit, int times) {
    return unit.repeated(times);
}

const Hostile hostiles[] = {
    // Every character that quoting, escaping or a LIKE pattern could trip over. The
    // query boxes take them one at a time as well (see cases()).
    {"Punctuation",
     [](int) {
         return QStringLiteral("他说\"好\" 'x' C:\\路径\\ 100% a_b '); drop table xstj; --");
     }},
    {"Quotes", [](int) { return QStringLiteral("他说\"好\"和'行'"); }},
    {"SingleQuote", [](int) { return QStringLiteral("'"); }},
    {"Backslash", [](int) { return QStringLiteral("C:\\路径\\"); }},
    {"Percent", [](int) { return QStringLiteral("100%"); }},
    {"Underscore", [](int) { return QStringLiteral("a_b"); }},
    {"Injection", [](int) { return QStringLiteral("'); drop table xstj; --"); }},
    {"ExactWidth", [](int w) { return repeated(QStringLiteral("汉"), w ? w : 255); }},
    {"OneOverWidth", [](int w) { return repeated(QStringLiteral("汉"), (w ? w : 255) + 1); }},
    {"TenThousand", [](int) { return repeated(QStringLiteral("长"), 10000); }},
    {"OutsideBmp", [](int) { return QStringLiteral("𠀀𝄞😀"); }},
    {"ControlCharacters", [](int) { return QStringLiteral("a\u0001b\u0007c\u001bd\u007f"); }},
    {"RightToLeftMarks", [](int) { return QStringLiteral("\u202E右到左\u200Fabc\u200E"); }},
    {"NotANumber", [](int) { return QStringLiteral("abc"); }},
    {"FullWidthDigits", [](int) { return QStringLiteral("１２"); }},
    {"Exponent", [](int) { return QStringLiteral("1e999"); }},
};

class BadInput;

struct Box {
    const char *name;
    int width; // of the column the box is stored in; 0 for none
    // Makes ready (before the snapshot) and returns the box.
    std::function<QWidget *(BadInput &)> box;
    // Does what stores the box.
    std::function<void(BadInput &)> act;
    // Whether what the box holds (`held`) is what the file now holds.
    std::function<bool(BadInput &, const QString &held)> storedExactly;
};

class BadInput : public FormsTest, public ::testing::WithParamInterface<std::tuple<Box, Hostile>> {
public:
    void SetUp() override {
        FormsTest::SetUp();
        Report::setPrintSink([](Report::BandedReport &) {});
        main = forms().main;
        main->show();
    }
    void TearDown() override {
        Report::setPrintSink({});
        FormsTest::TearDown();
    }

    QString file() { return path(QStringLiteral("data.mdb")); }

    void addLine(const QString &name, const QString &price, const QString &quantity,
                 const QString &discount = QStringLiteral("10")) {
        main->ComboBox1->setEditText(name);
        main->Edit3->setText(price);
        main->Edit4->setText(quantity);
        main->ComboBox2->setEditText(discount);
        QTest::keyClick(main->Edit4, Qt::Key_End);
        main->SpeedButton2->click();
    }
    // The entry line filled except for one box, which the pasted text fills.
    void entryLine() {
        main->ComboBox1->setEditText(QStringLiteral("苹果"));
        main->Edit3->setText(QStringLiteral("2"));
        main->Edit4->setText(QStringLiteral("1"));
        main->ComboBox2->setEditText(QStringLiteral("10"));
    }
    bool lastLineHolds(const QString &column, const QString &held) {
        return tillColumn_(
                   QStringLiteral("SELECT %1 FROM xsxx ORDER BY ID DESC LIMIT 1").arg(column)) ==
               QStringList{held};
    }
    bool lastReceiptHolds(const QString &table, const QString &column, const QString &held) {
        return column_(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid DESC LIMIT 1")
                           .arg(column, table)) == QStringList{held};
    }
    // A sale of one line, ready to print, with the customer and phone switches on.
    void saleReady() {
        addLine(QStringLiteral("苹果"), QStringLiteral("2"), QStringLiteral("1"));
        main->CheckBox2->setChecked(true);
        main->CheckBox3->setChecked(true);
        main->ComboBox6->setEditText(QStringLiteral("张三"));
        clearBoxes();
    }
    QStringList column_(const QString &query) { return column(query); }
    QStringList tillColumn_(const QString &query) { return tillColumn(query); }
    void sql_(const QString &statement) { sql(statement); }

    TMainForm *main = nullptr;
};

// Pastes as a user does: select everything in the box, then Shift+Insert.
void paste(QWidget *box, const QString &text) {
    QApplication::clipboard()->setText(text);
    QWidget *target = box;
    if (auto *combo = qobject_cast<QComboBox *>(box))
        target = combo->lineEdit();
    if (auto *line = qobject_cast<QLineEdit *>(target))
        line->selectAll();
    if (auto *plain = qobject_cast<QPlainTextEdit *>(target))
        plain->selectAll();
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Insert, Qt::ShiftModifier);
}

QString held(QWidget *box) {
    if (auto *combo = qobject_cast<QComboBox *>(box))
        return combo->currentText();
    if (auto *line = qobject_cast<QLineEdit *>(box))
        return line->text();
    if (auto *plain = qobject_cast<QPlainTextEdit *>(box))
        return plain->toPlainText();
    return {};
}

// Boxes of the entry line: the line is added.
using Getter = QWidget *(*)(TMainForm *);

// Whether a stored number is the number the box's text reads as.
bool sameNumber(const QStringList &stored, const QString &held) {
    if (stored.size() != 1)
        return false;
    try {
        return stored[0].toDouble() == double(readNumber(held));
    } catch (const ConversionError &) {
        return false;
    }
}

Box entryBox(const char *name, int width, Getter get, const char *column) {
    return {name, width,
            [get](BadInput &t) {
                t.entryLine();
                return get(t.main);
            },
            [](BadInput &t) { t.main->SpeedButton2->click(); },
            [column, width](BadInput &t, const QString &h) {
                if (width > 0)
                    return t.lastLineHolds(QString::fromUtf8(column), h);
                return sameNumber(
                    t.tillColumn_(
                        QStringLiteral("SELECT %1 FROM xsxx ORDER BY ID DESC LIMIT 1").arg(column)),
                    h);
            }};
}

// Boxes recorded with a sale: the sale is printed.
Box saleBox(const char *name, int width, Getter get, const char *table, const char *column) {
    return {name, width,
            [get](BadInput &t) {
                t.saleReady();
                return get(t.main);
            },
            [](BadInput &t) { t.main->SpeedButton6->click(); },
            [table, column](BadInput &t, const QString &h) {
                return t.lastReceiptHolds(QString::fromUtf8(table), QString::fromUtf8(column), h);
            }};
}

std::vector<Box> boxes() {
    std::vector<Box> all = {
        entryBox(
            "GoodsName", 255, [](TMainForm *m) -> QWidget * { return m->ComboBox1; }, "品名"),
        entryBox(
            "Price", 0, [](TMainForm *m) -> QWidget * { return m->Edit3; }, "单价"),
        entryBox(
            "Quantity", 0, [](TMainForm *m) -> QWidget * { return m->Edit4; }, "数量"),
        // The discount is not stored: the key release computes the line's amounts from
        // it, and a text that is no number is refused there.
        {"Discount", 0,
         [](BadInput &t) {
             t.entryLine();
             return static_cast<QWidget *>(t.main->ComboBox2);
         },
         [](BadInput &) {}, [](BadInput &, const QString &) { return true; }},
        saleBox(
            "Customer", 255, [](TMainForm *m) -> QWidget * { return m->Edit9; }, "xsmx", "客户"),
        saleBox(
            "Phone", 255, [](TMainForm *m) -> QWidget * { return m->Edit10; }, "xsmx", "电话"),
        saleBox(
            "Cashier", 255, [](TMainForm *m) -> QWidget * { return m->ComboBox6; }, "xstj",
            "收银员"),
        saleBox(
            "ReceiptNumber", 50, [](TMainForm *m) -> QWidget * { return m->Edit1; }, "xstj",
            "单号"),
        saleBox(
            "Time", 50, [](TMainForm *m) -> QWidget * { return m->Edit2; }, "xstj", "时间"),
        {"Paid", 0,
         [](BadInput &t) {
             t.saleReady();
             return static_cast<QWidget *>(t.main->ComboBox4);
         },
         [](BadInput &) {},
         // Paid is never stored: only the change shown follows it.
         [](BadInput &, const QString &) { return true; }},
        {"UserName", 255,
         [](BadInput &) {
             forms().yhtj->Edit2->setText(QStringLiteral("pw"));
             return static_cast<QWidget *>(forms().yhtj->Edit1);
         },
         [](BadInput &) { forms().yhtj->SpeedButton1->click(); },
         [](BadInput &t, const QString &h) {
             return t.column_(QStringLiteral("SELECT 用户名 FROM username ORDER BY rowid DESC "
                                             "LIMIT 1")) == QStringList{h};
         }},
        {"NewUserPassword", 0,
         [](BadInput &) {
             forms().yhtj->Edit1->setText(QStringLiteral("新用户"));
             return static_cast<QWidget *>(forms().yhtj->Edit2);
         },
         [](BadInput &) { forms().yhtj->SpeedButton1->click(); },
         [](BadInput &t, const QString &h) {
             const QStringList hash =
                 t.column_(QStringLiteral("SELECT 密码 FROM username WHERE 用户名 = '新用户'"));
             return hash.size() == 1 && verifyPassword(h, hash[0]);
         }},
        {"ChangedPassword", 0,
         [](BadInput &) {
             TYhxgForm *d = forms().yhxg;
             forms().xt->ADOQuery1.first(); // admin, empty password
             d->Edit1->setText(QStringLiteral("admin"));
             d->Edit2->clear();
             d->Edit4->setText(QStringLiteral("管理员"));
             d->ComboBox1->setCurrentIndex(0);
             return static_cast<QWidget *>(d->Edit3);
         },
         [](BadInput &) { forms().yhxg->SpeedButton1->click(); },
         [](BadInput &t, const QString &h) {
             const QStringList hash =
                 t.column_(QStringLiteral("SELECT 密码 FROM username WHERE 用户名 = 'admin'"));
             return hash.size() == 1 && verifyPassword(h, hash[0]);
         }},
        {"ShopName", 255, [](BadInput &) { return static_cast<QWidget *>(forms().xt->Edit1); },
         [](BadInput &) { forms().xt->SpeedButton7->click(); },
         [](BadInput &t, const QString &h) {
             return t.column_(QStringLiteral("SELECT 店名 FROM dynr")) == QStringList{h};
         }},
        {"Remarks", 255, [](BadInput &) { return static_cast<QWidget *>(forms().xt->Memo1); },
         [](BadInput &) { forms().xt->SpeedButton7->click(); },
         [](BadInput &t, const QString &h) {
             QString stored = t.column_(QStringLiteral("SELECT 备注 FROM dynr")).value(0);
             stored.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
             return stored == h;
         }},
    };
    // The two query boxes of the sales records: nothing is stored; the list shows
    // exactly the receipts whose field contains the text.
    for (const auto &[name, member, field] :
         {std::tuple{"QueryNumber", &TXscxForm::ComboBox1, "单号"},
          std::tuple{"QueryCashier", &TXscxForm::ComboBox2, "收银员"}}) {
        const QString column = QString::fromUtf8(field);
        all.push_back(
            {name, 0,
             [member, column](BadInput &t) {
                 t.sql_(QStringLiteral(
                     "INSERT INTO xstj (单号, 时间, 数量, 金额, 折后, 收银员) VALUES "
                     "('20240101000001', 't', 1, 1, 1, '张三'), ('X%_1', 't', 1, 1, 1, '%'), "
                     "('a''b', 't', 1, 1, 1, '_x'), ('C:\\路径\\', 't', 1, 1, 1, '''); drop "
                     "table xstj; --')"));
                 t.sql_(QStringLiteral(
                     "INSERT INTO xsmx (单号, 数量, 金额, 折后) SELECT 单号, 1, 1, 1 "
                     "FROM xstj"));
                 forms().xstj->SpeedButton3->click();
                 TXscxForm *q = forms().xscx;
                 q->ComboBox1->setEditText(QString());
                 q->ComboBox2->setEditText(QString());
                 return static_cast<QWidget *>(q->*member);
             },
             [](BadInput &) { forms().xscx->SpeedButton1->click(); },
             [column](BadInput &t, const QString &h) {
                 Query &list = forms().xstj->ADOQuery1;
                 QStringList listed;
                 for (int r = 0; r < list.recordCount(); ++r)
                     listed << list.text(r, list.fieldIndex(column));
                 QStringList expected;
                 for (const QString &v :
                      t.column_(QStringLiteral("SELECT %1 FROM xstj ORDER BY rowid").arg(column)))
                     if (h.isEmpty() || v.contains(h))
                         expected << v;
                 if (h.isEmpty())
                     return true; // refused: nothing to look for
                 return listed == expected;
             }});
    }
    return all;
}

void PrintTo(const std::tuple<Box, Hostile> &p, std::ostream *os) {
    *os << std::get<0>(p).name << "/" << std::get<1>(p).name;
}

} // namespace

TEST_P(BadInput, IsStoredExactlyOrRefusedAndNothingElseChanges) {
    const Box &box = std::get<0>(GetParam());
    const Hostile &hostile = std::get<1>(GetParam());
    QWidget *w = box.box(*this);
    ASSERT_TRUE(w);
    const Snapshot before = snapshot(file());
    clearBoxes();

    paste(w, hostile.text(box.width));
    const QString holds = held(w);
    box.act(*this);

    const Snapshot after = snapshot(file());
    EXPECT_EQ(integrity(file()), "ok");
    EXPECT_EQ(incompleteReceipts(file()), QStringList());
    bool refused = false;
    for (const Messages::Box &b : boxes) {
        // A box that does not say "succeeded" refuses.
        if (!b.text.contains(QStringLiteral("成功"))) {
            refused = true;
            EXPECT_FALSE(b.text.trimmed().isEmpty());
        }
    }
    if (refused) {
        EXPECT_EQ(after, before) << "refused with " << boxTexts().join(' ').toStdString()
                                 << " but the file changed";
    } else {
        EXPECT_TRUE(box.storedExactly(*this, holds))
            << "the box holds " << holds.left(80).toStdString() << " (" << holds.size()
            << " UTF-16 units), not what the file holds";
        // Only the tables the box is stored in changed.
        int changedTables = 0;
        for (auto it = before.constBegin(); it != before.constEnd(); ++it)
            changedTables += after.value(it.key()) != it.value() ? 1 : 0;
        EXPECT_LE(changedTables, 3) << "boxes: " << boxTexts().join(' ').toStdString();
    }
    // The program keeps going: the main window still adds a line.
    const int lines = tillColumn(QStringLiteral("SELECT count(*) FROM xsxx")).value(0).toInt();
    clearBoxes();
    main->Edit1->setText(QStringLiteral("20260101000000"));
    main->Edit2->setText(QStringLiteral("2026-01-01 00:00:00"));
    addLine(QStringLiteral("之后"), QStringLiteral("1"), QStringLiteral("1"));
    EXPECT_EQ(tillColumn(QStringLiteral("SELECT count(*) FROM xsxx")).value(0).toInt(), lines + 1)
        << boxTexts().join(' ').toStdString();
}

// Text boxes take every text but the number ones; number boxes every text and the
// number ones, but no width; the query boxes also each special character alone.
std::vector<std::tuple<Box, Hostile>> cases() {
    const QStringList numberBoxes = {"Price", "Quantity", "Discount", "Paid"};
    const QStringList numberTexts = {"NotANumber", "FullWidthDigits", "Exponent"};
    const QStringList singles = {"Quotes",  "SingleQuote", "Backslash",
                                 "Percent", "Underscore",  "Injection"};
    const QStringList widths = {"ExactWidth", "OneOverWidth"};
    std::vector<std::tuple<Box, Hostile>> all;
    for (const Box &b : boxes()) {
        const QString box = QString::fromUtf8(b.name);
        const bool number = numberBoxes.contains(box);
        const bool query = box.startsWith(QLatin1String("Query"));
        for (const Hostile &h : hostiles) {
            const QString text = QString::fromUtf8(h.name);
            if (!number && numberTexts.contains(text))
                continue;
            if ((number || query) && widths.contains(text))
                continue;
            if (!query && singles.contains(text))
                continue;
            all.emplace_back(b, h);
        }
    }
    return all;
}

INSTANTIATE_TEST_SUITE_P(EveryBox, BadInput, ::testing::ValuesIn(cases()), [](const auto &info) {
    return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
});
