#pragma once

#include <QByteArray>
#include <QUrl>

#include <atomic>
#include <thread>
#include <utility>

namespace quorvelle::test {

// Answers each connection in turn, on a thread of its own, as fast as the client takes it: a body
// of the given length (announced, close-delimited, or in chunks and then the last chunk), or a head whose status line,
// header line or first chunk-size line never ends (until the length has gone). Counts what it sent
// and notes when the client stopped taking more for half a second.
class RawAnswerServer {
public:
    enum class Framing { contentLength, closeDelimited, chunked, statusLine, headerLine, chunkSizeLine };
    static constexpr qint64 kEndless = qint64(512) << 20;
    // The body is made of this piece, over and over; a length is a whole number of pieces.
    static QByteArray bodyPiece() { return QByteArray(1 << 20, ' '); }

    explicit RawAnswerServer(Framing framing, qint64 length = kEndless);
    ~RawAnswerServer();
    RawAnswerServer(const RawAnswerServer&) = delete;
    RawAnswerServer& operator=(const RawAnswerServer&) = delete;

    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(m_port)); }
    qint64 sent() const { return m_sent; }
    // The client closed the connection, or the whole has gone.
    bool connectionEnded() const { return m_finished; }
    // That, or the client stopped taking more for half a second.
    bool stalledOrEnded() const { return m_finished || m_stalled; }
    // Blocks the calling thread until the whole has gone or the client has stopped taking it.
    void waitUntilSentOrStalled() const;

private:
    // The head sent once, then the piece sent over and over.
    static std::pair<QByteArray, QByteArray> answer(Framing framing, qint64 length);
    // The tail, once the whole length has gone.
    void serve(const QByteArray& head, const QByteArray& piece, qint64 length, const QByteArray& tail);
    bool sendAll(int connection, const QByteArray& bytes);

    int m_listener;
    quint16 m_port = 0;
    std::atomic<qint64> m_sent = 0;
    std::atomic<bool> m_stalled = false;
    std::atomic<bool> m_finished = false;
    std::atomic<bool> m_closing = false;
    std::thread m_thread;
};

}  // namespace quorvelle::test
