// The client's TCP transport on real loopback sockets against a peer that misbehaves on
// purpose: surplus reply bytes, a dropped connection, silence. The peer is a plain socket
// server on a thread of its own (the client's TCP wait blocks its thread, as a real device
// would not care).
#include "comm/NuvBytes.h"
#include "comm/NuvModbus.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <thread>

using namespace rv8::comm;

namespace {

// What the peer does with one received chunk: the bytes to send back, and whether to close
// the connection afterwards.
struct PeerAction {
    QByteArray reply;
    bool close = false;
};

class ScriptedTcpPeer {
public:
    using Script = std::function<PeerAction(const QByteArray& request, int connection, int requestIndex)>;

    explicit ScriptedTcpPeer(Script script)
        : m_script(std::move(script))
    {
        m_listen = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        listen(m_listen, 4);
        socklen_t len = sizeof addr;
        getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len);
        m_port = ntohs(addr.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }
    ~ScriptedTcpPeer()
    {
        m_stop = true;
        m_thread.join();
        close(m_listen);
    }
    uint16_t Port() const { return m_port; }
    int Connections() const { return m_connections; }

private:
    static bool Readable(int fd)
    {
        pollfd p{fd, POLLIN, 0};
        return poll(&p, 1, 20) > 0;
    }
    void Serve()
    {
        int requestIndex = 0;
        while (!m_stop) {
            if (!Readable(m_listen))
                continue;
            const int c = accept(m_listen, nullptr, nullptr);
            if (c < 0)
                continue;
            const int connection = ++m_connections;
            while (!m_stop) {
                if (!Readable(c))
                    continue;
                char buffer[512];
                const ssize_t n = recv(c, buffer, sizeof buffer, 0);
                if (n <= 0)
                    break;
                const PeerAction a = m_script(QByteArray(buffer, static_cast<qsizetype>(n)), connection, requestIndex++);
                if (!a.reply.isEmpty())
                    send(c, a.reply.constData(), static_cast<size_t>(a.reply.size()), MSG_NOSIGNAL);
                if (a.close)
                    break;
            }
            close(c);
        }
    }

    Script m_script;
    int m_listen = -1;
    uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    std::thread m_thread;
};

// A Modbus TCP reply to a read of one register holding `value`.
QByteArray ReadReply(const QByteArray& request, uint16_t value)
{
    QByteArray r = request.left(4);
    AppendWord(r, 5);
    r.append(request.at(6));
    AppendByte(r, 3);
    AppendByte(r, 2);
    AppendWord(r, value);
    return r;
}

struct Fixture {
    TNuvModbus client;
    TNuvModbus_Settings settings;
    std::vector<TNuvModbus_CheckResponseError> errors;
    TNuvModbus_ErrorEventAction answer = meaAbort;

    explicit Fixture(uint16_t port)
    {
        settings.Medium = bmmModbusTcp;
        settings.TcpPort = port;
        settings.Delay.BetweenCommands = 0;
        settings.Delay.TransientError = 0;
        settings.Timeout.Response = 2000;
        settings.MaxAttempts = 3;
        client.SetOnError([this](TNuvModbus_CheckResponseError e, const QString&, bool, TNuvModbus_ErrorEventAction& a) {
            errors.push_back(e);
            a = answer;
        });
    }
};

}  // namespace

TEST(TcpTransport, SurplusBytesKeepTheTailAndTheNextRequestRunsOnANewConnection)
{
    ScriptedTcpPeer peer([](const QByteArray& request, int connection, int) {
        const QByteArray reply = ReadReply(request, static_cast<uint16_t>(connection));
        return PeerAction{connection == 1 ? QByteArray::fromHex("abcd") + reply : reply, false};
    });
    Fixture f(peer.Port());
    ASSERT_TRUE(f.client.Open(f.settings));
    uint16_t v = 0;
    ASSERT_TRUE(f.client.ReadHoldingRegister(1, 1001, v));
    EXPECT_EQ(v, 1);
    ASSERT_TRUE(f.client.ReadHoldingRegister(1, 1001, v));
    EXPECT_EQ(v, 2) << "answered on the re-established connection";
    EXPECT_EQ(peer.Connections(), 2);
    EXPECT_TRUE(f.errors.empty());
}

TEST(TcpTransport, ADroppedConnectionIsReconnectedOnTheNextAttempt)
{
    ScriptedTcpPeer peer([](const QByteArray& request, int, int) {
        return PeerAction{ReadReply(request, 42), true};  // every reply ends its connection
    });
    Fixture f(peer.Port());
    f.answer = meaRetry;
    ASSERT_TRUE(f.client.Open(f.settings));
    uint16_t v = 0;
    ASSERT_TRUE(f.client.ReadHoldingRegister(1, 1001, v));
    // The peer has closed: the send finds no connection (or the reply wait finds it closed),
    // the client reconnects, and the Retry answer succeeds on the new connection.
    ASSERT_TRUE(f.client.ReadHoldingRegister(1, 1001, v));
    EXPECT_EQ(v, 42);
    ASSERT_EQ(f.errors.size(), 1u);
    EXPECT_EQ(f.errors[0], bmeSendRequest_Fatal);
    EXPECT_EQ(peer.Connections(), 2);
}

TEST(TcpTransport, SilenceEndsInTheMissingFieldsAfterTheAttempts)
{
    std::atomic<int> requests{0};
    ScriptedTcpPeer peer([&](const QByteArray&, int, int) {
        ++requests;
        return PeerAction{};
    });
    Fixture f(peer.Port());
    f.settings.Timeout.Response = 30;
    ASSERT_TRUE(f.client.Open(f.settings));
    uint16_t v = 5;
    EXPECT_FALSE(f.client.ReadHoldingRegister(1, 1001, v));
    ASSERT_EQ(f.errors.size(), 1u);
    EXPECT_EQ(f.errors[0], bmeTcp_TransactionIdentifier_Transient);
    EXPECT_EQ(peer.Connections(), 1);
    EXPECT_TRUE(f.client.Close());
    EXPECT_EQ(requests.load(), 3);
}
