// Number key filter, key-release hook and type-ahead drop-down lists.
#include "KeyFilters.h"
#include "TestEnv.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <utility>

namespace {

// The discount list of the entry line: "10", then "9.9" down to "0.1".
QStringList discountItems() {
    QStringList items{QStringLiteral("10")};
    for (int tenths = 99; tenths >= 1; --tenths)
        items << QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
    return items;
}

int discountIndex(const QString &item) {
    return int(discountItems().indexOf(item));
}

} // namespace

// ---------------------------------------------------------------------------
// numberKeyPasses

TEST(NumberKeyPasses, DigitsPointAndBackspaceOnly) {
    struct Case {
        char16_t typed;
        const char *reference;
        bool passes;
    };
    const Case cases[] = {
        {u'0', "", true},       {u'5', "", true},     {u'9', "1.5", true},
        {8, "", true},          {8, "1.5", true},     {u'.', "", true},
        {u'.', "12", true},     {u'.', "1.5", false}, {u'.', ".", false},
        {u'.', "可乐.", false}, {u'a', "", false},    {u'Z', "", false},
        {u'-', "", false},      {u'+', "", false},    {u' ', "", false},
        {u',', "", false},      {u'e', "", false},    {13, "", false},
        {27, "", false},        {3, "", false},       {22, "", false},
        {24, "", false},        {26, "", false},      {9, "", false},
        {0, "", false},         {127, "", false},     {u'\uFF18', "", false}, // full-width 8
        {u'\u0663', "", false},                                               // Arabic-Indic 3
        {u'\u00B2', "", false},                                               // superscript 2
        {u'一', "", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(numberKeyPasses(QChar(c.typed), QString::fromUtf8(c.reference)), c.passes)
            << "code " << int(c.typed) << " reference \"" << c.reference << '"';
}

TEST(NumberKeyPasses, KeyEvents) {
    struct Case {
        const char *name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QString text;
        const char *reference;
        bool passes;
    };
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Case cases[] = {
        {"digit", Qt::Key_5, none, "5", "", true},
        {"keypad digit", Qt::Key_5, Qt::KeypadModifier, "5", "", true},
        {"point", Qt::Key_Period, none, ".", "", true},
        {"second point", Qt::Key_Period, none, ".", "2.5", false},
        {"letter", Qt::Key_A, none, "a", "", false},
        {"minus", Qt::Key_Minus, none, "-", "", false},
        {"plus", Qt::Key_Plus, Qt::ShiftModifier, "+", "", false},
        {"space", Qt::Key_Space, none, " ", "", false},
        {"Chinese", Qt::Key_unknown, none, "可", "", false},
        {"Enter", Qt::Key_Return, none, "\r", "", false},
        {"keypad Enter without text", Qt::Key_Enter, Qt::KeypadModifier, "", "", false},
        {"Escape", Qt::Key_Escape, none, "\x1b", "", false},
        {"Ctrl+V as X11 sends it", Qt::Key_V, Qt::ControlModifier, "\x16", "", false},
        {"Ctrl+V with letter text", Qt::Key_V, Qt::ControlModifier, "v", "", false},
        {"Ctrl+V without text", Qt::Key_V, Qt::ControlModifier, "", "", false},
        {"Ctrl+C", Qt::Key_C, Qt::ControlModifier, "", "", false},
        {"Ctrl+X", Qt::Key_X, Qt::ControlModifier, "", "", false},
        {"Ctrl+Z", Qt::Key_Z, Qt::ControlModifier, "", "", false},
        {"Ctrl+Shift+Z", Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, "", "", false},
        {"Ctrl+Backspace", Qt::Key_Backspace, Qt::ControlModifier, "", "", false},
        {"Backspace", Qt::Key_Backspace, none, "\b", "1.5", true},
        {"Backspace without text", Qt::Key_Backspace, none, "", "", true},
        {"Shift+Insert pastes", Qt::Key_Insert, Qt::ShiftModifier, "", "", true},
        {"Ctrl+Insert copies", Qt::Key_Insert, Qt::ControlModifier, "", "", true},
        {"Shift+Delete cuts", Qt::Key_Delete, Qt::ShiftModifier, "", "", true},
        {"Tab", Qt::Key_Tab, none, "\t", "", true},
        {"Backtab", Qt::Key_Backtab, Qt::ShiftModifier, "", "", true},
        {"Delete", Qt::Key_Delete, none, "\x7f", "", true},
        {"Left", Qt::Key_Left, none, "", "", true},
        {"Home", Qt::Key_Home, none, "", "", true},
        {"F5", Qt::Key_F5, none, "", "", true},
    };
    for (const Case &c : cases) {
        const QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers, c.text);
        EXPECT_EQ(numberKeyEventPasses(event, QString::fromUtf8(c.reference)), c.passes) << c.name;
    }
}

// ---------------------------------------------------------------------------
// typeAhead / typeAheadBackspace

TEST(TypeAhead, Steps) {
    const QStringList discounts = discountItems();
    ASSERT_EQ(discounts.size(), 100);
    ASSERT_EQ(discounts.at(10), "9.0");
    ASSERT_EQ(discounts.last(), "0.1");
    const QStringList goods{"ABC", "abd", "B", "可乐", "可口可乐"};

    struct Case {
        const char *name;
        QStringList items;
        QString text;
        int selectionStart;
        int selectionLength;
        QString typed;
        TypeAheadResult expected;
    };
    const Case cases[] = {
        {"8 completes to 8.9", discounts, "", 0, 0, "8", {true, "8.9", 1, 2, discountIndex("8.9")}},
        {"then . matches 8. and keeps 8.9",
         discounts,
         "8.9",
         1,
         2,
         ".",
         {true, "8.9", 2, 1, discountIndex("8.9")}},
        {"then 5 reaches 8.5",
         discounts,
         "8.9",
         2,
         1,
         "5",
         {true, "8.5", 3, 0, discountIndex("8.5")}},
        {"9 completes to 9.9", discounts, "", 0, 0, "9", {true, "9.9", 1, 2, discountIndex("9.9")}},
        {"then 5 matches nothing and replaces the selection",
         discounts,
         "9.9",
         1,
         2,
         "5",
         {false, "95", 2, 0, -1}},
        {"1 completes to 10, the first item", discounts, "", 0, 0, "1", {true, "10", 1, 1, 0}},
        {"whole text selected",
         discounts,
         "10",
         0,
         2,
         "0",
         {true, "0.9", 1, 2, discountIndex("0.9")}},
        {"second point after a complete discount",
         discounts,
         "8.5",
         3,
         0,
         ".",
         {false, "8.5.", 4, 0, -1}},
        {"nothing selected: whole text, wherever the caret is",
         discounts,
         "8",
         0,
         0,
         ".",
         {true, "8.9", 2, 1, discountIndex("8.9")}},
        {"nothing selected, no match: entered at the caret",
         discounts,
         "85",
         1,
         0,
         "0",
         {false, "805", 2, 0, -1}},
        {"letter case ignored, typed case kept", goods, "a", 1, 0, "b", {true, "abC", 2, 1, 0}},
        {"first matching item wins", goods, "", 0, 0, "A", {true, "ABC", 1, 2, 0}},
        {"item equal to the search text", goods, "", 0, 0, "b", {true, "b", 1, 0, 2}},
        {"search ends at the selection start", goods, "ABC", 1, 2, "b", {true, "AbC", 2, 1, 0}},
        {"text after the selection gives way to the item",
         QStringList{"aqz"},
         "abcdef",
         1,
         2,
         "q",
         {true, "aqz", 2, 1, 0}},
        {"no match inside the text",
         QStringList{},
         "abcdef",
         1,
         2,
         "x",
         {false, "axdef", 2, 0, -1}},
        {"Chinese", goods, "", 0, 0, "可", {true, "可乐", 1, 1, 3}},
        {"Chinese, second character", goods, "可乐", 1, 1, "口", {true, "可口可乐", 2, 2, 4}},
        {"empty list", QStringList{}, "", 0, 0, "8", {false, "8", 1, 0, -1}},
        {"selection past the end is clamped",
         QStringList{},
         "ab",
         10,
         5,
         "c",
         {false, "abc", 3, 0, -1}},
        {"negative selection is clamped",
         QStringList{"xy"},
         "ab",
         -3,
         -1,
         "c",
         {false, "cab", 1, 0, -1}},
    };
    for (const Case &c : cases) {
        ASSERT_EQ(c.typed.size(), 1) << c.name;
        const TypeAheadResult got =
            typeAhead(c.items, c.text, c.selectionStart, c.selectionLength, c.typed.at(0));
        EXPECT_EQ(got.consumed, c.expected.consumed) << c.name;
        EXPECT_EQ(got.text, c.expected.text) << c.name;
        EXPECT_EQ(got.selectionStart, c.expected.selectionStart) << c.name;
        EXPECT_EQ(got.selectionLength, c.expected.selectionLength) << c.name;
        EXPECT_EQ(got.matchedIndex, c.expected.matchedIndex) << c.name;
    }
}

TEST(TypeAhead, Backspace) {
    struct Case {
        const char *name;
        QString text;
        int selectionStart;
        int selectionLength;
        QString expectedText;
        int expectedCaret;
    };
    const Case cases[] = {
        {"deletes the completed rest", "8.9", 1, 2, "8", 1},
        {"deletes the character before the caret", "8.5", 3, 0, "8.", 2},
        {"caret inside the text", "abc", 2, 0, "ac", 1},
        {"caret at the start", "abc", 0, 0, "abc", 0},
        {"empty text", "", 0, 0, "", 0},
        {"selection inside the text", "abcdef", 1, 3, "aef", 1},
        {"character outside the basic plane", QStringLiteral("a😀"), 3, 0, "a", 1},
        {"caret past the end is clamped", "ab", 9, 0, "a", 1},
    };
    for (const Case &c : cases) {
        const TypeAheadResult got = typeAheadBackspace(c.text, c.selectionStart, c.selectionLength);
        EXPECT_TRUE(got.consumed) << c.name;
        EXPECT_EQ(got.text, c.expectedText) << c.name;
        EXPECT_EQ(got.selectionStart, c.expectedCaret) << c.name;
        EXPECT_EQ(got.selectionLength, 0) << c.name;
        EXPECT_EQ(got.matchedIndex, -1) << c.name;
    }
}

// ---------------------------------------------------------------------------
// Widgets

namespace {

// A shown window with a goods-name box, a number-filtered edit box and two
// type-ahead lists (goods names, discounts), as the entry line has them. Every
// signal of interest is written to `log` in the order it came.
struct EntryLine {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    QLineEdit *name = new QLineEdit(window.get());
    QLineEdit *price = new QLineEdit(window.get());
    TypeAheadComboBox *goods = new TypeAheadComboBox(window.get());
    TypeAheadComboBox *discount = new TypeAheadComboBox(window.get());
    QStringList log;

    EntryLine() {
        price->move(0, 30);
        goods->move(0, 60);
        discount->move(0, 90);
        new NumberKeyFilter(price);
        auto *priceReleases = new KeyReleaseWatcher(price);
        QObject::connect(priceReleases, &KeyReleaseWatcher::released,
                         [this] { log << "price released"; });

        goods->addItems({"AB", "ABC", "abd", "可乐", "可口可乐"});
        goods->setCurrentIndex(-1);
        goods->setEditText(QString());
        discount->addItems(discountItems());
        discount->setCurrentIndex(-1);
        discount->setEditText(QString());
        // The discount box tests "." against the goods-name text.
        new NumberKeyFilter(discount, [this] { return name->text(); });
        watch(goods, "goods");
        watch(discount, "");

        window->resize(300, 150);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    void watch(TypeAheadComboBox *box, const QString &prefix) {
        const QString p = prefix.isEmpty() ? QString() : prefix + ' ';
        QObject::connect(box, &TypeAheadComboBox::chosen, [this, p] { log << p + "chosen"; });
        QObject::connect(box, &TypeAheadComboBox::changed, [this, p] { log << p + "changed"; });
        QObject::connect(box, &TypeAheadComboBox::keyReleased,
                         [this, p] { log << p + "released"; });
    }

    // Takes the log written so far.
    QStringList take() { return std::exchange(log, {}); }
};

void typeChinese(QWidget *widget, const QString &text) {
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

} // namespace

TEST(NumberKeyFilterWidget, EditTakesDigitsAndOnePoint) {
    EntryLine line;
    QSignalSpy returns(line.price, &QLineEdit::returnPressed);
    QTest::keyClicks(line.price, "12a-3.4.5 +x");
    EXPECT_EQ(line.price->text(), "123.45");
    QTest::keyClick(line.price, Qt::Key_Return);
    QTest::keyClick(line.price, Qt::Key_Backspace);
    EXPECT_EQ(line.price->text(), "123.4");
    EXPECT_EQ(returns.count(), 0);
    // Once the point is gone, a point may be typed again.
    QTest::keyClick(line.price, Qt::Key_Backspace);
    QTest::keyClick(line.price, Qt::Key_Backspace);
    QTest::keyClicks(line.price, ".5");
    EXPECT_EQ(line.price->text(), "123.5");
}

TEST(NumberKeyFilterWidget, KeyboardPasteCutUndoDoNothingButShiftInsertPastes) {
    EntryLine line;
    QApplication::clipboard()->setText("77");
    QTest::keyClicks(line.price, "12");
    QTest::keyClick(line.price, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(line.price->text(), "12");
    line.price->selectAll();
    QTest::keyClick(line.price, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(line.price->text(), "12");
    QTest::keyClick(line.price, Qt::Key_End);
    QTest::keyClick(line.price, Qt::Key_Backspace);
    QTest::keyClick(line.price, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(line.price->text(), "1");
    // Shift+Insert pastes, unfiltered.
    QApplication::clipboard()->setText("a-7");
    QTest::keyClick(line.price, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(line.price->text(), "1a-7");
}

TEST(NumberKeyFilterWidget, EditingKeysPassAndEveryReleaseIsReported) {
    EntryLine line;
    QTest::keyClicks(line.price, "12");
    QTest::keyClick(line.price, Qt::Key_Left);
    QTest::keyClick(line.price, Qt::Key_3);
    EXPECT_EQ(line.price->text(), "132");
    QTest::keyClick(line.price, Qt::Key_Home);
    QTest::keyClick(line.price, Qt::Key_Delete);
    EXPECT_EQ(line.price->text(), "32");
    // Refused keys are released too.
    line.take();
    QTest::keyClick(line.price, Qt::Key_A);
    QTest::keyClick(line.price, Qt::Key_Backspace);
    EXPECT_EQ(line.take(), QStringList({"price released", "price released"}));
}

TEST(NumberKeyFilterWidget, InputMethodCommitIsFiltered) {
    EntryLine line;
    QInputMethodEvent digits;
    digits.setCommitString("12");
    QApplication::sendEvent(line.price, &digits);
    QInputMethodEvent letters;
    letters.setCommitString("3x");
    QApplication::sendEvent(line.price, &letters);
    EXPECT_EQ(line.price->text(), "12");
}

TEST(TypeAheadComboBoxWidget, EightPointFive) {
    EntryLine line;
    QTest::keyClick(line.discount, Qt::Key_8);
    EXPECT_EQ(line.discount->currentText(), "8.9");
    EXPECT_EQ(line.discount->lineEdit()->selectedText(), ".9");
    EXPECT_EQ(line.discount->currentIndex(), discountIndex("8.9"));
    EXPECT_EQ(line.take(), QStringList({"chosen", "changed", "released"}));

    QTest::keyClick(line.discount, Qt::Key_Period);
    EXPECT_EQ(line.discount->currentText(), "8.9");
    EXPECT_EQ(line.discount->lineEdit()->selectedText(), "9");
    EXPECT_EQ(line.discount->currentIndex(), discountIndex("8.9"));
    EXPECT_EQ(line.take(), QStringList({"released"}));

    QTest::keyClick(line.discount, Qt::Key_5);
    EXPECT_EQ(line.discount->currentText(), "8.5");
    EXPECT_FALSE(line.discount->lineEdit()->hasSelectedText());
    EXPECT_EQ(line.discount->currentIndex(), discountIndex("8.5"));
    EXPECT_EQ(line.take(), QStringList({"chosen", "changed", "released"}));

    // With the goods name free of ".", a second "." goes in.
    QTest::keyClick(line.discount, Qt::Key_Period);
    EXPECT_EQ(line.discount->currentText(), "8.5.");
    EXPECT_EQ(line.take(), QStringList({"changed", "released"}));
}

TEST(TypeAheadComboBoxWidget, NineThenFive) {
    EntryLine line;
    QTest::keyClick(line.discount, Qt::Key_9);
    EXPECT_EQ(line.discount->currentText(), "9.9");
    EXPECT_EQ(line.discount->lineEdit()->selectedText(), ".9");
    QTest::keyClick(line.discount, Qt::Key_5);
    EXPECT_EQ(line.discount->currentText(), "95");
    EXPECT_EQ(line.take(), QStringList({"chosen", "changed", "released", "changed", "released"}));
}

TEST(TypeAheadComboBoxWidget, PointRefusedWhileGoodsNameHasOne) {
    EntryLine line;
    line.name->setText("1.5L可乐");
    QTest::keyClick(line.discount, Qt::Key_8);
    line.take();
    QTest::keyClick(line.discount, Qt::Key_Period);
    EXPECT_EQ(line.discount->currentText(), "8.9");
    EXPECT_EQ(line.discount->lineEdit()->selectedText(), ".9");
    EXPECT_EQ(line.take(), QStringList({"released"}));
    QTest::keyClick(line.discount, Qt::Key_5);
    EXPECT_EQ(line.discount->currentText(), "85");
}

TEST(TypeAheadComboBoxWidget, NumberFilterComesBeforeTypeAhead) {
    EntryLine line;
    QApplication::clipboard()->setText("5");
    QTest::keyClicks(line.discount, "a- ");
    QTest::keyClick(line.discount, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(line.discount->currentText(), "");
    EXPECT_EQ(line.discount->currentIndex(), -1);
    // The release of Ctrl counts as well.
    EXPECT_EQ(line.take().count("released"), 5);
    // Shift+Insert pastes without type-ahead, as a change.
    QTest::keyClick(line.discount, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(line.discount->currentText(), "5");
    EXPECT_EQ(line.take(), QStringList({"changed", "released", "released"}));
}

TEST(TypeAheadComboBoxWidget, BackspaceDeselectsTheItem) {
    EntryLine line;
    QTest::keyClick(line.discount, Qt::Key_8);
    line.take();
    QTest::keyClick(line.discount, Qt::Key_Backspace);
    EXPECT_EQ(line.discount->currentText(), "8");
    EXPECT_EQ(line.discount->currentIndex(), -1);
    EXPECT_EQ(line.take(), QStringList({"changed", "released"}));
    QTest::keyClick(line.discount, Qt::Key_Backspace);
    EXPECT_EQ(line.discount->currentText(), "");
    // Backspace in an empty box still runs the change handler.
    QTest::keyClick(line.discount, Qt::Key_Backspace);
    EXPECT_EQ(line.take(), QStringList({"changed", "released", "changed", "released"}));
    // Typing 8 again chooses 8.9 anew.
    QTest::keyClick(line.discount, Qt::Key_8);
    EXPECT_EQ(line.take(), QStringList({"chosen", "changed", "released"}));
}

TEST(TypeAheadComboBoxWidget, GoodsNamesIgnoreLetterCase) {
    EntryLine line;
    QTest::keyClick(line.goods, Qt::Key_A);
    EXPECT_EQ(line.goods->currentText(), "aB");
    EXPECT_EQ(line.goods->lineEdit()->selectedText(), "B");
    EXPECT_EQ(line.goods->currentIndex(), 0);
    QTest::keyClick(line.goods, Qt::Key_B);
    EXPECT_EQ(line.goods->currentText(), "ab");
    QTest::keyClick(line.goods, Qt::Key_C);
    EXPECT_EQ(line.goods->currentText(), "abc");
    EXPECT_EQ(line.goods->currentIndex(), 1);
    QTest::keyClick(line.goods, Qt::Key_D);
    EXPECT_EQ(line.goods->currentText(), "abcd");
    EXPECT_EQ(line.take(), QStringList({"goods chosen", "goods changed", "goods released",
                                        "goods released", "goods chosen", "goods changed",
                                        "goods released", "goods changed", "goods released"}));
}

TEST(TypeAheadComboBoxWidget, ChineseKeysAndInputMethod) {
    EntryLine line;
    typeChinese(line.goods, "可");
    EXPECT_EQ(line.goods->currentText(), "可乐");
    EXPECT_EQ(line.goods->lineEdit()->selectedText(), "乐");
    typeChinese(line.goods, "口");
    EXPECT_EQ(line.goods->currentText(), "可口可乐");
    EXPECT_EQ(line.goods->currentIndex(), 4);
    EXPECT_EQ(line.take().count("goods chosen"), 2);

    line.goods->setEditText(QString());
    line.goods->setCurrentIndex(-1);
    QInputMethodEvent composing("ke", {});
    QApplication::sendEvent(line.goods, &composing);
    QInputMethodEvent commit;
    commit.setCommitString("可口");
    QApplication::sendEvent(line.goods, &commit);
    EXPECT_EQ(line.goods->currentText(), "可口可乐");
    EXPECT_EQ(line.goods->lineEdit()->selectedText(), "可乐");
    EXPECT_EQ(line.goods->currentIndex(), 4);
    // A committed text that matches nothing is entered as it is.
    QInputMethodEvent other;
    other.setCommitString("茶");
    QApplication::sendEvent(line.goods, &other);
    EXPECT_EQ(line.goods->currentText(), "可口茶");
}

TEST(TypeAheadComboBoxWidget, ProgramChangesEmitNothing) {
    EntryLine line;
    line.discount->setEditText("10");
    line.discount->setCurrentIndex(5);
    line.discount->setEditText("");
    line.discount->clear();
    line.discount->addItems(discountItems());
    EXPECT_EQ(line.take(), QStringList());
}

TEST(TypeAheadComboBoxWidget, ArrowKeysChooseOnlyWhenStepping) {
    EntryLine line;
    QTest::keyClick(line.discount, Qt::Key_Down);
    EXPECT_EQ(line.discount->currentText(), "10");
    QTest::keyClick(line.discount, Qt::Key_Up);
    EXPECT_EQ(line.discount->currentText(), "10");
    QTest::keyClick(line.discount, Qt::Key_Down);
    EXPECT_EQ(line.discount->currentText(), "9.9");
    EXPECT_EQ(line.take(), QStringList({"chosen", "changed", "released", "released", "chosen",
                                        "changed", "released"}));
}

TEST(TypeAheadComboBoxWidget, ListPickChooses) {
    EntryLine line;
    line.discount->setFocus();
    line.discount->showPopup();
    QAbstractItemView *view = line.discount->view();
    ASSERT_TRUE(view->isVisible());
    view->setCurrentIndex(view->model()->index(discountIndex("8.5"), 0));
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(line.discount->currentText(), "8.5");
    EXPECT_EQ(line.take(), QStringList({"chosen", "changed"}));
}

TEST(TypeAheadComboBoxWidget, FocusOutAndEnterLeaveTheItemAlone) {
    EntryLine line;
    line.goods->setFocus();
    QTest::keyClicks(line.goods, "ABC");
    QTest::keyClick(line.goods, Qt::Key_Backspace);
    EXPECT_EQ(line.goods->currentText(), "AB");
    EXPECT_EQ(line.goods->currentIndex(), -1);
    line.take();
    QTest::keyClick(line.goods, Qt::Key_Return);
    line.price->setFocus();
    EXPECT_EQ(line.goods->currentIndex(), -1);
    EXPECT_EQ(line.goods->count(), 5);
    EXPECT_EQ(line.take(), QStringList({"goods released"}));
    // So typing the name again chooses it.
    line.goods->setFocus();
    line.goods->lineEdit()->selectAll();
    QTest::keyClick(line.goods, Qt::Key_A);
    EXPECT_EQ(line.goods->currentIndex(), 0);
    EXPECT_EQ(line.take(), QStringList({"goods chosen", "goods changed", "goods released"}));
}

TEST(TypeAheadComboBoxWidget, KeysSentToTheLineEditTakeTheSameWay) {
    EntryLine line;
    QTest::keyClicks(line.discount->lineEdit(), "8a.5");
    EXPECT_EQ(line.discount->currentText(), "8.5");
    EXPECT_EQ(line.take(), QStringList({"chosen", "changed", "released", "released", "released",
                                        "chosen", "changed", "released"}));
}
