#pragma once

// A scripted HTTP/1.1 server on 127.0.0.1 for tests that talk to a host for real, on the creating
// thread's event loop. Each route (method and exact path) has a queue of answers; a request takes the
// first, and the last one stays to serve every later request. An unscripted route gets 404. Answers:
// a status with headers and a body (optionally dripped a byte at a time, head included or not), silence (never
// answered), or a dropped connection. Qt resends a request whose kept-alive connection closed before any answer, so a
// dropped route may be hit more than once. Requests are recorded whole, in arrival order; their bodies must carry
// Content-Length.

#include <QByteArray>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QUrl>

#include <chrono>
#include <memory>

class QTcpServer;
class QTcpSocket;

namespace quorvelle::test {

using HeaderList = QList<QPair<QByteArray, QByteArray>>;

// First value of a header, the name compared ignoring case; empty when absent.
QByteArray headerValue(const HeaderList& headers, const QByteArray& name);

struct FakeResponse {
    enum class Kind { answer, silence, dropConnection };

    Kind kind = Kind::answer;
    int status = 200;
    HeaderList headers{};
    QByteArray body{};
    // When positive, the body (with dripHead, the whole answer) is sent one byte at a time with this
    // pause before each byte.
    std::chrono::milliseconds dripInterval{0};
    bool dripHead = false;
    // Kept back until the server's releaseHeld(), so that a test answers once the app got somewhere.
    bool held = false;

    static FakeResponse json(int status, const QByteArray& body) {
        return raw(status, body).header("Content-Type", "application/json");
    }
    static FakeResponse raw(int status, const QByteArray& body = {}) { return {.status = status, .body = body}; }
    static FakeResponse silence() { return {.kind = Kind::silence}; }
    static FakeResponse dropConnection() { return {.kind = Kind::dropConnection}; }

    FakeResponse& header(const QByteArray& name, const QByteArray& value) {
        return headers.append({name, value}), *this;
    }
    FakeResponse& drip(std::chrono::milliseconds interval) { return dripInterval = interval, *this; }
    FakeResponse& dripFromTheHead(std::chrono::milliseconds interval) { return dripHead = true, drip(interval); }
    FakeResponse& holdUntilReleased() { return held = true, *this; }
};

struct MultipartPart {
    HeaderList headers;
    QByteArray body;
};

struct RecordedRequest {
    QByteArray method;
    QString path;
    QString rawQuery;
    HeaderList headers;
    QByteArray body;

    QByteArray header(const QByteArray& name) const { return headerValue(headers, name); }
    bool hasHeader(const QByteArray& name) const;
    QJsonObject jsonObject() const { return QJsonDocument::fromJson(body).object(); }
    // The parts of a multipart body; empty when it is not one or its framing is broken.
    QList<MultipartPart> multipartParts() const;
};

class FakeBackendServer : public QObject {
    Q_OBJECT

public:
    // Starts listening; throws std::runtime_error when no port can be had.
    explicit FakeBackendServer(QObject* parent = nullptr);
    ~FakeBackendServer() override;

    // "http://127.0.0.1:<port>", the base address to hand to a client.
    QUrl baseUrl() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_port)); }
    QUrl url(const QString& pathAndQuery) const { return baseUrl().resolved(QUrl(pathAndQuery)); }
    // Stops listening and closes every open connection, as a backend that went away.
    void close();

    void respond(const QByteArray& method, const QString& path, FakeResponse response) {
        m_script[QString::fromLatin1(method.toUpper()) + QLatin1Char(' ') + path].append(std::move(response));
    }
    // Forgets every route's script; recorded requests stay.
    void clearScript() { m_script.clear(); }

    // Sends every answer held back so far (holdUntilReleased); later requests on their connections go on.
    void releaseHeld();

    const QList<RecordedRequest>& requests() const { return m_requests; }
    QList<RecordedRequest> requestsTo(const QString& path) const;
    void clearRequests() { m_requests.clear(); }

Q_SIGNALS:
    void requestReceived(const quorvelle::test::RecordedRequest& request);

private:
    struct Connection;

    void acceptConnections();
    void readFrom(QTcpSocket* socket);
    FakeResponse nextResponse(const QByteArray& method, const QString& path);
    void write(QTcpSocket* socket, const FakeResponse& response);

    std::unique_ptr<QTcpServer> m_server;
    quint16 m_port = 0;
    QHash<QString, QList<FakeResponse>> m_script;
    QList<RecordedRequest> m_requests;
    QHash<QTcpSocket*, std::shared_ptr<Connection>> m_connections;
    QList<QPair<QTcpSocket*, FakeResponse>> m_held;
};

}  // namespace quorvelle::test
