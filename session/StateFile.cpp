// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/StateFile.h"

#include "session/Packed.h"
#include "sim/Simulator.h"
#include "sim/Snapshot.h"

#include <cstring>

namespace vp7 {
namespace {

constexpr std::string_view kMagic{"VP7STATE", kSnapshotMagicBytes};
// A device's state is a few megabytes, mostly its picture; far larger sizes are damage.
constexpr uint64_t kMaxSnapshotBytes = 64u << 20;
constexpr std::size_t kMaxVersionBytes = 64;

template <class T> void Put(std::string& out, T value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// Reads the header's fields in order; false once it runs short.
class HeaderReader {
public:
    explicit HeaderReader(std::string_view in) : in_(in) {}
    template <class T> bool Get(T& value) {
        if (in_.size() < sizeof value) return false;
        std::memcpy(&value, in_.data(), sizeof value);
        in_.remove_prefix(sizeof value);
        return true;
    }
    bool Get(std::string& text, std::size_t size) {
        if (in_.size() < size) return false;
        text.assign(in_.substr(0, size));
        in_.remove_prefix(size);
        return true;
    }
    std::string_view Rest() const { return in_; }

private:
    std::string_view in_;
};

// The header up to its checksum: what the checksum covers besides the contents.
std::string HeaderStart(const StateFile& file) {
    std::string header(kMagic);
    Put(header, file.format);
    Put(header, file.variant);
    Put(header, static_cast<uint8_t>(file.version.size()));
    header += file.version;
    Put(header, file.clockMs);
    Put(header, static_cast<uint64_t>(file.snapshot.size()));
    Put(header, static_cast<uint64_t>(file.recording.size()));
    return header;
}

uint64_t Checksum(const std::string& headerStart, std::string_view contents) {
    return SnapshotHash(contents, SnapshotHash(headerStart));
}

StateRefusal Refusal(std::string german, std::string english) {
    return {0, std::move(german), std::move(english)};
}

} // namespace

bool IsSnapshotFile(std::string_view text) {
    return text.starts_with(kMagic);
}

std::string EncodeStateFile(const StateFile& file) {
    StateFile stored = file;
    if (stored.version.size() > kMaxVersionBytes) stored.version.resize(kMaxVersionBytes);
    const std::string contents = stored.snapshot + stored.recording;
    std::string out = HeaderStart(stored);
    Put(out, Checksum(out, contents));
    return out + Pack(contents);
}

std::variant<StateFile, StateRefusal> DecodeStateFile(std::string_view text, std::optional<uint8_t> variant) {
    const auto damaged = [] {
        return Refusal("Der Zustand ist beschädigt oder unvollständig.",
                       "the state is damaged or incomplete");
    };
    if (!IsSnapshotFile(text)) return Refusal("Das ist kein Zustand.", "not a snapshot state");
    HeaderReader in(text.substr(kMagic.size()));
    StateFile file;
    uint8_t versionSize = 0;
    uint64_t snapshotSize = 0, recordingSize = 0, checksum = 0;
    if (!in.Get(file.format)) return damaged();
    if (const uint32_t format = file.format; format < kOldestSnapshotFormat || format > kSnapshotFormat)
        return format > kSnapshotFormat
                   ? Refusal("Der Zustand stammt von einem neueren Programm (Format " +
                                 std::to_string(format) + ").",
                             "the state has a newer format (" + std::to_string(format) + ")")
                   : Refusal("Der Zustand hat ein altes Format (" + std::to_string(format) + ").",
                             "the state has an older format (" + std::to_string(format) + ")");
    if (!in.Get(file.variant) || !in.Get(versionSize) || versionSize > kMaxVersionBytes ||
        !in.Get(file.version, versionSize) || !in.Get(file.clockMs) || !in.Get(snapshotSize) ||
        !in.Get(recordingSize) || !in.Get(checksum))
        return damaged();
    if (file.variant > 2) return damaged();
    if (variant && *variant != file.variant)
        return Refusal("Der Zustand wurde mit " + std::string(VariantWord(file.variant)) +
                           " gespeichert, eingestellt ist " + std::string(VariantWord(*variant)) + ".",
                       "the state was saved on " + std::string(VariantWord(file.variant)) + ", not on " +
                           std::string(VariantWord(*variant)));
    // Bounded before anything is allocated for them.
    if (snapshotSize > kMaxSnapshotBytes || recordingSize > kRecordingMaxBytes) return damaged();
    const auto unpacked = Unpack(in.Rest(), snapshotSize + recordingSize);
    if (!unpacked) return damaged();
    const std::string& contents = *unpacked;
    file.snapshot = contents.substr(0, snapshotSize);
    file.recording = contents.substr(snapshotSize);
    if (Checksum(HeaderStart(file), contents) != checksum) return damaged();
    return file;
}

std::string SaveState(Simulator& sim, std::string_view recording) {
    StateFile file;
    file.variant = sim.state.ControllerType;
    file.version = ProgramVersion();
    file.clockMs = sim.clock.NowMs();
    file.snapshot = TakeSnapshot(sim);
    file.recording = recording;
    return EncodeStateFile(file);
}

std::optional<StateRefusal> LoadState(Simulator& sim, std::string_view text) {
    auto decoded = DecodeStateFile(text, sim.state.ControllerType);
    if (auto* refusal = std::get_if<StateRefusal>(&decoded)) return *refusal;
    const StateFile& file = std::get<StateFile>(decoded);
    if (const auto reason = RestoreSnapshot(sim, file.snapshot, file.format))
        return Refusal("Der Zustand passt nicht zu diesem Gerät: " + *reason,
                       "the state does not fit this device: " + *reason);
    return std::nullopt;
}

} // namespace vp7
