// The banner names the version the build is made as, the one in the file's properties and in
// the release's name.
#include <gtest/gtest.h>

#include <string>

#include "console/texts.h"

namespace {

TEST(Version, TheBannerNamesTheBuildsVersion) {
    const std::string banner = texts::kBanner;
    EXPECT_NE(banner.find(std::string(" Ver.") + ORVANE_VERSION_TEXT + "\n"), std::string::npos)
        << "the banner does not name version " << ORVANE_VERSION_TEXT;
}

}  // namespace
