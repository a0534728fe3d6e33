#include "FakeBackendServer.h"

#include <QHostAddress>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace quorvelle::test {

namespace {

const QByteArray kCrlf = "\r\n";
const QByteArray kHeaderEnd = "\r\n\r\n";

HeaderList parseHeaderLines(const QByteArray& block) {
    HeaderList headers;
    for (const QByteArray& line : block.split('\n')) {
        const QByteArray trimmed = line.endsWith('\r') ? line.chopped(1) : line;
        const qsizetype colon = trimmed.indexOf(':');
        if (colon <= 0) continue;
        headers.append({trimmed.left(colon).trimmed(), trimmed.mid(colon + 1).trimmed()});
    }
    return headers;
}

}  // namespace

QByteArray headerValue(const HeaderList& headers, const QByteArray& name) {
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
    return {};
}

bool RecordedRequest::hasHeader(const QByteArray& name) const {
    return std::any_of(headers.begin(), headers.end(),
                       [&](const auto& entry) { return entry.first.compare(name, Qt::CaseInsensitive) == 0; });
}

QList<MultipartPart> RecordedRequest::multipartParts() const {
    static const QRegularExpression form(QStringLiteral(R"(^\s*multipart/[^;]*;.*\bboundary\s*=\s*"?([^";]+))"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QByteArray boundary = form.match(QString::fromLatin1(header("Content-Type"))).captured(1).toLatin1();
    if (boundary.isEmpty()) return {};

    // With a CRLF in front, every delimiter (the first included) reads CRLF "--" boundary, and every
    // part's head (empty when it has no headers) ends with an empty line.
    const QByteArray data = kCrlf + body;
    const QByteArray delimiter = kCrlf + "--" + boundary;
    if (!data.startsWith(delimiter)) return {};
    QList<MultipartPart> parts;
    qsizetype position = delimiter.size();
    while (data.mid(position, 2) != "--") {
        const qsizetype next = data.indexOf(delimiter, position);
        const qsizetype headerEnd = data.indexOf(kHeaderEnd, position);
        if (data.mid(position, 2) != kCrlf || next < 0 || headerEnd < 0 || headerEnd + kHeaderEnd.size() > next)
            return {};
        const qsizetype bodyStart = headerEnd + kHeaderEnd.size();
        parts.append(
            {parseHeaderLines(data.mid(position, headerEnd - position)), data.mid(bodyStart, next - bodyStart)});
        position = next + delimiter.size();
    }
    return parts;
}

struct FakeBackendServer::Connection {
    QByteArray buffer;
    bool busy = false;
};

FakeBackendServer::FakeBackendServer(QObject* parent) : QObject(parent), m_server(std::make_unique<QTcpServer>()) {
    if (!m_server->listen(QHostAddress::LocalHost, 0))
        throw std::runtime_error("fake backend server cannot listen: " + m_server->errorString().toStdString());
    m_port = m_server->serverPort();
    connect(m_server.get(), &QTcpServer::newConnection, this, &FakeBackendServer::acceptConnections);
}

FakeBackendServer::~FakeBackendServer() {
    close();
}

QList<RecordedRequest> FakeBackendServer::requestsTo(const QString& path) const {
    QList<RecordedRequest> matching;
    for (const RecordedRequest& request : m_requests)
        if (request.path == path) matching.append(request);
    return matching;
}

void FakeBackendServer::acceptConnections() {
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        m_connections.insert(socket, std::make_shared<Connection>());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_connections.remove(socket);
            socket->deleteLater();
        });
    }
}

void FakeBackendServer::readFrom(QTcpSocket* socket) {
    const auto connection = m_connections.value(socket);
    if (connection) connection->buffer += socket->readAll();
    while (connection && !connection->busy) {
        QByteArray& buffer = connection->buffer;
        const qsizetype headerEnd = buffer.indexOf(kHeaderEnd);
        if (headerEnd < 0) return;
        const QByteArray head = buffer.left(headerEnd);
        const qsizetype lineEnd = head.indexOf(kCrlf);
        const QList<QByteArray> requestLine = head.left(lineEnd < 0 ? head.size() : lineEnd).split(' ');
        const HeaderList headers = lineEnd < 0 ? HeaderList{} : parseHeaderLines(head.mid(lineEnd + 2));
        bool lengthOk = true;
        const QByteArray lengthText = headerValue(headers, "Content-Length");
        const qsizetype length = lengthText.isEmpty() ? 0 : lengthText.toLongLong(&lengthOk);
        const qsizetype bodyStart = headerEnd + kHeaderEnd.size();
        if (requestLine.size() < 2 || !lengthOk || length < 0) {
            write(socket, FakeResponse::json(400, R"({"title":"Bad Request"})").header("Connection", "close"));
            socket->disconnectFromHost();
            return;
        }
        if (buffer.size() - bodyStart < length) return;

        RecordedRequest request{requestLine.at(0), {}, {}, headers, buffer.mid(bodyStart, length)};
        const QByteArray target = requestLine.at(1);
        const qsizetype question = target.indexOf('?');
        request.path = QUrl::fromPercentEncoding(question < 0 ? target : target.left(question));
        request.rawQuery = question < 0 ? QString() : QString::fromLatin1(target.mid(question + 1));
        buffer.remove(0, bodyStart + length);
        m_requests.append(request);
        Q_EMIT requestReceived(request);

        const FakeResponse response = nextResponse(request.method, request.path);
        // Silence or a dropped connection: later requests on this connection wait for ever; a held
        // answer, until it is released.
        connection->busy = response.kind != FakeResponse::Kind::answer || response.held;
        if (response.kind == FakeResponse::Kind::answer && response.held) m_held.append({socket, response});
        if (response.kind == FakeResponse::Kind::dropConnection) socket->abort();
        if (!connection->busy) write(socket, response);
    }
}

FakeResponse FakeBackendServer::nextResponse(const QByteArray& method, const QString& path) {
    auto found = m_script.find(QString::fromLatin1(method.toUpper()) + QLatin1Char(' ') + path);
    if (found == m_script.end() || found->isEmpty()) return FakeResponse::json(404, R"({"title":"Not Found"})");
    return found->size() > 1 ? found->takeFirst() : found->first();
}

void FakeBackendServer::write(QTcpSocket* socket, const FakeResponse& response) {
    QByteArray out = "HTTP/1.1 " + QByteArray::number(response.status) + " Status" + kCrlf;
    for (const auto& [name, value] : response.headers)
        out += name + ": " + value + kCrlf;
    if (headerValue(response.headers, "Content-Length").isEmpty())
        out += "Content-Length: " + QByteArray::number(response.body.size()) + kCrlf;
    out += kCrlf;
    if (response.dripInterval.count() <= 0) {
        socket->write(out + response.body);
        return;
    }
    QByteArray dripped = response.body;
    if (response.dripHead)
        dripped.prepend(out);
    else
        socket->write(out);
    auto* timer = new QTimer(socket);
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, socket, [socket, timer, body = dripped, sent = 0]() mutable {
        if (sent < body.size())
            socket->write(body.mid(sent++, 1));
        else
            timer->deleteLater();
    });
    timer->start(response.dripInterval);
}

void FakeBackendServer::releaseHeld() {
    const auto held = std::exchange(m_held, {});
    for (const auto& [socket, response] : held) {
        const auto connection = m_connections.value(socket);
        // The client gave up on it meanwhile.
        if (!connection) continue;
        connection->busy = false;
        write(socket, response);
        readFrom(socket);
    }
}

void FakeBackendServer::close() {
    m_server->close();
    const auto sockets = m_connections.keys();
    m_connections.clear();
    for (QTcpSocket* socket : sockets) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
}

}  // namespace quorvelle::test
