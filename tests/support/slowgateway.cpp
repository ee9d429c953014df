#include "slowgateway.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "virtualserial.h"

namespace {

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(uint16_t(port));
    return address;
}

void closeSocket(int &fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

QString lastError(const char *what) {
    return QStringLiteral("slow gateway: %1: %2")
        .arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

}  // namespace

SlowGateway::~SlowGateway() {
    closeSocket(m_accepted);
    closeSocket(m_filler);
    closeSocket(m_listener);
}

bool SlowGateway::start(QString *error) {
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    socklen_t size = sizeof address;
    // A backlog of 0 queues a single connection: the filler's.
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), size) != 0 ||
        ::listen(m_listener, 0) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &size) != 0) {
        return testprocess::fail(error, lastError("listen"));
    }
    m_port = ntohs(address.sin_port);
    m_filler = ::socket(AF_INET, SOCK_STREAM, 0);
    if (m_filler < 0 || ::connect(m_filler, reinterpret_cast<sockaddr *>(&address), size) != 0) {
        return testprocess::fail(error, lastError("filler connect"));
    }
    return true;
}

void SlowGateway::letIn() {
    closeSocket(m_accepted);
    m_accepted = ::accept(m_listener, nullptr, nullptr);
}
