// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Configuration files (*.vp7): the device's parameter values and the main simulation options in one
// fixed 1528-byte record, saved and loaded from the "Datei" menu to prepare training situations.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vp7 {

class StateVisitor;

class Simulator;

class ConfigFiles {
public:
    static constexpr size_t RecordSize = 1528;
    static constexpr uint32_t Signature = 99881234;
    using Record = std::array<uint8_t, RecordSize>;

    explicit ConfigFiles(Simulator& sim);
    // Its own fields, for a snapshot: saved, loaded, checked and compared alike.
    void DoState(StateVisitor& v);

    void Konfigurationspeichern1Click();
    void Konfigurationladen1Click();

    // The record of the running simulation, and loading one (with every check and message); false when
    // the record was refused (not a record, another variant), true when taken, even with its
    // parameters reset for a bad value.
    Record BuildRecord() const;
    bool LoadRecord(const Record& record);
    // The record in the file at `path`; nothing when the file is not one (unreadable, not of the
    // record's size, another signature, an unknown variant), which loading reports as a file error.
    static std::optional<Record> ReadRecord(const std::string& path);
    // The device variant (0 = 0/4-20 mA, 1 = PA, 2 = FF) a record is for, and its value of the
    // parameter at a table index.
    static uint8_t RecordVariant(const Record& record) { return record[VariantByte]; }
    static int32_t RecordParam(const Record& record, int index);
    // The file error messages: 0 Config folder, 1 Data folder, 2 configuration file.
    void ShowFileError(int code);
    // Their texts, and the message for a record of another variant, in the device's language.
    std::string FileErrorText(int code) const;
    std::string VariantText(uint8_t variant) const;

    // The file last loaded or saved from the menu in this run (empty before), and who is told of each
    // one (the window's title and its list of recent files).
    const std::string& CurrentFile() const { return currentFile_; }
    void OnFileUsed(std::function<void(const std::string& path)> used) { fileUsed_ = std::move(used); }

    static constexpr size_t VariantByte = 4;
    static constexpr uint8_t VariantCount = 3;

private:
    void Used(const std::string& path);

    Simulator& sim_;
    std::string currentFile_;
    std::function<void(const std::string&)> fileUsed_;
};

} // namespace vp7
