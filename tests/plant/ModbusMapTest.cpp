// SPDX-License-Identifier: GPL-3.0-or-later
// The register map as the manual's CSV gives it, and the handling of requests the clients in the other
// tests do not send: bits packed as the protocol packs them, many written at once.
#include "plant/ModbusMap.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace vp7::modbus {
namespace {

// The fields of one CSV line (RFC 4180 quoting).
std::vector<std::string> CsvFields(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"')
            fields.back() += line[++i];
        else if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

TEST(ModbusMapTest, TheInstalledCsvIsTheMapTheServerAnswers) {
    std::ifstream in(std::string(VP7_TEST_SOURCE_DIR) + "/../../doc/modbus-map.csv", std::ios::binary);
    ASSERT_TRUE(in);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "table,address,count,name,unit,access,meaning\r");
    for (const MapEntry& e : MapEntries()) {
        ASSERT_TRUE(std::getline(in, line)) << e.name;
        ASSERT_EQ(line.back(), '\r');
        line.pop_back();
        const std::vector<std::string> expected = {
            std::string(e.table), std::to_string(e.address), std::to_string(e.count), std::string(e.name),
            std::string(e.unit),  std::string(e.access),     std::string(e.meaning)};
        EXPECT_EQ(CsvFields(line), expected);
    }
    EXPECT_FALSE(std::getline(in, line)) << "a row the map does not have: " << line;

    // Each table documented from 0 to its end without a gap.
    const std::map<std::string, size_t> sizes = {{"holding", CountOf<Holding>()},
                                                 {"coil", CountOf<Coil>()},
                                                 {"input", CountOf<Input>()},
                                                 {"discrete", CountOf<Discrete>()}};
    std::map<std::string, size_t> next;
    for (const MapEntry& e : MapEntries()) {
        EXPECT_EQ(static_cast<size_t>(e.address), next[std::string(e.table)]) << e.name;
        next[std::string(e.table)] += static_cast<size_t>(e.count);
    }
    for (const auto& [table, size] : sizes)
        EXPECT_EQ(next[table], size) << table;
}

TEST(ModbusMapTest, BitsAndManyValuesTravelAsTheProtocolPacksThem) {
    PlantImage image;
    image.discrete[static_cast<size_t>(Discrete::FaultOutput)] = 1;
    image.discrete[static_cast<size_t>(Discrete::Automatic)] = 1;
    image.discrete[static_cast<size_t>(Discrete::FirstFault) + 7] = 1; // fault 8, the 14th bit
    image[Input::Position] = static_cast<uint16_t>(-150);              // -1.50 %
    struct Case {
        const char* what;
        std::vector<uint8_t> request, response;
    };
    const Case cases[] = {
        {"discrete inputs, first bit lowest", {0x02, 0, 0, 0, 14}, {0x02, 2, 0x21, 0x20}},
        {"discrete inputs from an offset", {0x02, 0, 5, 0, 1}, {0x02, 1, 0x01}},
        {"a negative position", {0x04, 0, 0, 0, 1}, {0x04, 2, 0xFF, 0x6A}},
        {"coils written at once", {0x0F, 0, 0, 0, 2, 1, 0x02}, {0x0F, 0, 0, 0, 2}},
        {"registers written at once", {0x10, 0, 2, 0, 2, 4, 0, 1, 0, 0}, {0x10, 0, 2, 0, 2}},
        {"what was written reads back", {0x03, 0, 2, 0, 2}, {0x03, 4, 0, 1, 0, 0}},
        {"and the coils", {0x01, 0, 0, 0, 2}, {0x01, 1, 0x02}},
    };
    std::vector<PlantWrite> writes;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(HandleRequest(image, Access::ReadWrite, c.request, writes), c.response);
    }
    const std::vector<PlantWrite> expected = {{PlantWrite::Table::Coil, 0, 0},
                                              {PlantWrite::Table::Coil, 1, 1},
                                              {PlantWrite::Table::Holding, 2, 1},
                                              {PlantWrite::Table::Holding, 3, 0}};
    EXPECT_EQ(writes, expected);
}

} // namespace
} // namespace vp7::modbus
