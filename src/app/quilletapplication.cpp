#include "app/quilletapplication.h"

#include "editor/userdialogs.h"

#include <QIcon>

QuilletApplication::QuilletApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Quillet"));
    setApplicationDisplayName(ApplicationTitle);
    setWindowIcon(QIcon(QStringLiteral(":/icons/quillet.svg")));
}

bool QuilletApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (m_dialogs) reportError(*m_dialogs, activeWindow(), QString::fromLocal8Bit(e.what()));
    }
    return false;
}
