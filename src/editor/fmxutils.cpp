#include "editor/fmxutils.h"

#include "services/userdialogs.h"

namespace fmxutils {

void LaunchFile(UserDialogs& dialogs, const QString& file, const QString&, const QString&, int) {
    dialogs.launch(file);
}

} // namespace fmxutils
