#include "Messages.h"

#include "AppInfo.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace Messages {

namespace {
Answerer &answerer() {
    static Answerer a;
    return a;
}

QMessageBox::Icon toQt(Icon icon) {
    switch (icon) {
    case Icon::None:
        return QMessageBox::NoIcon;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

bool present(const Box &box) {
    if (answerer())
        return answerer()(box);
    QMessageBox mb(toQt(box.icon), box.caption, box.text,
                   box.buttons == Buttons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                    : QMessageBox::Ok,
                   box.owner);
    mb.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    if (box.buttons == Buttons::OkCancel)
        mb.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
    return mb.exec() == QMessageBox::Ok;
}
} // namespace

bool show(QWidget *owner, const QString &text, Icon icon, Buttons buttons) {
    return present({QStringLiteral("提示"), text, icon, buttons, false, owner});
}

QString errorText(const QString &message) {
    return message.endsWith(QLatin1Char('.')) ? message : message + QLatin1Char('.');
}

void error(QWidget *owner, const QString &message) {
    present({QString::fromUtf8(AppInfo::title), errorText(message), Icon::Error, Buttons::Ok, true,
             owner});
}

void setAnswerer(Answerer a) {
    answerer() = std::move(a);
}

} // namespace Messages
