// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/ConfigCompare.h"

#include "session/language/ScriptWords.h"
#include "sim/Simulator.h"
#include "sim/files/ConfigFiles.h"
#include "sim/operation/ParamSet.h"
#include "sim/operation/ParamTableView.h"

#include <array>

namespace vp7 {
namespace {

constexpr int kConfigurationFileError = 2; // ConfigFiles::ShowFileError's code

using Values = std::array<int32_t, ParamSet::TableSize>;

Values RunningValues(const ParamSet& params) {
    Values values{};
    for (int i = params.ParamFirstIndex; i <= params.ParamLastIndex; ++i)
        values[i] = params.ParamTable[i].Value;
    return values;
}

// The parameter values of a configuration file, checked as loading checks them; else the refusal.
std::variant<Values, std::string> FileValues(Simulator& sim, const std::string& path) {
    const ConfigFiles& files = sim.configFiles;
    const auto record = ConfigFiles::ReadRecord(path);
    if (!record) return files.FileErrorText(kConfigurationFileError);
    if (ConfigFiles::RecordVariant(*record) != sim.state.ControllerType)
        return files.VariantText(ConfigFiles::RecordVariant(*record));
    const ParamSet& params = sim.params;
    Values values{};
    for (int i = params.ParamFirstIndex; i <= params.ParamLastIndex; ++i) {
        const TParamField& field = params.ParamTable[i];
        values[i] = ConfigFiles::RecordParam(*record, i);
        if ((values[i] < field.Min || values[i] > field.Max) && values[i] != field.Special)
            return files.FileErrorText(kConfigurationFileError);
    }
    return values;
}

} // namespace

std::variant<std::vector<CompareRow>, std::string>
CompareConfigurations(Simulator& running, const std::string& fileA, const std::optional<std::string>& fileB) {
    auto first = FileValues(running, fileA);
    if (const auto* refusal = std::get_if<std::string>(&first)) return *refusal;
    Values left = RunningValues(running.params), right = std::get<Values>(first);
    if (fileB) {
        auto second = FileValues(running, *fileB);
        if (const auto* refusal = std::get_if<std::string>(&second)) return *refusal;
        left = right;
        right = std::get<Values>(second);
    }
    const ParamSet& params = running.params;
    std::vector<CompareRow> rows;
    for (int i = params.ParamFirstIndex; i <= params.ParamLastIndex; ++i) {
        const ParamKind kind = params.ParamTable[i].Kind;
        if (kind == ParamKind::None || kind == ParamKind::Action || kind == ParamKind::Reset) continue;
        CompareRow row{std::string(Trimmed(params.ParamTable[i].Name)),
                       std::string(Trimmed(running.paramTableView.ParamValueText(i, left[i]))),
                       std::string(Trimmed(running.paramTableView.ParamValueText(i, right[i])))};
        row.differs = row.left != row.right;
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace vp7
