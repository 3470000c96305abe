#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

struct xcb_connection_t;

// The program's two hot keys, F1 (help) and F5 (print), pressed without modifier
// keys. On X11 both are grabbed for the whole desktop, so they reach the program
// while another program has the focus or one of its own windows is modal. A key
// that cannot be grabbed (another client holds it) or a platform without grabs
// (Wayland, offscreen) falls back to a filter on the whole application: the key
// then works in every window of the program. The keys are released again when the
// object goes.
class HotKeys : public QObject, private QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit HotKeys(QObject *parent);
    ~HotKeys() override;

    // Both keys are held for the whole desktop.
    bool systemWide() const;
    // That key is held for the whole desktop (Qt::Key_F1 or Qt::Key_F5).
    bool systemWide(int qtKey) const;

signals:
    void f1Pressed();
    void f5Pressed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Key {
        int qtKey;
        std::uint32_t keysym;
        void (HotKeys::*signal)();
        std::vector<std::uint8_t> keycodes;
        bool grabbed = false;
        // The key is held down (a press seen, its release not yet).
        bool down = false;
        std::uint32_t pressTime = 0;
        bool releaseSeen = false;
        std::uint32_t releaseTime = 0;
    };
    struct Grab {
        std::uint32_t root;
        std::uint8_t keycode;
        std::uint16_t modifiers;
    };

    void grabKeys();
    Key *keyForQt(int qtKey);
    Key *keyForCode(std::uint8_t keycode);
    bool isRoot(std::uint32_t window) const;
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

    std::array<Key, 2> keys_;
    xcb_connection_t *connection_ = nullptr;
    std::vector<std::uint32_t> roots_;
    std::vector<Grab> grabs_;
    bool nativeFilter_ = false;
    bool applicationFilter_ = false;
};

// Opens the help file (AppInfo::helpFile) in the data directory with the desktop's
// handler for it. A missing file or handler goes unnoticed.
void openHelpFile(const QString &dataDirectory);
