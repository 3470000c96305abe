#pragma once

#include <QString>

// Creates a fresh data.mdb at `path` with the seven tables and the seed rows: the user
// "admin" with an empty password and "管理员", the settings row "1", "1", "58", "1",
// and an empty print-content row. Refuses to overwrite an existing file.
void createDatabase(const QString &path);
