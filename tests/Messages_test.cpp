// The table of messages: one distinct text per id, the option errors by their
// index, and a message for every failure status.
#include "base/Messages.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "base/Status.h"

using namespace vx;

TEST(Messages, EveryIdHasItsOwnText) {
    std::set<std::string> seen;
    for (int id = msg::eNoOptionError + 1; id < msg::eCount; ++id) {
        std::string text = msg::text(static_cast<msg::Id>(id));
        EXPECT_FALSE(text.empty()) << "id " << id;
        EXPECT_TRUE(seen.insert(text).second) << "id " << id << " repeats \"" << text << "\"";
    }
    EXPECT_STREQ(msg::text(msg::eCount), "");
}

TEST(Messages, OptionErrorsFollowTheirIndex) {
    const struct {
        int index;
        const char* text;
    } cases[] = {{0, ""},
                 {1, "Error: Option not allowed: /"},
                 {3, "Error: Process aborted"},
                 {9, "Error: Invalid input file"},
                 {12, "Error: Can' open log file: "},
                 {13, ""},
                 {-1, ""}};
    for (const auto& c : cases)
        EXPECT_STREQ(msg::text(msg::optionError(c.index)), c.text) << "index " << c.index;
}

TEST(Messages, EveryFailureStatusHasItsMessage) {
    for (int16_t code : kFailureStatuses)
        EXPECT_NE(msg::forStatus(code), msg::eNoOptionError) << "status " << code;
    EXPECT_STREQ(msg::text(msg::forStatus(kStatusNoSpace)), "Insufficient Disk Space:");
    EXPECT_STREQ(msg::text(msg::forStatus(kStatusNoInput)), "Error Reading File: ");
    EXPECT_STREQ(msg::text(msg::forStatus(kStatusAccessDenied)),
                 "File access denied: Process aborted");
    EXPECT_STREQ(msg::text(msg::forStatus(kStatusOk)), "");
}
