#pragma once

#include <QWidget>

class QToolButton;

// The skinned title bar of our frameless top-level windows. It lies inside the
// window's client area at the top, shows the window menu icon, the window title
// (following windowTitle changes) and only the buttons asked for, and moves the
// window when dragged. The window sets its own flags.
class TitleBar : public QWidget {
    Q_OBJECT

public:
    enum Button { Menu = 1, Minimize = 2, Close = 4 };
    Q_DECLARE_FLAGS(Buttons, Button)

    TitleBar(QWidget *window, Buttons buttons, int height);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QToolButton *addButton(const QIcon &icon, const QString &tip);
    void placeButtons();
    void updateMenuIcon();
    void showWindowMenu();

    QWidget *m_window;
    Buttons m_buttons;
    QToolButton *m_menuButton = nullptr;
    QToolButton *m_minimizeButton = nullptr;
    QToolButton *m_closeButton = nullptr;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TitleBar::Buttons)
