// F1 and F5 where the platform has no desktop-wide grab (offscreen here): the
// filter on the whole application, and the help file.
#include "HotKeys.h"
#include "AppInfo.h"
#include "TestEnv.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QKeySequence>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>
#include <functional>

namespace {
class HotKeysTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        owner = std::make_unique<QWidget>();
        hotKeys = new HotKeys(owner.get());
        owner->show();
        // A modal dialog of the program in front of its main window.
        dialog = new QDialog(owner.get());
        auto *layout = new QVBoxLayout(dialog);
        edit = new QLineEdit(dialog);
        layout->addWidget(edit);
        dialog->open();
        edit->setFocus();
    }
    void TearDown() override {
        owner.reset();
        StoreTest::TearDown();
    }

    std::unique_ptr<QWidget> owner;
    HotKeys *hotKeys = nullptr;
    QDialog *dialog = nullptr;
    QLineEdit *edit = nullptr;
};

struct KeyCase {
    const char *name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int f1;
    int f5;
};

const KeyCase keyCases[] = {
    {"F1", Qt::Key_F1, Qt::NoModifier, 1, 0},
    {"F5", Qt::Key_F5, Qt::NoModifier, 0, 1},
    {"Shift+F1", Qt::Key_F1, Qt::ShiftModifier, 0, 0},
    {"Shift+F5", Qt::Key_F5, Qt::ShiftModifier, 0, 0},
    {"Ctrl+F5", Qt::Key_F5, Qt::ControlModifier, 0, 0},
    {"Alt+F1", Qt::Key_F1, Qt::AltModifier, 0, 0},
    {"Ctrl+Alt+F5", Qt::Key_F5, Qt::ControlModifier | Qt::AltModifier, 0, 0},
    {"F2", Qt::Key_F2, Qt::NoModifier, 0, 0},
    {"F6", Qt::Key_F6, Qt::NoModifier, 0, 0},
};
} // namespace

TEST_F(HotKeysTest, OffscreenHasNoDesktopWideKeys) {
    EXPECT_FALSE(hotKeys->systemWide());
    EXPECT_FALSE(hotKeys->systemWide(Qt::Key_F1));
    EXPECT_FALSE(hotKeys->systemWide(Qt::Key_F5));
}

// Each press counts once, wherever in the program it lands: a line edit passes
// F1/F5 on to its dialog, and a press through the window system passes the window
// first and then the focused widget.
TEST_F(HotKeysTest, UnmodifiedKeysCountOnceInEveryWindow) {
    const std::pair<const char *, std::function<void(const KeyCase &)>> targets[] = {
        {"modal dialog", [&](const KeyCase &c) { QTest::keyClick(dialog, c.key, c.modifiers); }},
        {"line edit in the modal dialog",
         [&](const KeyCase &c) { QTest::keyClick(edit, c.key, c.modifiers); }},
        {"window of the modal dialog",
         [&](const KeyCase &c) { QTest::keyClick(dialog->windowHandle(), c.key, c.modifiers); }},
        {"main window",
         [&](const KeyCase &c) { QTest::keyClick(owner.get(), c.key, c.modifiers); }},
    };
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    for (const auto &[target, press] : targets) {
        for (const KeyCase &c : keyCases) {
            SCOPED_TRACE(std::string(c.name) + " in " + target);
            QSignalSpy f1(hotKeys, &HotKeys::f1Pressed);
            QSignalSpy f5(hotKeys, &HotKeys::f5Pressed);
            press(c);
            EXPECT_EQ(f1.count(), c.f1);
            EXPECT_EQ(f5.count(), c.f5);
        }
    }
}

TEST_F(HotKeysTest, HeldKeyCountsOnce) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    for (Qt::Key key : {Qt::Key_F1, Qt::Key_F5}) {
        SCOPED_TRACE(key == Qt::Key_F1 ? "F1" : "F5");
        QSignalSpy f1(hotKeys, &HotKeys::f1Pressed);
        QSignalSpy f5(hotKeys, &HotKeys::f5Pressed);
        QWindow *window = dialog->windowHandle();
        QTest::simulateEvent(window, true, key, Qt::NoModifier, QString(), false);
        for (int i = 0; i < 5; ++i)
            QTest::simulateEvent(window, true, key, Qt::NoModifier, QString(), true);
        QTest::simulateEvent(window, false, key, Qt::NoModifier, QString(), false);
        EXPECT_EQ(f1.count() + f5.count(), 1);
        EXPECT_EQ(key == Qt::Key_F1 ? f1.count() : f5.count(), 1);
    }
}

// The hot keys belong to the program as a whole: its widgets see them only
// modified, or once the hot keys are gone.
TEST_F(HotKeysTest, KeysReachTheWidgetsOnlyWhenNotTaken) {
    class KeyLog : public QObject {
    public:
        QStringList keys;
        bool eventFilter(QObject *, QEvent *e) override {
            if (e->type() != QEvent::KeyPress)
                return false;
            auto *k = static_cast<QKeyEvent *>(e);
            if (k->key() == Qt::Key_F1 || k->key() == Qt::Key_F5)
                keys << QKeySequence(k->keyCombination()).toString();
            return false;
        }
    } log;
    edit->installEventFilter(&log);
    QTest::keyClick(edit, Qt::Key_F5);
    QTest::keyClick(edit, Qt::Key_F1);
    QTest::keyClick(edit, Qt::Key_F5, Qt::ShiftModifier);
    delete hotKeys;
    QTest::keyClick(edit, Qt::Key_F1);
    EXPECT_EQ(log.keys, QStringList({"Shift+F5", "F1"}));
}

namespace {
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};
} // namespace

TEST_F(HotKeysTest, HelpFileIsOpenedFromTheDataDirectory) {
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    // The data directory, not the current one; a name with spaces and Chinese.
    const QString data = path(QStringLiteral("数据 目录"));
    ASSERT_TRUE(QDir().mkpath(data));
    openHelpFile(data);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(recorder.urls.size(), 1);
    EXPECT_TRUE(recorder.urls[0].isLocalFile());
    EXPECT_EQ(recorder.urls[0].toLocalFile(), data + QStringLiteral("/使用帮助.chm"));
}

#include "HotKeysTest.moc"
