// The identifiers are map keys across the program: their ordering decides
// which media or request a call addresses.
#include "TestEnvironment.h"

#include "controller/Contracts.h"

#include <QMap>

namespace {
// Only the addresses matter: identifiers never touch their devices.
AudioDev* fakeAudio(int n) { return reinterpret_cast<AudioDev*>(std::uintptr_t(0x1000 * n)); }
VideoDev* fakeVideo(int n) { return reinterpret_cast<VideoDev*>(std::uintptr_t(0x1000 * n)); }

MediaIdentifier media(const char* path, float in = -1, float out = -1, AudioDev* audio = nullptr,
                      VideoDev* video = nullptr)
{
    MediaIdentifier id;
    id.path = QLatin1String(path);
    id.inTime = in;
    id.outTime = out;
    id.audio = audio;
    id.video = video;
    return id;
}
} // namespace

class IdentifierTest : public QObject {
    Q_OBJECT
private slots:
    void defaultsAreUnset()
    {
        const MediaIdentifier media;
        QVERIFY(media.path.isEmpty());
        QCOMPARE(media.inTime, -1.0f);
        QCOMPARE(media.outTime, -1.0f);
        QCOMPARE(media.markIn, -1.0f);
        QCOMPARE(media.markOut, -1.0f);
        QVERIFY(!media.audio && !media.video);
        const PlotIdentifier plot;
        QVERIFY(plot.path.isEmpty());
        QCOMPARE(plot.start, -1.0f);
        QCOMPARE(plot.end, -1.0f);
        QVERIFY(plot.isWholeFile());
    }

    void marksTakeNoPartInTheOrder()
    {
        MediaIdentifier a = media("a.mp3", -1, -1, fakeAudio(1));
        MediaIdentifier b = a;
        b.markIn = 3;
        b.markOut = 5;
        QVERIFY(!(a < b) && !(b < a));
        QVERIFY(a == b);
        QMap<MediaIdentifier, int> map;
        map.insert(a, 1);
        QCOMPARE(map.value(b), 1);
    }

    void mediaOrderGoesPathInOutAudioVideo()
    {
        // Each later field decides only when all earlier ones are equal.
        QVERIFY(media("a", 9, 9, fakeAudio(9), fakeVideo(9)) < media("b", 0, 0, fakeAudio(1), fakeVideo(1)));
        QVERIFY(media("a", 1, 9, fakeAudio(9)) < media("a", 2, 0, fakeAudio(1)));
        QVERIFY(media("a", 1, 1, fakeAudio(9)) < media("a", 1, 2, fakeAudio(1)));
        QVERIFY(media("a", 1, 1, fakeAudio(1), fakeVideo(9)) < media("a", 1, 1, fakeAudio(2), fakeVideo(1)));
        QVERIFY(media("a", 1, 1, fakeAudio(1), fakeVideo(1)) < media("a", 1, 1, fakeAudio(1), fakeVideo(2)));
        QVERIFY(!(media("a", 1, 1, fakeAudio(1), fakeVideo(2)) < media("a", 1, 1, fakeAudio(1), fakeVideo(1))));
    }

    void twoOpeningsOfOneFileAreTwoKeys()
    {
        QMap<MediaIdentifier, int> map;
        map.insert(media("a.mp3", -1, -1, fakeAudio(1), fakeVideo(1)), 1);
        map.insert(media("a.mp3", -1, -1, fakeAudio(2), fakeVideo(1)), 2);
        QCOMPARE(map.size(), 2);
    }

    void plotEqualityAndOrder()
    {
        const PlotIdentifier whole{QStringLiteral("a.mp3"), -1, -1};
        const PlotIdentifier piece{QStringLiteral("a.mp3"), 0, 2.5f};
        QVERIFY(whole != piece);
        QVERIFY(whole == (PlotIdentifier{QStringLiteral("a.mp3"), -1, -1}));
        QVERIFY(!piece.isWholeFile()); // start 0 is a piece
        QVERIFY((PlotIdentifier{QStringLiteral("a.mp3"), 5, -1}).isWholeFile() == false);
        QVERIFY(whole < piece);
        QVERIFY((PlotIdentifier{QStringLiteral("a.mp3"), 9, 9}) < (PlotIdentifier{QStringLiteral("b.mp3"), -1, -1}));
        QVERIFY((PlotIdentifier{QStringLiteral("a"), 1, 2}) < (PlotIdentifier{QStringLiteral("a"), 1, 3}));
        QVERIFY(!((PlotIdentifier{QStringLiteral("a"), 1, 3}) < (PlotIdentifier{QStringLiteral("a"), 1, 2})));
        QVERIFY(!(piece < piece));
        QMap<PlotIdentifier, int> map;
        map.insert(whole, 1);
        map.insert(piece, 2);
        map.insert(PlotIdentifier{QStringLiteral("a.mp3"), 0, -1}, 3);
        QCOMPARE(map.size(), 3);
        QCOMPARE(map.value(PlotIdentifier{QStringLiteral("a.mp3"), 0, 2.5f}), 2);
    }
};

REPETA_TEST_MAIN(IdentifierTest)
#include "tst_identifiers.moc"
