#include <gtest/gtest.h>

#include "foundation/socket_handle.h"
#include "platform/irda.h"
#include "platform/winsock.h"

namespace {

TEST(SocketHandle, ClosesAValidSocketWhenItEnds) {
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
    SOCKET const value = socket(AF_IRDA, SOCK_STREAM, 0);
    ASSERT_NE(value, INVALID_SOCKET);
    {
        os::SocketHandle owner(value);
        EXPECT_TRUE(owner.is_valid());
        EXPECT_EQ(owner.get(), value);
    }
    EXPECT_EQ(closesocket(value), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
    WSACleanup();
}

TEST(SocketHandle, TheInvalidSocketOwnsNothing) {
    os::SocketHandle owner(0xFFFFFFFFu);
    EXPECT_FALSE(owner.is_valid());
}

}  // namespace
