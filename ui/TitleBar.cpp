#include "TitleBar.h"

#include <QEvent>
#include <QLinearGradient>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QWindow>

namespace {

constexpr int ButtonWidth = 26;
constexpr int ButtonHeight = 22;
constexpr int Margin = 4;

enum class Glyph { Window, Minimize, Close };

// White line glyphs for the title bar buttons.
QIcon glyphIcon(Glyph glyph) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    switch (glyph) {
    case Glyph::Window:
        p.setBrush(QColor(255, 255, 255, 60));
        p.drawRect(QRectF(2, 3, 12, 10));
        p.drawLine(QPointF(2, 5), QPointF(14, 5));
        break;
    case Glyph::Minimize:
        p.drawLine(QPointF(4, 12), QPointF(12, 12));
        break;
    case Glyph::Close:
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
        break;
    }
    return QIcon(pixmap);
}

} // namespace

TitleBar::TitleBar(QWidget *window, Buttons buttons, int height)
    : QWidget(window), m_window(window), m_buttons(buttons) {
    setStyleSheet(QStringLiteral("QToolButton { border: none; border-radius: 3px; }"
                                 "QToolButton:hover { background: rgba(255, 255, 255, 60); }"
                                 "QToolButton:pressed { background: rgba(0, 0, 0, 40); }"
                                 "QToolButton#closeButton:hover { background: #d9453b; }"));
    if (buttons & Menu) {
        m_menuButton = addButton(QIcon(), QStringLiteral("窗口菜单"));
        connect(m_menuButton, &QToolButton::clicked, this, &TitleBar::showWindowMenu);
        updateMenuIcon();
    }
    if (buttons & Minimize) {
        m_minimizeButton = addButton(glyphIcon(Glyph::Minimize), QStringLiteral("最小化"));
        connect(m_minimizeButton, &QToolButton::clicked, m_window, &QWidget::showMinimized);
    }
    if (buttons & Close) {
        m_closeButton = addButton(glyphIcon(Glyph::Close), QStringLiteral("关闭"));
        m_closeButton->setObjectName(QStringLiteral("closeButton"));
        connect(m_closeButton, &QToolButton::clicked, m_window, &QWidget::close);
    }
    setGeometry(0, 0, window->width(), height);
    window->installEventFilter(this);
    raise();
}

QToolButton *TitleBar::addButton(const QIcon &icon, const QString &tip) {
    auto *button = new QToolButton(this);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(icon);
    button->setIconSize(QSize(16, 16));
    button->setToolTip(tip);
    button->setFixedSize(ButtonWidth, ButtonHeight);
    return button;
}

void TitleBar::placeButtons() {
    const int y = (height() - ButtonHeight) / 2;
    if (m_menuButton)
        m_menuButton->move(Margin, y);
    int x = width() - Margin;
    for (QToolButton *button : {m_closeButton, m_minimizeButton}) {
        if (button) {
            x -= ButtonWidth;
            button->move(x, y);
        }
    }
}

void TitleBar::updateMenuIcon() {
    if (!m_menuButton)
        return;
    const QIcon icon = m_window->windowIcon();
    m_menuButton->setIcon(icon.isNull() ? glyphIcon(Glyph::Window) : icon);
}

void TitleBar::showWindowMenu() {
    QMenu menu(this);
    if (m_buttons & Minimize)
        menu.addAction(QStringLiteral("最小化"), m_window, &QWidget::showMinimized);
    // Like a system menu, the window menu can always close the window.
    menu.addAction(QStringLiteral("关闭"), m_window, &QWidget::close);
    menu.exec(m_menuButton->mapToGlobal(QPoint(0, m_menuButton->height())));
}

bool TitleBar::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_window) {
        switch (event->type()) {
        case QEvent::WindowTitleChange:
            update();
            break;
        case QEvent::WindowIconChange:
            updateMenuIcon();
            break;
        case QEvent::Resize:
            resize(m_window->width(), height());
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TitleBar::paintEvent(QPaintEvent *) {
    QPainter p(this);
    const QRect r = rect();

    // Glass: a light upper half over a deeper lower half.
    QLinearGradient glass(0, 0, 0, r.height());
    glass.setColorAt(0.0, QColor(0x9c, 0xc3, 0xf2));
    glass.setColorAt(0.48, QColor(0x5a, 0x93, 0xde));
    glass.setColorAt(0.52, QColor(0x2f, 0x6c, 0xc6));
    glass.setColorAt(1.0, QColor(0x3f, 0x82, 0xdb));
    p.fillRect(r, glass);
    p.setPen(QColor(255, 255, 255, 120));
    p.drawLine(r.topLeft(), r.topRight());
    p.setPen(QColor(0x1c, 0x46, 0x8a));
    p.drawLine(r.bottomLeft(), r.bottomRight());

    int left = m_menuButton ? m_menuButton->geometry().right() + 6 : 8;
    int right = width() - Margin;
    if (m_minimizeButton)
        right = m_minimizeButton->x();
    else if (m_closeButton)
        right = m_closeButton->x();
    const QRect textRect(left, 0, right - left - 4, r.height());

    QFont f = font();
    f.setBold(true);
    f.setPixelSize(14);
    p.setFont(f);
    const QString caption =
        p.fontMetrics().elidedText(m_window->windowTitle(), Qt::ElideRight, textRect.width());
    p.setPen(QColor(0x10, 0x30, 0x66, 150));
    p.drawText(textRect.translated(1, 1), Qt::AlignLeft | Qt::AlignVCenter, caption);
    p.setPen(Qt::white);
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, caption);
}

void TitleBar::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) {
        if (QWindow *handle = window()->windowHandle())
            handle->startSystemMove();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void TitleBar::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    placeButtons();
}
