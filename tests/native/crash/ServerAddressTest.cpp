// The name server's address as the mail code takes it: four octets and an
// optional port, each at its limits.
#include <gtest/gtest.h>

#include "crash/SocketAddress.h"

TEST(ServerAddress, OctetsAndPortsAtTheirLimits) {
    uint32_t ip = 0;
    int port = 0;
    ASSERT_TRUE(ParseServerAddress("10.0.0.1:65535", ip, port));
    EXPECT_EQ(ip, 0x0A000001u);
    EXPECT_EQ(port, 65535);
    ASSERT_TRUE(ParseServerAddress("255.255.255.255:1", ip, port));
    EXPECT_EQ(ip, 0xFFFFFFFFu);
    EXPECT_EQ(port, 1);
    // Without a port: the name service's own.
    ASSERT_TRUE(ParseServerAddress("192.168.1.2", ip, port));
    EXPECT_EQ(ip, 0xC0A80102u);
    EXPECT_EQ(port, 53);

    // Refused, and what was there is left alone.
    ip = 7;
    port = 8;
    for (const char* bad : {"10.0.0.1:65536", "10.0.0.1:0", "256.0.0.1", "1.256.0.1", "1.0.256.1", "1.0.0.256",
                            "1.2.3.4:", "1.2.3.4:53x", "1.2.3", "", "1.2.3.4:123456"})
        EXPECT_FALSE(ParseServerAddress(bad, ip, port)) << bad;
    EXPECT_EQ(ip, 7u);
    EXPECT_EQ(port, 8);

    EXPECT_EQ(ConnectedLogLine(0xFF00010Au, 65535), "Connected to 255.0.1.10 port 65535");
}
