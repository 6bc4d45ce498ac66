#include "foundation/winsock_startup.h"

#include "platform/winsock.h"

namespace os {

WinsockStartup::WinsockStartup() {
    WSADATA data;
    started_ = WSAStartup(MAKEWORD(1, 1), &data) == 0;
}

WinsockStartup::~WinsockStartup() {
    if (started_) WSACleanup();
}

}  // namespace os
