#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>

#include "platform/errors.h"
#include "platform/sockets.h"

namespace {

TEST(CloseSocket, ClosesTheHostDescriptorOnce) {
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    EXPECT_EQ(closesocket(static_cast<SOCKET>(pair[0])), 0);
    EXPECT_EQ(fcntl(pair[0], F_GETFD), -1);
    SetLastError(0);
    EXPECT_EQ(closesocket(static_cast<SOCKET>(pair[0])), SOCKET_ERROR);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(closesocket(static_cast<SOCKET>(pair[1])), 0);
}

TEST(CloseSocket, RefusesTheInvalidSocket) {
    SetLastError(0);
    EXPECT_EQ(closesocket(INVALID_SOCKET), SOCKET_ERROR);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

}  // namespace
