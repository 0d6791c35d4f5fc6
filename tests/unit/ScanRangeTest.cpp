// The address ranges a LAN search takes, and the ones it refuses with a reason.
#include "scan/ScanRange.h"

#include <gtest/gtest.h>

TEST(ScanRange, RangesAndSubnetsWithinTheLimitAndRefusalsSayWhy) {
    ScanRange range;
    ASSERT_FALSE(ParseScanRange(QStringLiteral("127.0.3.1-127.0.3.20"), range));
    EXPECT_EQ(range.Count(), 20u);
    EXPECT_EQ(range.Address(19), QStringLiteral("127.0.3.20"));
    ASSERT_FALSE(ParseScanSubnet(QStringLiteral("127.0.3.77/24"), range));
    EXPECT_EQ(range.Address(0), QStringLiteral("127.0.3.1")); // no network address
    EXPECT_EQ(range.Count(), 254u);                           // nor broadcast
    ASSERT_FALSE(ParseScanSubnet(QStringLiteral("10.0.0.0/20"), range));
    EXPECT_EQ(range.Count(), 4094u);

    const auto refused = [](std::optional<QString> problem, const char* says) {
        ASSERT_TRUE(problem.has_value()) << says;
        EXPECT_TRUE(problem->contains(QLatin1String(says))) << problem->toStdString();
    };
    refused(ParseScanRange(QStringLiteral("127.0.3.20-127.0.3.1"), range), "ends before");
    refused(ParseScanRange(QStringLiteral("10.0.0.0-10.0.16.0"), range), "at most 4096");
    refused(ParseScanSubnet(QStringLiteral("10.0.0.0/19"), range), "at most 4096");
    refused(ParseScanRange(QStringLiteral("127.0.3-127.0.4.1"), range), "no range");
    refused(ParseScanSubnet(QStringLiteral("127.0.0.0/33"), range), "no IPv4 network");
}
