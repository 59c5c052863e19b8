#include <gtest/gtest.h>

#include "app/uninstall_rights.h"

namespace {

struct RightsCase {
    Elevation token;
    long entry, batch;
    bool elevate;
};

TEST(NeedsElevation, OnlyARefusalToALimitedTokenAsksForRights)
{
    const long kNotFound = 2, kSharing = 32;
    const RightsCase cases[] = {
        {Elevation::Limited, 0, 0, false},
        {Elevation::Limited, kAccessDenied, kAccessDenied, true},  // user account control
        {Elevation::Limited, kAccessDenied, 0, true},
        {Elevation::Limited, kNotFound, kAccessDenied, true},      // entry gone, folder refused
        {Elevation::Limited, kNotFound, kSharing, false},         // rights would not help
        {Elevation::Full, kAccessDenied, kAccessDenied, false},   // the elevated run never asks again
        {Elevation::Unknown, kAccessDenied, kAccessDenied, false},
    };
    for (const RightsCase& c : cases)
        EXPECT_EQ(NeedsElevation(c.token, c.entry, c.batch), c.elevate)
            << int(c.token) << " " << c.entry << " " << c.batch;
}

}  // namespace
