// The packet queue: order, byte totals, the flush marker, and one producer
// with one consumer on their own threads.
#include "TestEnvironment.h"

#include "media/PacketQueue.h"

extern "C" {
#include <libavcodec/packet.h>
}

#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include <memory>

namespace {

struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
using Packet = std::unique_ptr<AVPacket, PacketFree>;

// A packet of `size` bytes, each holding `fill`, numbered by its pts.
Packet makePacket(int size, char fill, std::int64_t number = 0)
{
    Packet packet(av_packet_alloc());
    if (av_new_packet(packet.get(), size) < 0)
        return nullptr;
    std::memset(packet->data, fill, size_t(size));
    packet->pts = number;
    return packet;
}

Packet emptyPacket() { return Packet(av_packet_alloc()); }

} // namespace

class QueueTest : public QObject {
    Q_OBJECT
private slots:
    void packetsComeOutInOrderWithTheirBytes();
    void putTakesTheReferenceAndCopiesUnownedPayloads();
    void nonBlockingGetOnEmptyLeavesThePacket();
    void flushLeavesOnlyTheMarker();
    void markerIsKnownByItsPayloadNotItsContents();
    void timedGetWaitsForAPacket();
    void producerAndConsumerOnTwoThreads();
};

void QueueTest::packetsComeOutInOrderWithTheirBytes()
{
    PacketQueue queue;
    for (int i = 0; i < 3; ++i) {
        Packet packet = makePacket(100 + i, 'a', i);
        QVERIFY(queue.put(packet.get()));
        QCOMPARE(packet->data, nullptr); // the queue holds it now
    }
    QCOMPARE(queue.bytes(), 303);
    QCOMPARE(queue.count(), 3);
    for (int i = 0; i < 3; ++i) {
        Packet out = emptyPacket();
        QVERIFY(queue.get(out.get(), false));
        QCOMPARE(out->pts, i);
        QCOMPARE(out->size, 100 + i);
        QCOMPARE(out->data[0], uint8_t('a'));
    }
    QCOMPARE(queue.bytes(), 0);
}

void QueueTest::putTakesTheReferenceAndCopiesUnownedPayloads()
{
    PacketQueue queue;
    // A packet over memory it does not own, as some demuxers hand out.
    uint8_t bytes[16] = {7};
    Packet borrowed = emptyPacket();
    borrowed->data = bytes;
    borrowed->size = sizeof bytes;
    QVERIFY(queue.put(borrowed.get()));
    bytes[0] = 9; // the queue's copy stays as it was put
    Packet out = emptyPacket();
    QVERIFY(queue.get(out.get(), false));
    QVERIFY(out->buf != nullptr);
    QVERIFY(out->data != bytes);
    QCOMPARE(out->data[0], uint8_t(7));
}

void QueueTest::nonBlockingGetOnEmptyLeavesThePacket()
{
    PacketQueue queue;
    Packet out = makePacket(4, 'x', 42);
    QVERIFY(!queue.get(out.get(), false));
    QCOMPARE(out->pts, 42);
    QCOMPARE(out->size, 4);
    QCOMPARE(out->data[0], uint8_t('x'));
}

void QueueTest::flushLeavesOnlyTheMarker()
{
    PacketQueue queue;
    for (int i = 0; i < 5; ++i) {
        Packet packet = makePacket(1000, 'p', i);
        QVERIFY(queue.put(packet.get()));
    }
    queue.flush();
    QCOMPARE(queue.count(), 1);
    QCOMPARE(queue.bytes(), 0);
    Packet out = emptyPacket();
    QVERIFY(queue.get(out.get(), false));
    QVERIFY(PacketQueue::isFlushMarker(out.get()));
    QVERIFY(!queue.get(out.get(), false));

    // A marker taken out can be put back as a marker.
    PacketQueue other;
    QVERIFY(other.put(out.get()));
    Packet again = emptyPacket();
    QVERIFY(other.get(again.get(), false));
    QVERIFY(PacketQueue::isFlushMarker(again.get()));
}

void QueueTest::markerIsKnownByItsPayloadNotItsContents()
{
    Packet lookalike = makePacket(1, 'F');
    QVERIFY(!PacketQueue::isFlushMarker(lookalike.get()));
    Packet blank = emptyPacket();
    QVERIFY(!PacketQueue::isFlushMarker(blank.get()));
    QVERIFY(!PacketQueue::isFlushMarker(nullptr));
    PacketQueue queue;
    queue.flush();
    Packet marker = emptyPacket();
    QVERIFY(queue.get(marker.get(), false));
    QVERIFY(PacketQueue::isFlushMarker(marker.get()));
    QCOMPARE(marker->size, 0);
}

void QueueTest::timedGetWaitsForAPacket()
{
    PacketQueue queue;
    Packet out = emptyPacket();
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!queue.getWithin(out.get(), 50));
    QVERIFY(clock.elapsed() >= 45);

    std::unique_ptr<QThread> producer(QThread::create([&queue] {
        QThread::msleep(30);
        Packet packet = makePacket(8, 'w', 1);
        if (!queue.put(packet.get()))
            qFatal("put failed");
    }));
    producer->setObjectName(QStringLiteral("producer"));
    clock.restart();
    producer->start();
    QVERIFY(queue.getWithin(out.get(), 5000));
    QVERIFY(clock.elapsed() < 2000); // woken by the put, not by the timeout
    QCOMPARE(out->pts, 1);
    producer->wait();
}

// Sizes and order survive a producer and a consumer racing, with flushes
// from a third thread between them.
void QueueTest::producerAndConsumerOnTwoThreads()
{
    constexpr int kPackets = 3000;
    PacketQueue queue;
    std::atomic<bool> produced{false};
    std::unique_ptr<QThread> producer(QThread::create([&] {
        for (int i = 0; i < kPackets; ++i) {
            Packet packet = makePacket(1 + i % 50, char(i % 128), i);
            if (!queue.put(packet.get()))
                qFatal("put failed");
        }
        produced.store(true);
    }));
    producer->setObjectName(QStringLiteral("producer"));

    // Read after the consumer has ended; atomic because QThread::wait()
    // orders them through locks that ThreadSanitizer does not see.
    std::atomic<int> received{0};
    std::atomic<int> markers{0};
    std::atomic<bool> ordered{true};
    std::atomic<bool> intact{true};
    std::int64_t last = -1;
    std::unique_ptr<QThread> consumer(QThread::create([&] {
        Packet out = emptyPacket();
        while (!produced.load() || queue.count() > 0) {
            if (!queue.getWithin(out.get(), 10))
                continue;
            if (PacketQueue::isFlushMarker(out.get())) {
                ++markers;
            } else {
                if (out->pts <= last)
                    ordered = false;
                if (out->size != 1 + out->pts % 50 || out->data[0] != uint8_t(out->pts % 128))
                    intact = false;
                last = out->pts;
                ++received;
            }
            av_packet_unref(out.get());
        }
    }));
    consumer->setObjectName(QStringLiteral("consumer"));
    producer->start();
    consumer->start();
    for (int i = 0; i < 5; ++i) {
        QThread::msleep(1);
        queue.flush();
    }
    producer->wait();
    consumer->wait();
    QVERIFY(ordered);
    QVERIFY(intact);
    QVERIFY(markers.load() >= 1 && markers.load() <= 5);
    QVERIFY(received.load() <= kPackets);
    QCOMPARE(queue.bytes(), 0);
}

REPETA_TEST_MAIN(QueueTest)
#include "tst_queue.moc"
