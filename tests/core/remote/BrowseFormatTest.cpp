#include "core/remote/SiteAddress.h"
#include "core/remote/SizeText.h"

#include <gtest/gtest.h>

#include <clocale>

namespace tidewell {
namespace {

// "0 Bytes", "1.00 KB" and "2.00 KB" are shown through the window in BrowseWindowTest.
TEST(SizeText, RangeBoundaries) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {-5, "-5 Bytes"},     {1023, "1023 Bytes"},
        {1536, "1.50 KB"},    {1048575, "1024.00 KB"},
        {1048576, "1.00 MB"}, {5LL * 1024 * 1024 * 1024, "5120.00 MB"}, // past 32 bits
    };
    for (const auto& [n, text] : cases) {
        EXPECT_EQ(FormatSizeText(n), text) << n;
    }
}

TEST(SizeText, DateTextShowsTheListedFieldsUnchanged) {
    std::setlocale(LC_ALL, "C");
    // 2026-12-06 10:00:00 as listed; no zone is applied to it.
    EXPECT_EQ(FormatDateText(1796551200), "12/06/26 10:00:00");
    EXPECT_EQ(FormatDateText(0), "01/01/70 00:00:00");
}

TEST(SiteAddressParsing, HostsPortsAndIpv6) {
    EXPECT_EQ(ParseSiteAddress("ftp.example.org"), (SiteAddress{"ftp.example.org", 0}));
    EXPECT_EQ(ParseSiteAddress("127.0.0.1:2121"), (SiteAddress{"127.0.0.1", 2121}));
    EXPECT_EQ(ParseSiteAddress("[::1]:2121"), (SiteAddress{"::1", 2121}));
    EXPECT_EQ(ParseSiteAddress("[::1]"), (SiteAddress{"::1", 0}));
    EXPECT_EQ(ParseSiteAddress("::1"), (SiteAddress{"::1", 0}));
    using ftp::Security;
    EXPECT_EQ(ParseSiteAddress("FTPES://host:2121/"), (SiteAddress{"host", 2121, Security::Explicit}));
    EXPECT_EQ(ParseSiteAddress("ftps://[::1]"), (SiteAddress{"::1", 0, Security::Implicit}));
    EXPECT_EQ(ParseSiteAddress("ftp://host"), (SiteAddress{"host", 0, Security::Plain}));
    EXPECT_EQ(ParseSiteAddress("SFTP://host:2222/"),
              (SiteAddress{"host", 2222, Security::Auto, Protocol::Sftp}));
}

TEST(SiteAddressParsing, BadPortsAreRefused) {
    for (const char* text : {"host:", "host:0", "host:65536", "host:21x", "[::1", "[::1]x",
                             "[::1]:", "h:123456", "ftps://", "ftp://:21"}) {
        EXPECT_FALSE(ParseSiteAddress(text).has_value()) << text;
    }
    EXPECT_EQ(ParseSiteAddress("host:65535")->port, 65535);
}

} // namespace
} // namespace tidewell
