// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/device/SessionOwner.h"

#include "sim/files/Settings.h"
#include "ui/artwork/Artwork.h"
#include "ui/device/ZoomControl.h"

#include <QStandardPaths>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace vp7 {
namespace {

// A recorded session starts without the splash, as a replay of it does.
SimulatorOptions Options(const std::string& programDir, const SessionMode& session) {
    SimulatorOptions options{programDir, 0, UserDataDir()};
    options.withoutSplash = !session.recordPath.empty() || session.script;
    options.randomSeed = session.randomSeed;
    options.settingsFrom = session.settingsFrom;
    return options;
}

} // namespace

std::string UserDataDir() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString();
}

SessionOwner::SessionOwner(const std::string& programDir, int screenScale, Clock* clock)
    : clock_(clock ? *clock : realClock_),
      sprites_(LoadArtwork(ZoomControl::StartingPictureScale(programDir, UserDataDir(), screenScale))),
      programDir_(programDir) {}

SessionOwner::~SessionOwner() = default;

void SessionOwner::Open(QWidget* window, const SessionMode& mode) {
    host_.emplace(window);
    session_ = std::make_unique<Session>(clock_, *host_, sprites_, Options(programDir_, mode));
}

std::unique_ptr<Session> SessionOwner::NewSession(std::unique_ptr<Clock> clock, std::optional<uint64_t> seed,
                                                  const std::string& settingsFrom) {
    SimulatorOptions options{programDir_, 0, UserDataDir()};
    options.withoutSplash = true;
    options.randomSeed = seed;
    options.settingsFrom = settingsFrom;
    auto next = std::make_unique<Session>(std::move(clock), *host_, sprites_, std::move(options));
    next->Sim().image1.KeepLog();
    return next;
}

std::unique_ptr<Session> SessionOwner::Replace(std::unique_ptr<Session> next) {
    std::unique_ptr<Session> old = std::exchange(session_, std::move(next));
    // The new device read its settings when it was created; the sections are written with them from
    // now on.
    for (const auto& [read, write] : sections_)
        session_->Sim().settings.AddSection(read, write);
    return old;
}

void SessionOwner::AddSettingsSection(std::function<void(const IniFile&)> read,
                                      std::function<void(IniFile&)> write) {
    session_->Sim().settings.AddSection(read, write);
    sections_.emplace_back(std::move(read), std::move(write));
}

int SessionOwner::PictureScale() const {
    return sprites_.Get(SpriteId::DevicePicture).Scale();
}

void SessionOwner::SetPictureScale(int scale) {
    const int before = PictureScale();
    if (scale == before) return;
    {
        const SpriteSet previous = std::exchange(sprites_, LoadArtwork(scale));
        session_->Sim().SpritesRescaled(previous);
    }
#ifdef __GLIBC__
    // The sprites of a larger scale take up to a few hundred MiB; they go back to the system.
    if (scale < before) malloc_trim(0);
#endif
}

} // namespace vp7
