#include "HotKeys.h"

#include "AppInfo.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QUrl>
#include <X11/keysym.h>
#include <algorithm>
#include <cstdlib>
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

// The keycodes that produce a keysym (the list xcb gives ends with 0).
std::vector<std::uint8_t> keycodesOf(xcb_key_symbols_t *symbols, xcb_keysym_t keysym) {
    std::vector<std::uint8_t> codes;
    Malloced<xcb_keycode_t> list(xcb_key_symbols_get_keycode(symbols, keysym));
    for (const xcb_keycode_t *c = list.get(); c && *c != XCB_NO_SYMBOL; ++c)
        codes.push_back(*c);
    return codes;
}

// The modifier bit that NumLock sets; Mod2 on nearly every keyboard map.
std::uint16_t numLockMask(xcb_connection_t *c, xcb_key_symbols_t *symbols) {
    const std::vector<std::uint8_t> numLock = keycodesOf(symbols, XK_Num_Lock);
    Malloced<xcb_get_modifier_mapping_reply_t> map(
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr));
    if (!map || numLock.empty())
        return XCB_MOD_MASK_2;
    const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(map.get());
    const int perModifier = map->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t code = codes[modifier * perModifier + i];
            if (code != 0 && std::find(numLock.begin(), numLock.end(), code) != numLock.end())
                return std::uint16_t(1u << modifier);
        }
    }
    return XCB_MOD_MASK_2;
}

// The modifier bits of a key event's state (the rest are mouse buttons).
constexpr std::uint16_t modifierBits = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_LOCK |
                                       XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_2 |
                                       XCB_MOD_MASK_3 | XCB_MOD_MASK_4 | XCB_MOD_MASK_5;

// Repeated presses of a held key come this close together (milliseconds); a press
// seen as "held" after a longer pause means its release went elsewhere.
constexpr std::uint32_t repeatWindow = 1000;
} // namespace

HotKeys::HotKeys(QObject *parent)
    : QObject(parent), keys_{Key{Qt::Key_F1, XK_F1, &HotKeys::f1Pressed, {}},
                             Key{Qt::Key_F5, XK_F5, &HotKeys::f5Pressed, {}}} {
    grabKeys();
    if (!systemWide() && QCoreApplication::instance()) {
        QCoreApplication::instance()->installEventFilter(this);
        applicationFilter_ = true;
    }
}

HotKeys::~HotKeys() {
    if (applicationFilter_ && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    if (nativeFilter_ && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
    // The connection belongs to the application object and goes with it.
    if (connection_ && qGuiApp) {
        for (const Grab &g : grabs_)
            xcb_ungrab_key(connection_, g.keycode, g.root, g.modifiers);
        xcb_flush(connection_);
    }
}

bool HotKeys::systemWide() const {
    for (const Key &k : keys_)
        if (!k.grabbed)
            return false;
    return true;
}

bool HotKeys::systemWide(int qtKey) const {
    for (const Key &k : keys_)
        if (k.qtKey == qtKey)
            return k.grabbed;
    return false;
}

void HotKeys::grabKeys() {
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    connection_ = x11->connection();
    KeySymbols symbols(xcb_key_symbols_alloc(connection_));
    if (!symbols)
        return;

    for (xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_)); it.rem;
         xcb_screen_next(&it))
        roots_.push_back(it.data->root);
    const std::uint16_t numLock = numLockMask(connection_, symbols.get());
    const std::uint16_t lock = XCB_MOD_MASK_LOCK;
    const std::uint16_t modifierSets[] = {0, numLock, lock, std::uint16_t(numLock | lock)};

    // All requests first, then their answers: one round trip instead of one per grab.
    struct Pending {
        Key *key;
        Grab grab;
        xcb_void_cookie_t cookie;
    };
    std::vector<Pending> pending;
    for (Key &key : keys_) {
        key.keycodes = keycodesOf(symbols.get(), key.keysym);
        key.grabbed = !key.keycodes.empty() && !roots_.empty();
        for (std::uint32_t root : roots_)
            for (std::uint8_t code : key.keycodes)
                for (std::uint16_t modifiers : modifierSets)
                    pending.push_back(
                        {&key,
                         {root, code, modifiers},
                         xcb_grab_key_checked(connection_, 0, root, modifiers, code,
                                              XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)});
    }
    // A key another client holds (BadAccess) stays with it; the grabs that did
    // succeed are kept and the key also goes through the application filter.
    for (Pending &p : pending) {
        Malloced<xcb_generic_error_t> error(xcb_request_check(connection_, p.cookie));
        if (error)
            p.key->grabbed = false;
        else
            grabs_.push_back(p.grab);
    }
    if (!grabs_.empty()) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        nativeFilter_ = true;
    }
}

HotKeys::Key *HotKeys::keyForQt(int qtKey) {
    for (Key &k : keys_)
        if (k.qtKey == qtKey)
            return &k;
    return nullptr;
}

HotKeys::Key *HotKeys::keyForCode(std::uint8_t keycode) {
    for (Key &k : keys_)
        if (std::find(k.keycodes.begin(), k.keycodes.end(), keycode) != k.keycodes.end())
            return &k;
    return nullptr;
}

bool HotKeys::isRoot(std::uint32_t window) const {
    return std::find(roots_.begin(), roots_.end(), window) != roots_.end();
}

// A grabbed key is reported to the root window, never to a window of the program,
// so a press arrives here or in eventFilter(), not in both.
bool HotKeys::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) {
    if (eventType != "xcb_generic_event_t")
        return false;
    auto *event = static_cast<xcb_generic_event_t *>(message);
    const std::uint8_t type = event->response_type & ~0x80;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    // Press and release events share one layout.
    auto *keyEvent = reinterpret_cast<xcb_key_press_event_t *>(event);
    if (!isRoot(keyEvent->event))
        return false;
    Key *key = keyForCode(keyEvent->detail);
    if (!key)
        return false;
    const std::uint32_t time = keyEvent->time;
    if (type == XCB_KEY_RELEASE) {
        key->down = false;
        key->releaseSeen = true;
        key->releaseTime = time;
        return true;
    }
    const std::uint16_t lockBits = XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2;
    if ((keyEvent->state & modifierBits & ~lockBits) != 0)
        return false;
    // A held key repeats either as presses alone or as release/press pairs with
    // one time stamp; only the first press counts.
    const bool repeat = (key->down && time - key->pressTime < repeatWindow) ||
                        (!key->down && key->releaseSeen && key->releaseTime == time);
    key->down = true;
    key->pressTime = time;
    if (!repeat)
        emit(this->*(key->signal))();
    return true;
}

// Used where the keys are not held for the whole desktop: the press is taken at
// its first stop (the program's window, then the focused widget), so it counts
// once and no widget of the program sees F1 or F5.
bool HotKeys::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto *keyEvent = static_cast<QKeyEvent *>(event);
    if (keyEvent->modifiers() != Qt::NoModifier)
        return false;
    Key *key = keyForQt(keyEvent->key());
    if (!key)
        return false;
    if (!keyEvent->isAutoRepeat())
        emit(this->*(key->signal))();
    return true;
}

void openHelpFile(const QString &dataDirectory) {
    const QString file = QDir(dataDirectory).filePath(QString::fromUtf8(AppInfo::helpFile));
    QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}
