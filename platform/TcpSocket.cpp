#include "TcpSocket.h"

#include "HostLookup.h"

namespace platform {

bool TcpSocket::Open(const std::string& host, std::uint16_t port) {
    Close();
    const std::optional<std::uint32_t> address = lookup_->Run(host);
    if (!address || *address == 0) {
        return false; // no address, or cut; connecting to 0.0.0.0 fails by definition
    }
    return Connect(*address, port);
}

void TcpSocket::Cut() {
    lookup_->Cut();
    CutConnection();
}

} // namespace platform
