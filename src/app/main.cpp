// Program start: the application, the shared state, all windows, the message loop.

#include <QApplication>

#include "app/Main.h"
#include "app/windows.h"
#include "link/session.h"
#include "platform/clock.h"
#include "platform/serial_device.h"
#include "settings/settings_files.h"
#include "ui/qt_front_end.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ptk-inspector"));
    QApplication::setApplicationVersion(QStringLiteral(PTK_VERSION));

    ptk::platform::SystemClock clock;
    ptk::platform::SystemSerialOpener opener;
    ptk::ui::QtFrontEnd frontEnd;
    ptk::Session session(frontEnd, clock, opener);
    // The settings files live in the working directory.
    ptk::ui::Windows windows(session, frontEnd, ptk::SettingsFiles{});

    windows.fm_MainFr->show();
    return QApplication::exec();
}
