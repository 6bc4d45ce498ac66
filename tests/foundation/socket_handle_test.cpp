#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>

#include "foundation/socket_handle.h"

namespace {

TEST(SocketHandle, ClosesAValidSocketWhenItEnds) {
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    {
        os::SocketHandle owner(static_cast<std::uint32_t>(pair[0]));
        EXPECT_TRUE(owner.is_valid());
        EXPECT_EQ(owner.get(), static_cast<std::uint32_t>(pair[0]));
        EXPECT_NE(fcntl(pair[0], F_GETFD), -1);
    }
    EXPECT_EQ(fcntl(pair[0], F_GETFD), -1);
    EXPECT_NE(fcntl(pair[1], F_GETFD), -1);
    os::SocketHandle other_end(static_cast<std::uint32_t>(pair[1]));
}

TEST(SocketHandle, TheInvalidSocketOwnsNothing) {
    os::SocketHandle owner(0xFFFFFFFFu);
    EXPECT_FALSE(owner.is_valid());
}

}  // namespace
