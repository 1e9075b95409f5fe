// Correcting sentences through the controller: moved boundaries, splits, and
// the rewrite that must never lose or alter what it does not edit.
#include "ControllerFixture.h"

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

    void movingTheMarksRetagsTheSentenceAndTheNextOne()
    {
        // Line endings, metadata and a line that is not UTF-8 come back byte for byte.
        const QByteArray head = "[ti:Lesson]\r\n\xc4\xe3\xba\xc3 not utf-8\n[0:00]Intro\r\n";
        const QByteArray tail = "[0:30]Last\n";
        openWith(head + "[0:10]Sentence A\r\n[0:20]Sentence B\r\n" + tail, 1);
        m_views->tabs.sentences[1].text = QStringLiteral("Sentence A, corrected");
        setMarks(0.1f, 0.9f);
        m_repeta->setLrcEditing(true);
        QVERIFY(m_views->log.contains(QStringLiteral("pce.setMarking(true)")));
        QCOMPARE(readFile(kLrc), head + "[0:10]Sentence A\r\n[0:20]Sentence B\r\n" + tail);

        m_views->log.clear();
        m_repeta->setLrcEditing(false);
        QCOMPARE(readFile(kLrc), head + "[00:11.00]Sentence A, corrected\r\n[00:19.00]Sentence B\r\n" + tail);
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
        QCOMPARE(readFile(kLrc), QByteArray("[0:00]First\r\n[00:09.00]Second\r\n"));
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
                 QByteArray("[0:00]Hello.\n[0:10]Good morning.\n[00:14.50]How are you?\n[0:20]Next\n"));
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
        // A folder that takes no new file: the rewrite cannot be written.
        QVERIFY(QFile::setPermissions(QStringLiteral("./workspace"), QFile::ReadOwner | QFile::ExeOwner));
        m_repeta->setLrcEditing(false);
        QVERIFY(QFile::setPermissions(QStringLiteral("./workspace"),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QCOMPARE(readFile(kLrc), lrc);
        QCOMPARE(m_repeta->sentenceStarts(), (QVector<float>{0, 10}));
    }
};

REPETA_TEST_MAIN(EditingTest)
#include "tst_editing.moc"
