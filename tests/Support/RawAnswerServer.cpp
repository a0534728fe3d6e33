#include "RawAnswerServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <stdexcept>

namespace quorvelle::test {

RawAnswerServer::RawAnswerServer(Framing framing, qint64 length) : m_listener(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(m_listener, 4) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        throw std::runtime_error("no port");
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this, piece = answer(framing, length), length, chunked = framing == Framing::chunked] {
        serve(piece.first, piece.second, length, chunked ? "0\r\n\r\n" : "");
    });
}

RawAnswerServer::~RawAnswerServer() {
    m_closing = true;
    ::shutdown(m_listener, SHUT_RDWR);
    m_thread.join();
    ::close(m_listener);
}

void RawAnswerServer::waitUntilSentOrStalled() const {
    while (!m_finished && !m_stalled)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

std::pair<QByteArray, QByteArray> RawAnswerServer::answer(Framing framing, qint64 length) {
    const QByteArray body = bodyPiece();
    switch (framing) {
        case Framing::contentLength:
            return {"HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(length) + "\r\n\r\n", body};
        case Framing::closeDelimited: return {"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n", body};
        case Framing::chunked:
            return {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", "100000\r\n" + body + "\r\n"};
        case Framing::statusLine: return {"HTTP/1.1 200 O", QByteArray(body.size(), 'K')};
        case Framing::headerLine: return {"HTTP/1.1 200 OK\r\nX-Endless: ", QByteArray(body.size(), 'a')};
        case Framing::chunkSizeLine:
            return {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1", QByteArray(body.size(), '0')};
    }
    return {};
}

void RawAnswerServer::serve(const QByteArray& head, const QByteArray& piece, qint64 length, const QByteArray& tail) {
    for (int connection; (connection = ::accept(m_listener, nullptr, nullptr)) >= 0; ::close(connection)) {
        char request[8192];
        ::recv(connection, request, sizeof request, 0);
        qint64 sent = 0;
        if (sendAll(connection, head)) {
            for (; sent < length && sendAll(connection, piece); sent += piece.size())
                m_sent += piece.size();
            if (sent >= length) sendAll(connection, tail);
        }
        m_finished = true;
    }
}

bool RawAnswerServer::sendAll(int connection, const QByteArray& bytes) {
    for (qsizetype done = 0; done < bytes.size() && !m_closing;) {
        pollfd writable{connection, POLLOUT, 0};
        if (::poll(&writable, 1, 500) == 0) m_stalled = true;
        const ssize_t written =
            ::send(connection, bytes.constData() + done, bytes.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (written < 0 && errno != EAGAIN) return false;
        done += std::max<ssize_t>(written, 0);
    }
    return !m_closing;
}

}  // namespace quorvelle::test
