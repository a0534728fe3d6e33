#pragma once

// A scripted HTTP/1.1 server on 127.0.0.1 for tests that talk to the backend (or any HTTP host) for
// real. It runs on the thread that creates it, on that thread's event loop, so a test drives it simply
// by running its own code with runTask()/waitUntil().
//
// Use:
//   quorvelle::test::FakeBackendServer server;              // listens at once on a free port
//   server.respond("POST", "/v1/auth/session/refresh",
//                  FakeResponse::json(200, R"({"access_token":"a","refresh_token":"r"})"));
//   server.respond("GET", "/v1/client/config",
//                  FakeResponse::json(503, R"({"title":"down"})").header("Retry-After", "5"));
//   SomeClient client(&manager, server.baseUrl());
//   ... run the client ...
//   const auto& sent = server.requests().at(0);
//   EXPECT_EQ(sent.header("Authorization"), "Bearer a");
//
// Script: each route (method and exact path, the query not included) has a queue of answers. A request
// takes the first answer of its route's queue; the last answer stays and serves every later request, so
// one respond() call scripts a route for good and several calls script a sequence. A request to a route
// without a script gets 404 with the problem body {"title":"Not Found"}.
//
// Answers: a status with headers (repeatable, kept in order) and a body, optionally after a delay
// (a real timer of the server); silence (the request is read and never answered, the connection stays
// open); a dropped connection (closed right after the request was read). A body may be dripped a byte
// at a time. Qt's HTTP stack resends a request whose kept-alive connection closed before any answer,
// so a dropped route may be hit more than once per client call. An answer with status 204 or 304 must have no body: an
// HTTP client ignores it and would read it as the start of the next answer.
//
// Every request is recorded in arrival order once it has been read whole: method, path (decoded),
// raw and parsed query, headers in order, and the raw body. Multipart bodies can be split into parts.
// Request bodies must carry Content-Length (chunked uploads are not understood).

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QUrl>
#include <QUrlQuery>

#include <chrono>
#include <memory>

class QTcpServer;
class QTcpSocket;

namespace quorvelle::test {

using HeaderList = QList<QPair<QByteArray, QByteArray>>;

// First value of a header, the name compared ignoring case; empty when absent.
QByteArray headerValue(const HeaderList& headers, const QByteArray& name);
// Every value of a header, in order.
QList<QByteArray> headerValues(const HeaderList& headers, const QByteArray& name);

struct FakeResponse {
    enum class Kind { answer, silence, dropConnection };

    Kind kind = Kind::answer;
    int status = 200;
    HeaderList headers;
    QByteArray body;
    std::chrono::milliseconds delay{0};
    // When positive, the body is sent one byte at a time with this pause before each byte.
    std::chrono::milliseconds dripInterval{0};

    // An answer with Content-Type application/json.
    static FakeResponse json(int status, const QByteArray& body);
    // An answer with the given body and no Content-Type unless added with header().
    static FakeResponse raw(int status, const QByteArray& body = {});
    static FakeResponse silence();
    static FakeResponse dropConnection();

    // Adds a header line (call again for a repeated header); returns the answer for chaining.
    FakeResponse& header(const QByteArray& name, const QByteArray& value);
    FakeResponse& after(std::chrono::milliseconds wait);
    FakeResponse& drip(std::chrono::milliseconds interval);
};

struct MultipartPart {
    HeaderList headers;
    QByteArray body;

    QByteArray header(const QByteArray& name) const { return headerValue(headers, name); }
    // The name and filename parameters of Content-Disposition; empty when absent.
    QByteArray name() const;
    QByteArray fileName() const;
};

struct RecordedRequest {
    QByteArray method;
    QString path;
    QString rawQuery;
    QUrlQuery query;
    HeaderList headers;
    QByteArray body;

    QByteArray header(const QByteArray& name) const { return headerValue(headers, name); }
    bool hasHeader(const QByteArray& name) const;
    // The body as a JSON object; an empty object when it is not one.
    QJsonObject jsonObject() const;
    // The parts of a multipart body, split at the boundary named in Content-Type; empty when the body
    // is not multipart or its framing is broken.
    QList<MultipartPart> multipartParts() const;
};

class FakeBackendServer : public QObject {
    Q_OBJECT

public:
    // Starts listening; throws std::runtime_error when no port can be had.
    explicit FakeBackendServer(QObject* parent = nullptr);
    ~FakeBackendServer() override;

    quint16 port() const { return m_port; }
    // "http://127.0.0.1:<port>", the base address to hand to a client.
    QUrl baseUrl() const;
    // The base address with this path (and query) resolved against it.
    QUrl url(const QString& pathAndQuery) const;

    // Appends an answer to the route's queue (see the script rules above).
    void respond(const QByteArray& method, const QString& path, FakeResponse response);
    // Forgets every route's script; recorded requests stay.
    void clearScript();

    const QList<RecordedRequest>& requests() const { return m_requests; }
    QList<RecordedRequest> requestsTo(const QString& path) const;
    void clearRequests() { m_requests.clear(); }

    // Stops listening and closes every open connection; later connections are refused.
    void close();

Q_SIGNALS:
    void requestReceived(const quorvelle::test::RecordedRequest& request);

private:
    struct Connection;

    void acceptConnections();
    void readFrom(QTcpSocket* socket);
    void processBuffered(QTcpSocket* socket);
    FakeResponse nextResponse(const QByteArray& method, const QString& path);
    void deliver(QTcpSocket* socket, const FakeResponse& response);
    void write(QTcpSocket* socket, const FakeResponse& response);

    std::unique_ptr<QTcpServer> m_server;
    quint16 m_port = 0;
    QHash<QString, QList<FakeResponse>> m_script;
    QList<RecordedRequest> m_requests;
    QHash<QTcpSocket*, std::shared_ptr<Connection>> m_connections;
};

}  // namespace quorvelle::test
