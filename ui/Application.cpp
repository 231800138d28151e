#include "ui/Application.h"

#include "ui/InitInfoWindow.h"
#include "ui/MainWindow.h"
#include "ui/SmallWindow.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace vp7 {

AppWindows::AppWindows() = default;
AppWindows::AppWindows(AppWindows&&) noexcept = default;
// The small windows go before the main window, whose simulator they may refer to.
AppWindows::~AppWindows() {
    initInfo.reset();
    setpointScale.reset();
    parameterTable.reset();
    screenCheck.reset();
    main.reset();
}

AppWindows CreateWindows(const std::string& programDir, int scale) {
    AppWindows w;
    w.main = std::make_unique<MainWindow>(programDir, scale);
    w.screenCheck = std::make_unique<SmallWindow>("Form2", "Info", QSize(500, 284), w.main.get());
    w.parameterTable = std::make_unique<SmallWindow>("Form3", "Parameter-Tabelle", QSize(251, 409), w.main.get());
    w.setpointScale =
        std::make_unique<SmallWindow>("Form4", QString::fromUtf8("Sollwert-Skale ändern"), QSize(361, 197), w.main.get());
    w.initInfo = std::make_unique<InitInfoWindow>(w.main->Sim(), w.main.get());
    InitInfoWindow* info = w.initInfo.get();
    QObject::connect(w.main.get(), &MainWindow::FormChanged, info, [info] { info->SyncFromForm(); });
    return w;
}

int PictureScale() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double ratio = screen ? screen->devicePixelRatio() : 1.0;
    return std::max(1, static_cast<int>(std::ceil(ratio - 1e-6)));
}

} // namespace vp7
