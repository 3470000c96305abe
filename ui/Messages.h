#pragma once

#include <QString>
#include <functional>

class QWidget;

// Every message box of the program goes through here, so tests can answer them.
namespace Messages {

enum class Icon { None, Information, Warning, Error };
enum class Buttons { Ok, OkCancel };

struct Box {
    QString caption;
    QString text;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    bool isError = false; // the standard error box
    QWidget *owner = nullptr;
};

// A message with the caption "提示". Returns true when answered with OK.
bool show(QWidget *owner, const QString &text, Icon icon, Buttons buttons = Buttons::Ok);

// The standard error box: the message with "." appended when it does not end in
// one, the application's title as caption, the stop icon and OK.
void error(QWidget *owner, const QString &message);

// The text the error box shows for a message.
QString errorText(const QString &message);

// Replaces the boxes by a function (tests); it returns the answer (true = OK).
// An empty function restores the real boxes.
using Answerer = std::function<bool(const Box &)>;
void setAnswerer(Answerer answerer);

} // namespace Messages
