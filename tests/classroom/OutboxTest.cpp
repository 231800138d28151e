// SPDX-License-Identifier: GPL-3.0-or-later
// The seat's outbox keeps a hand-in of any size the room's protocol allows, its recording included,
// and reads it back whole.
#include "classroom/Outbox.h"
#include "support/FolderFixture.h"

#include <gtest/gtest.h>

namespace vp7 {
namespace {

using OutboxTest = test::FolderFixture;

TEST_F(OutboxTest, KeepsTheLargestHandInWhole) {
    Outbox outbox(dir / "Outbox");
    const std::string largest(kHandInMaxBytes, 'x');
    const struct {
        const char* id;
        std::string payload;
        bool kept;
    } rows[] = {
        {"a-1", "{}", true},
        {"a-2", largest, true},
        {"a-3", largest + "x", false},
        {"a/4", "{}", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(outbox.Add(row.id, row.payload).has_value(), row.kept) << row.id;
    const std::vector<Outbox::Entry> entries = outbox.Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].payload, "{}");
    EXPECT_EQ(entries[1].payload, largest);
}

} // namespace
} // namespace vp7
