#pragma once

#include <QString>

// The folder the program keeps its settings, "Temp" and "Export Images" in:
// the executable's folder when it is writable, otherwise the per-user
// application data folder. Ends with "/".
QString programFolder();
// Overrides the program folder (tests run the window in a folder of their own).
void setProgramFolder(const QString& folder);
