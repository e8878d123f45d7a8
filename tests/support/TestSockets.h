#pragma once

#include <cstdint>
#include <string>

// The few socket calls the test server needs, one implementation per system.
namespace testing_support::net {

using Socket = std::intptr_t;
constexpr Socket kInvalid = -1;

// A listening socket on 127.0.0.1 with an ephemeral port.
Socket ListenLoopback(std::uint16_t& port);
// An accepted connection, or kInvalid when none came within ms.
Socket AcceptWithin(Socket listener, int ms);
// Bytes read (> 0), 0 when the peer closed, -1 when nothing came within ms,
// -2 on an error.
int ReceiveWithin(Socket socket, char* buffer, int size, int ms);
void SendAll(Socket socket, const std::string& data);
void Close(Socket socket);
// Closes so that the peer sees a reset.
void CloseWithReset(Socket socket);
// Whether CloseWithReset really resets: Wine's sockets close gracefully.
bool CanResetConnections();
// A port on 127.0.0.1 where nothing listens.
std::uint16_t UnusedPort();

} // namespace testing_support::net
