// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a desktop program is expected to do, added to the user's own program window (a played or an
// exercise's device goes without): the first start in the desktop's language, the window title with
// the configuration file's name, the recently used configuration files, Ctrl+O / Ctrl+S / Ctrl+P /
// Ctrl+Q, printing and exporting the configuration, and Qt's own texts in the program's language.
#include "formats/RecentFiles.h"
#include "ui/qt/QtTranslation.h"

#include <QObject>

#include <string>

class QAction;
class QMenu;

namespace vp7 {

class MainWindow;
class Simulator;

class DesktopConventions : public QObject {
    Q_OBJECT
public:
    explicit DesktopConventions(Language desktopLanguage);
    ~DesktopConventions() override;

    // Before the window's simulator reads its settings (SessionMode::beforeStart).
    void BeforeStart(Simulator& sim);
    // Once the window is built: its menu items, shortcuts and title.
    void Attach(MainWindow& window);

    const RecentFiles& Recent() const { return recent_; }
    const QtTranslation& Translation() const { return translation_; }
    // A file of the recent list loaded as "Konfiguration laden" loads one, its dialog answered with the
    // file: the same checks and messages, and recorded as such. A file no longer there leaves the list.
    void OpenRecent(const std::string& path);

private:
    void Sync();
    void ShowCurrentFile();
    void FillRecentMenu();
    void EnableRecentMenu();

    const Language desktopLanguage_;
    RecentFiles recent_;
    QtTranslation translation_;
    MainWindow* window_ = nullptr;
    QAction* loadAction_ = nullptr;
    QMenu* recentMenu_ = nullptr;
};

} // namespace vp7
