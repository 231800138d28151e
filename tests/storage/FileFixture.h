#pragma once
// The simulator fixture with what the tests of the program's files need: their bytes, the settings
// file's place, and a close as a user makes it (which writes the settings).
#include "support/SimFixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace vp7::test {

inline std::string Bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

struct FileFixture : SimFixture {
    std::filesystem::path Ini() const { return dir / "Config" / "VP7.ini"; }
    int32_t ParamValue(const char* name) {
        return sim->params.ParamTable[sim->params.FindByName(name)].Value;
    }
    void Close() {
        ASSERT_TRUE(sim->FormCloseQuery());
        sim->FormClose();
    }
};

} // namespace vp7::test
