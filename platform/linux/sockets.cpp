#include "platform/sockets.h"

#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/errors.h"
#include "platform/linux/errors.h"

int closesocket(SOCKET socket) {
    if (socket > static_cast<SOCKET>(INT_MAX)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return SOCKET_ERROR;
    }
    // Linux releases the descriptor even when close is interrupted.
    if (close(static_cast<int>(socket)) == 0 || errno == EINTR) return 0;
    platform::detail::set_last_error_from_errno();
    return SOCKET_ERROR;
}
