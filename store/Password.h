#pragma once

#include <QString>

// Passwords are kept as salted yescrypt hashes, never as plain text.
QString hashPassword(const QString &password);
// True when `password` is the one `stored` was made from. An empty stored text
// stands for the empty password (a user row without a password).
bool verifyPassword(const QString &password, const QString &stored);
