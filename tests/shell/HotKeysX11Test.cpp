// F1 and F5 on a real X server (run under xvfb-run): the keys are grabbed for the
// whole desktop and reach the program whatever window has the focus, with or
// without NumLock and CapsLock; keys typed with xdotool go through the server's
// grabs like a real keyboard.
#include "HotKeys.h"
#include "TestEnv.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <X11/keysym.h>
#include <cstdlib>
#include <functional>
#include <memory>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

namespace {
struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};
template <typename T> using Malloced = std::unique_ptr<T, FreeDeleter>;

struct KeySymbolsDeleter {
    void operator()(xcb_key_symbols_t *s) const { xcb_key_symbols_free(s); }
};
using KeySymbols = std::unique_ptr<xcb_key_symbols_t, KeySymbolsDeleter>;

// Another program on the same display: its own connection and window.
class OtherClient {
public:
    OtherClient() : connection_(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(connection_))
            return;
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        root_ = screen->root;
        window_ = xcb_generate_id(connection_);
        const std::uint32_t events = XCB_EVENT_MASK_KEY_PRESS;
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, root_, 0, 0, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK,
                          &events);
        xcb_map_window(connection_, window_);
        sync();
    }
    ~OtherClient() { xcb_disconnect(connection_); }
    OtherClient(const OtherClient &) = delete;
    OtherClient &operator=(const OtherClient &) = delete;

    bool ok() const { return !xcb_connection_has_error(connection_) && window_ != 0; }

    // Takes the focus from whatever had it.
    void focus() {
        xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_POINTER_ROOT, window_, XCB_CURRENT_TIME);
        sync();
    }

    // Grabs a key (without modifiers) for itself, as another hot-key program does.
    void grab(xcb_keysym_t keysym) {
        KeySymbols symbols(xcb_key_symbols_alloc(connection_));
        Malloced<xcb_keycode_t> codes(xcb_key_symbols_get_keycode(symbols.get(), keysym));
        for (const xcb_keycode_t *c = codes.get(); c && *c; ++c)
            xcb_grab_key(connection_, 0, root_, 0, *c, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        sync();
    }

    // The keysyms of the key presses its window received so far.
    QList<xcb_keysym_t> takePresses() {
        QList<xcb_keysym_t> presses;
        KeySymbols symbols(xcb_key_symbols_alloc(connection_));
        while (Malloced<xcb_generic_event_t> e{xcb_poll_for_event(connection_)}) {
            if ((e->response_type & ~0x80) != XCB_KEY_PRESS)
                continue;
            auto *k = reinterpret_cast<xcb_key_press_event_t *>(e.get());
            presses << xcb_key_symbols_get_keysym(symbols.get(), k->detail, 0);
        }
        return presses;
    }

    // Which of NumLock and CapsLock are on.
    std::uint16_t modifierState() {
        Malloced<xcb_query_pointer_reply_t> r(
            xcb_query_pointer_reply(connection_, xcb_query_pointer(connection_, root_), nullptr));
        return r ? r->mask : 0;
    }

private:
    void sync() {
        Malloced<xcb_get_input_focus_reply_t>(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

    xcb_connection_t *connection_;
    xcb_window_t root_ = 0;
    xcb_window_t window_ = 0;
};

// Types keys through the X server (XTest), as a keyboard does.
void xdotool(const QStringList &arguments) {
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), arguments), 0) << "xdotool failed";
}

bool waitForCount(const QSignalSpy &spy, int count) {
    return QTest::qWaitFor([&] { return spy.count() >= count; }, 5000);
}

class HotKeysX11Test : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"))
            << "runs on an X server only (xvfb-run)";
        ASSERT_TRUE(other.ok());
        owner = std::make_unique<QWidget>();
    }
    void TearDown() override {
        setLocks(false, false);
        owner.reset();
        StoreTest::TearDown();
    }

    // Switches NumLock and CapsLock to the wanted state.
    void setLocks(bool numLock, bool capsLock) {
        const std::uint16_t state = other.modifierState();
        if (bool(state & XCB_MOD_MASK_2) != numLock)
            xdotool({QStringLiteral("key"), QStringLiteral("Num_Lock")});
        if (bool(state & XCB_MOD_MASK_LOCK) != capsLock)
            xdotool({QStringLiteral("key"), QStringLiteral("Caps_Lock")});
        const std::uint16_t now = other.modifierState();
        ASSERT_EQ(bool(now & XCB_MOD_MASK_2), numLock);
        ASSERT_EQ(bool(now & XCB_MOD_MASK_LOCK), capsLock);
    }

    void press(const char *keys) { xdotool({QStringLiteral("key"), QString::fromLatin1(keys)}); }

    OtherClient other;
    std::unique_ptr<QWidget> owner;
};
} // namespace

