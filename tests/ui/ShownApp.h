#pragma once
// The program's windows on a fresh program folder, the main window shown.
#include "ui/Application.h"
#include "ui/MainWindow.h"

#include <QTemporaryDir>

namespace vp7::test {

struct ShownApp {
    QTemporaryDir dir;
    AppWindows windows = CreateWindows(dir.path().toStdString(), 1);
    MainWindow& main = *windows.main;
    ShownApp() { main.show(); }
};

} // namespace vp7::test
