// vp7sim: the desktop simulator. Takes nothing on its command line.
#include "ui/Application.h"
#include "ui/MainWindow.h"
#include "ui/SingleInstance.h"
#include "ui/TerminationSignals.h"

#include <QApplication>
#include <QProcess>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    vp7::SingleInstance instance;
    if (!instance.Acquire()) return 0; // another simulator runs: end silently, without a window

    QApplication::setApplicationName(QStringLiteral("vp7sim"));
    QApplication::setApplicationDisplayName(vp7::kApplicationTitle);

    bool restart = false;
    int status;
    {
        vp7::AppWindows windows =
            vp7::CreateWindows(QCoreApplication::applicationDirPath().toStdString(), vp7::PictureScale());
        windows.main->show();
        vp7::CloseOnTerminationSignals(windows.main.get());
        status = QApplication::exec();
        restart = windows.main->RestartWanted();
    }
    instance.Release();
    // The new instance starts only after this one has let go of the lock.
    if (restart) QProcess::startDetached(QCoreApplication::applicationFilePath(), {});
    return status;
}
