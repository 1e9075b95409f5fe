// Correcting sentences in the LRC file: moved boundaries, splits, and the
// rewrite that must never lose or alter what it does not edit.
#include "ControllerFixture.h"

#include "controller/LrcReader.h"
#include "controller/LrcRewrite.h"

#include <QFile>

namespace {
const QString kMaterial = QStringLiteral("./workspace/lesson.mp3");
const QString kLrc = QStringLiteral("./workspace/lesson.lrc");
using testenv::readFile;
using testenv::writeFile;
} // namespace

class EditingTest : public ControllerFixture {
    Q_OBJECT
private:
    void openWith(const QByteArray& lrc, int sentence)
    {
        writeFile(kLrc, lrc);
        m_repeta->openMaterial(kMaterial);
        m_repeta->choosePhase(ListenRepeat);
        m_repeta->selectSentence(sentence);
    }

    void setMarks(float in, float out)
    {
        m_views->pce.markIn = in;
        m_views->pce.markOut = out;
    }

private slots:
    void initTestCase()
    {
        enterHome();
        resetHome();
        copyMedia(QStringLiteral("sentences.mp3"), kMaterial);
    }

    void cleanupTestCase() { leaveHome(); }
    void init() { makeController(); }
    void cleanup() { destroyController(); }

    void timesAreWrittenInTheShortForm()
    {
        QCOMPARE(formatLrcTime(65.5f), QStringLiteral("1:5.5"));
        QCOMPARE(formatLrcTime(3.0f), QStringLiteral("0:3"));
        QCOMPARE(formatLrcTime(0.0f), QStringLiteral("0:0"));
        QCOMPARE(formatLrcTime(600.25f), QStringLiteral("10:0.25"));
        QVERIFY(formatLrcTime(-1.0f).isEmpty());
        QCOMPARE(parseLrcTime(formatLrcTime(14.5f)), 14.5f);
    }

    void movingTheMarksRetagsTheSentenceAndTheNextOne()
    {
        // Line endings, metadata and a line that is not UTF-8 come back byte for byte.
        const QByteArray head = "[ti:Lesson]\r\n\xc4\xe3\xba\xc3 not utf-8\n[0:00]Intro\r\n";
        const QByteArray tail = "[0:30]Last\n";
        openWith(head + "[0:10]Sentence A\r\n[0:20]Sentence B\r\n" + tail, 1);
        m_views->tabs.sentences[1] = QStringLiteral("Sentence A, corrected\r\n");
        setMarks(0.1f, 0.9f);
        m_repeta->setLrcEditing(true);
        QVERIFY(m_views->log.contains(QStringLiteral("pce.setMarking(true)")));
        QCOMPARE(readFile(kLrc), head + "[0:10]Sentence A\r\n[0:20]Sentence B\r\n" + tail);

        m_views->log.clear();
        m_repeta->setLrcEditing(false);
        QCOMPARE(readFile(kLrc), head + "[0:11]Sentence A, corrected\r\n[0:19]Sentence B\r\n" + tail);
        QVERIFY(!QFile::exists(kLrc + QStringLiteral(".lrc")));
        // The timeline follows the file.
        QCOMPARE(m_repeta->sentenceStarts(), (QVector<float>{0, 11, 19, 30}));
        QVERIFY(m_views->log.inOrder({
            QStringLiteral("pce.setMarking(false)"),
            QStringLiteral("pce.setPixmap(null)"),
            QStringLiteral("tabs.setSentences(4)"),
            QStringLiteral("ori.setCurrentSentence(1)"),
            QStringLiteral("tabs.showSentence(1,-1,-1)"),
            QStringLiteral("pce.setPlotting(true)"),
        }));
    }

    void aFirstSentenceAtZeroKeepsItsStart()
    {
        openWith("[0:00]First\r\n[0:10]Second\r\n", 0);
        setMarks(0.1f, 0.9f);
        m_repeta->setLrcEditing(false);
        QCOMPARE(readFile(kLrc), QByteArray("[0:00]First\r\n[0:9]Second\r\n"));
    }

