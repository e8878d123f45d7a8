#include "TcpSocket.h"
#include "HostLookup.h"
#include "TestSockets.h"
#include "WhoisTestServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>

#include <chrono>
#include <thread>

using platform::TcpSocket;
using testing_support::Reply;
using testing_support::WhoisTestServer;

TEST(TcpSocket, ConnectsSendsAndReadsUntilTheServerCloses) {
    WhoisTestServer server;
    TcpSocket socket;
    ASSERT_TRUE(socket.Open("127.0.0.1", server.Port()));
    EXPECT_TRUE(socket.Connected());
    const std::string request = "abcd.com\r\n";
    EXPECT_EQ(socket.Send(request.data(), request.size(), 2000), static_cast<long>(request.size()));
    std::string answer;
    char buffer[10];
    for (;;) {
        ASSERT_EQ(socket.WaitReadable(5000), TcpSocket::Wait::Ready);
        const int n = socket.Receive(buffer, sizeof buffer);
        ASSERT_GE(n, 0);
        EXPECT_LE(n, 10);
        if (n == 0) {
            break;
        }
        answer.append(buffer, static_cast<std::size_t>(n));
    }
    socket.Close();
    EXPECT_FALSE(socket.Connected());
    EXPECT_EQ(answer, WhoisTestServer::NoMatchAnswer("abcd"));
    ASSERT_EQ(server.Connections().size(), 1u);
    EXPECT_EQ(server.Connections()[0].request, request);
}

TEST(TcpSocket, ARefusedConnectionFailsAndLeavesNothingOpen) {
    TcpSocket socket;
    EXPECT_FALSE(socket.Open("127.0.0.1", WhoisTestServer::UnusedPort()));
    EXPECT_FALSE(socket.Connected());
}

TEST(TcpSocket, WaitTimesOutOnASilentServer) {
    WhoisTestServer server;
    server.SetResponder([](const std::string&) { return Reply{Reply::Mode::Silent, {}, {}, 0}; });
    TcpSocket socket;
    ASSERT_TRUE(socket.Open("127.0.0.1", server.Port()));
    socket.Send("x\r\n", 3, 1000);
    EXPECT_EQ(socket.WaitReadable(100), TcpSocket::Wait::Timeout);
}

TEST(TcpSocket, CutWakesAWaitAtOnceAndFailsLaterOpens) {
    WhoisTestServer server;
    server.SetResponder([](const std::string&) { return Reply{Reply::Mode::Silent, {}, {}, 0}; });
    TcpSocket socket;
    ASSERT_TRUE(socket.Open("127.0.0.1", server.Port()));
    std::thread cutter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        socket.Cut();
    });
    // Without the cut this wait would last a minute.
    EXPECT_EQ(socket.WaitReadable(60000), TcpSocket::Wait::Cut);
    cutter.join();
    EXPECT_EQ(socket.Receive(nullptr, 0), TcpSocket::kBroken);
    socket.Close();
    EXPECT_FALSE(socket.Open("127.0.0.1", server.Port()));
}

TEST(TcpSocket, AResetConnectionIsBroken) {
    if (!testing_support::net::CanResetConnections()) {
        GTEST_SKIP() << "Wine reads a reset as the end of the answer: recv gives 0, only a later "
                        "send sees WSAECONNRESET, even for a reset sent by a host program";
    }
    WhoisTestServer server;
    server.SetResponder([](const std::string&) {
        return Reply{Reply::Mode::Reset, "half an ans", {}, 0};
    });
    TcpSocket socket;
    ASSERT_TRUE(socket.Open("127.0.0.1", server.Port()));
    socket.Send("x\r\n", 3, 1000);
    std::string got;
    char buffer[10];
    int n = 1;
    while (n > 0 || n == TcpSocket::kReadError) {
        if (socket.WaitReadable(5000) != TcpSocket::Wait::Ready) {
            break;
        }
        n = socket.Receive(buffer, sizeof buffer);
        if (n > 0) {
            got.append(buffer, static_cast<std::size_t>(n));
        }
    }
    EXPECT_EQ(n, TcpSocket::kBroken);
}

TEST(HostLookup, ADottedAddressNeedsNoLookupAndACutEndsEveryWait) {
    platform::HostLookup system({});
    const auto loopback = system.Run("127.0.0.1");
    ASSERT_TRUE(loopback.has_value());
    const unsigned char bytes[4] = {127, 0, 0, 1};
    std::uint32_t expected = 0;
    std::memcpy(&expected, bytes, sizeof expected);
    EXPECT_EQ(*loopback, expected);

    // An injected lookup is asked even for a dotted address, on its helper thread.
    auto asked = std::make_shared<std::atomic<int>>(0);
    platform::HostLookup injected([asked](const std::string&) -> std::optional<std::uint32_t> {
        ++*asked;
        return 42u;
    });
    EXPECT_EQ(injected.Run("127.0.0.1"), std::optional<std::uint32_t>(42u));
    EXPECT_EQ(*asked, 1);

    system.Cut();
    EXPECT_FALSE(system.Run("127.0.0.1").has_value());
}
