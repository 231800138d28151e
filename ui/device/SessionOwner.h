// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The session a device window shows (the program's main window, a player's), owned apart from the
// window, which only shows it: the device's clock, host and artwork, the session in place now, the
// sessions made to take its place (a saved state's, a rewind's), and the settings sections each of
// them carries.
#include "model/SpriteSet.h"
#include "session/Session.h"
#include "ui/device/SessionMode.h"
#include "ui/qt/QtClock.h"
#include "ui/qt/QtHost.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QWidget;

namespace vp7 {

class IniFile;

// The per-user folder the settings go to when the program's own is installed or cannot be written.
std::string UserDataDir();

class SessionOwner {
public:
    // `programDir` holds the settings and data folders; the artwork is drawn at the scale the zoom kept
    // there needs on a screen of `screenScale`. The devices run on `clock` when one is given (tests
    // pass a virtual one), else on real time.
    SessionOwner(const std::string& programDir, int screenScale, Clock* clock = nullptr);
    ~SessionOwner();
    SessionOwner(const SessionOwner&) = delete;
    SessionOwner& operator=(const SessionOwner&) = delete;

    // The first session, begun as `mode` says, its device's dialogs over `window`; not started yet.
    void Open(QWidget* window, const SessionMode& mode);
    Session& Current() const { return *session_; }
    QtHost& Host() { return *host_; }
    const std::string& ProgramDir() const { return programDir_; }
    // A session to take the current one's place, as DeviceWindow::NewSession says.
    std::unique_ptr<Session> NewSession(std::unique_ptr<Clock> clock, std::optional<uint64_t> seed,
                                        const std::string& settingsFrom = {});
    // Puts `next` in place and gives it the settings sections; the old session, returned, goes when
    // its caller has let everything that shows it follow the new one.
    std::unique_ptr<Session> Replace(std::unique_ptr<Session> next);
    // A settings section attached to every session: the first reads it, all write it.
    void AddSettingsSection(std::function<void(const IniFile&)> read, std::function<void(IniFile&)> write);
    // The scale the artwork is drawn at; a new one renders it anew and the device draws its picture
    // again at it.
    int PictureScale() const;
    void SetPictureScale(int scale);

private:
    QtClock realClock_;
    Clock& clock_;
    std::optional<QtHost> host_;
    SpriteSet sprites_;
    std::string programDir_;
    std::vector<std::pair<std::function<void(const IniFile&)>, std::function<void(IniFile&)>>> sections_;
    std::unique_ptr<Session> session_;
};

} // namespace vp7
