#include "editor/fmxutils.h"

#include "app/userdialogs.h"

namespace fmxutils {

void LaunchFile(UserDialogs& dialogs, const QString& file, const QString&, const QString&, int) {
    dialogs.launch(file);
}

} // namespace fmxutils
