#pragma once

#include <QString>

// The folder that holds the program's executable, with native separators and
// no trailing separator.
QString programFolder();

// That folder, the platform separator and a file name.
QString programFolderFile(const QString &fileName);