TEST_F(HotKeysX11Test, KeysReachTheProgramWhateverHasTheFocus) {
    HotKeys *hotKeys = new HotKeys(owner.get());
    ASSERT_TRUE(hotKeys->systemWide());

    QDialog *dialog = new QDialog(owner.get());
    auto *layout = new QVBoxLayout(dialog);
    layout->addWidget(new QLineEdit(dialog));

    struct Situation {
        const char *name;
        std::function<bool()> arrange;
    };
    const Situation situations[] = {
        {"another program focused, no window of ours shown",
         [&] {
             other.focus();
             return true;
         }},
        {"main window focused",
         [&] {
             owner->show();
             owner->activateWindow();
             return QTest::qWaitForWindowActive(owner.get());
         }},
        {"modal dialog of ours focused",
         [&] {
             dialog->open();
             dialog->activateWindow();
             return QTest::qWaitForWindowActive(dialog);
         }},
        {"another program focused over our modal dialog",
         [&] {
             other.focus();
             return QTest::qWaitFor([] { return QGuiApplication::focusWindow() == nullptr; });
         }},
    };
    struct Locks {
        const char *name;
        bool numLock;
        bool capsLock;
    };
    const Locks lockCases[] = {
        {"no locks", false, false},
        {"NumLock", true, false},
        {"CapsLock", false, true},
        {"NumLock and CapsLock", true, true},
    };
    for (const Situation &s : situations) {
        ASSERT_TRUE(s.arrange()) << s.name;
        for (const Locks &l : lockCases) {
            SCOPED_TRACE(std::string(s.name) + ", " + l.name);
            setLocks(l.numLock, l.capsLock);
            QSignalSpy f1(hotKeys, &HotKeys::f1Pressed);
            QSignalSpy f5(hotKeys, &HotKeys::f5Pressed);
            press("F5");
            EXPECT_TRUE(waitForCount(f5, 1));
            press("F1");
            EXPECT_TRUE(waitForCount(f1, 1));
            // The F1 came after the F5: had the F5 been counted twice, it would be by now.
            EXPECT_EQ(f5.count(), 1);
            EXPECT_EQ(f1.count(), 1);
        }
    }
}

TEST_F(HotKeysX11Test, ModifiedKeysAreLeftToOtherPrograms) {
    HotKeys *hotKeys = new HotKeys(owner.get());
    other.focus();
    other.takePresses();
    QSignalSpy f1(hotKeys, &HotKeys::f1Pressed);
    QSignalSpy f5(hotKeys, &HotKeys::f5Pressed);
    for (const char *keys : {"shift+F5", "ctrl+F1", "alt+F5", "super+F1", "F6"})
        press(keys);
    press("F1");
    ASSERT_TRUE(waitForCount(f1, 1));
    EXPECT_EQ(f1.count(), 1);
    EXPECT_EQ(f5.count(), 0);
    // The other program's window had them all (modifier presses left out).
    QList<xcb_keysym_t> functionKeys;
    (void)QTest::qWaitFor(
        [&] {
            for (xcb_keysym_t k : other.takePresses())
                if (k >= XK_F1 && k <= XK_F12)
                    functionKeys << k;
            return functionKeys.size() >= 5;
        },
        5000);
    EXPECT_EQ(functionKeys, QList<xcb_keysym_t>({XK_F5, XK_F1, XK_F5, XK_F1, XK_F6}));
}

TEST_F(HotKeysX11Test, OtherProgramsGetTheKeysOnlyAfterTheHotKeysAreGone) {
    auto hotKeys = std::make_unique<HotKeys>(owner.get());
    other.focus();
    other.takePresses();
    QSignalSpy f5(hotKeys.get(), &HotKeys::f5Pressed);
    press("F5");
    press("a");
    ASSERT_TRUE(waitForCount(f5, 1));
    // The "a" behind the F5 shows that everything typed has arrived.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !other.takePresses().isEmpty(); }, 5000));
    QList<xcb_keysym_t> presses;
    hotKeys.reset();
    press("F5");
    press("F1");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            presses << other.takePresses();
            return presses.size() >= 2;
        },
        5000));
    EXPECT_EQ(presses, QList<xcb_keysym_t>({XK_F5, XK_F1}));
}

TEST_F(HotKeysX11Test, AHeldKeyCountsOnce) {
    HotKeys *hotKeys = new HotKeys(owner.get());
    other.focus();
    QSignalSpy f5(hotKeys, &HotKeys::f5Pressed);
    QSignalSpy f1(hotKeys, &HotKeys::f1Pressed);
    // Long enough for the server's key repeat to set in.
    xdotool({QStringLiteral("keydown"), QStringLiteral("F5")});
    QTest::qWait(1500);
    xdotool({QStringLiteral("keyup"), QStringLiteral("F5")});
    press("F1");
    ASSERT_TRUE(waitForCount(f1, 1));
    EXPECT_EQ(f5.count(), 1);
    // Pressed again after letting go: a new press.
    press("F5");
    press("F1");
    ASSERT_TRUE(waitForCount(f1, 2));
    EXPECT_EQ(f5.count(), 2);
}

// A key another program holds stays with it; the other key still works for the
// whole desktop, and the held one still works inside the program.
TEST_F(HotKeysX11Test, AKeyHeldByAnotherProgramIsLeftToIt) {
    other.grab(XK_F5);
    HotKeys *hotKeys = new HotKeys(owner.get());
    EXPECT_FALSE(hotKeys->systemWide(Qt::Key_F5));
    EXPECT_TRUE(hotKeys->systemWide(Qt::Key_F1));
    EXPECT_FALSE(hotKeys->systemWide());
    other.focus();
    other.takePresses();
    QSignalSpy f1(hotKeys, &HotKeys::f1Pressed);
    QSignalSpy f5(hotKeys, &HotKeys::f5Pressed);
    press("F5");
    press("F1");
    ASSERT_TRUE(waitForCount(f1, 1));
    EXPECT_EQ(f5.count(), 0);
    // Inside the program the key works in every window.
    QDialog *dialog = new QDialog(owner.get());
    dialog->open();
    QTest::keyClick(dialog, Qt::Key_F5);
    EXPECT_EQ(f5.count(), 1);
}