    void marksInTheWrongOrderWriteNothing()
    {
        const QByteArray lrc = "[0:00]First\r\n[0:10]Second\r\n";
        openWith(lrc, 0);
        setMarks(0.8f, 0.2f);
        m_repeta->setLrcEditing(false);
        QCOMPARE(readFile(kLrc), lrc);
    }

    void splittingStartsANewSentenceAtTheSelection()
    {
        openWith("[0:00]Hello.\n[0:10]Good morning. How are you?\n[0:20]Next\n", 1);
        m_views->tabs.selection = QStringLiteral("How");
        setMarks(0.45f, 1.0f); // mark-in at 14.5 s
        m_repeta->splitSentence();
        QCOMPARE(readFile(kLrc),
                 QByteArray("[0:00]Hello.\n[0:10]Good morning. \r\n[0:14.5]How are you?\n[0:20]Next\n"));
        QCOMPARE(m_repeta->sentenceCount(), 4u);
    }

    void aSplitNeverDuplicatesOrLosesALine()
    {
        const QByteArray lrc = "[0:00]Hello.\n[0:10]Good morning.\n[0:20]Next\n";
        for (const char* selection : {"", "absent", "0:1"}) {
            openWith(lrc, 1);
            m_views->tabs.selection = QLatin1String(selection);
            setMarks(0.2f, 0.8f);
            m_repeta->splitSentence();
            QCOMPARE(readFile(kLrc), lrc);
        }
    }

    void splittingOutsideEditModeDoesNothing()
    {
        const QByteArray lrc = "[0:00]A b\n[0:10]C\n";
        openWith(lrc, 0);
        m_repeta->setLrcEditing(true);
        setMarks(0.8f, 0.2f); // wrong order: switching off writes nothing
        m_repeta->setLrcEditing(false);
        m_views->tabs.selection = QStringLiteral("b");
        setMarks(0.2f, 0.8f);
        m_repeta->splitSentence();
        QCOMPARE(readFile(kLrc), lrc);
    }

    void withoutACurrentSentenceNothingIsRewritten()
    {
        writeFile(kLrc, QByteArray());
        m_repeta->openMaterial(kMaterial);
        writeFile(kLrc, "[0:00]Appeared later\n");
        setMarks(0.1f, 0.9f);
        m_repeta->setLrcEditing(false);
        m_repeta->splitSentence();
        QCOMPARE(readFile(kLrc), QByteArray("[0:00]Appeared later\n"));
    }

    void aFailedRewriteLeavesTheOldFileWhole()
    {
        const QByteArray lrc = "[0:00]First\r\n[0:10]Second\r\n";
        openWith(lrc, 1);
        setMarks(0.1f, 0.9f);
        const QString temporary = kLrc + QStringLiteral(".lrc");
        // A full disk: every write to the temporary file fails.
        QVERIFY(QFile::link(QStringLiteral("/dev/full"), temporary));
        m_repeta->setLrcEditing(false);
        QCOMPARE(readFile(kLrc), lrc);
        QFile::remove(temporary);
        // The temporary file cannot be made at all.
        QVERIFY(QDir().mkdir(temporary));
        QVERIFY(!rewriteLrc(kLrc, [](LrcLine& line, LrcLine&) { line.setText(QStringLiteral("x\n")); }));
        QCOMPARE(readFile(kLrc), lrc);
        QDir().rmdir(temporary);
        // A missing LRC is reported and nothing appears.
        QVERIFY(!rewriteLrc(QStringLiteral("./workspace/none.lrc"), [](LrcLine&, LrcLine&) {}));
        QVERIFY(!QFile::exists(QStringLiteral("./workspace/none.lrc")));
    }

    void longLinesPassThroughInPieces()
    {
        const QByteArray lrc = "[0:00]" + QByteArray(5000, 'x') + "\n[0:10]B\n";
        writeFile(kLrc, lrc);
        QVERIFY(rewriteLrc(kLrc, [](LrcLine&, LrcLine&) {}));
        QCOMPARE(readFile(kLrc), lrc);
    }
};

REPETA_TEST_MAIN(EditingTest)
#include "tst_editing.moc"
