// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Sha256.h"
#include "support/Bytes.h"
#include "support/FolderFixture.h"

#include <cstdio>

namespace vp7 {
namespace {

// The FIPS 180 examples, lengths around the block and padding edges added in pieces of every size.
using Sha256Test = test::FolderFixture;

TEST_F(Sha256Test, MatchesTheStandardsExamplesAndSha256sum) {
    const std::pair<std::string, const char*> vectors[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrs"
         "mnopqrstnopqrstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& [text, digest] : vectors) {
        EXPECT_EQ(Sha256Hex(text), digest) << text.size();
        Sha256 pieces;
        for (size_t at = 0, piece = 1; at < text.size(); at += piece, piece = piece % 97 + 1)
            pieces.Add(std::string_view(text).substr(at, piece));
        EXPECT_EQ(pieces.HexDigest(), digest) << text.size();
    }

    // Every length from 0 to 130 bytes against sha256sum's own output for the file.
    const auto file = dir / "text";
    std::string text;
    for (int length = 0; length <= 130; ++length, text += static_cast<char>(length * 37)) {
        test::WriteBytes(file, text);
        FILE* sum = popen(("sha256sum " + file.string()).c_str(), "r");
        ASSERT_NE(sum, nullptr);
        char printed[65] = {};
        ASSERT_EQ(std::fread(printed, 1, 64, sum), 64u);
        pclose(sum);
        EXPECT_EQ(Sha256Hex(text), printed) << length;
    }
}

} // namespace
} // namespace vp7
