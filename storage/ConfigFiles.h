#pragma once
// Configuration files (*.vp7): the device's parameter values and the main simulation options in one
// fixed 1528-byte record, saved and loaded from the "Datei" menu to prepare training situations.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace vp7 {

class Simulator;

class ConfigFiles {
public:
    static constexpr size_t RecordSize = 1528;
    static constexpr uint32_t Signature = 99881234;
    using Record = std::array<uint8_t, RecordSize>;

    explicit ConfigFiles(Simulator& sim);

    void Konfigurationspeichern1Click();
    void Konfigurationladen1Click();

    // The record of the running simulation, and loading one (with every check and message).
    Record BuildRecord() const;
    void LoadRecord(const Record& record);
    // The file error messages: 0 Config folder, 1 Data folder, 2 configuration file.
    void ShowFileError(int code);

private:
    Simulator& sim_;
};

} // namespace vp7
