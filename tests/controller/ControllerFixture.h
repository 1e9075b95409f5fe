// A controller with recording fakes of its views, in a scratch working
// directory that holds a "workspace" folder, as the main window sets it up.
#pragma once

#include "FakeViews.h"
#include "TestEnvironment.h"

#include "controller/Repeta.h"
#include "media/MediaEngine.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <memory>

class ControllerFixture : public QObject {
protected:
    QTemporaryDir m_home;
    QString m_origin;
    std::unique_ptr<FakeViews> m_views;
    std::unique_ptr<Repeta> m_repeta;

    void enterHome()
    {
        QVERIFY(m_home.isValid());
        m_origin = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_home.path()));
    }

    void leaveHome() { QDir::setCurrent(m_origin); }

    // Empties the working directory but for an empty "workspace".
    void resetHome()
    {
        QDir(m_home.path()).removeRecursively();
        QVERIFY(QDir().mkpath(m_home.path() + QStringLiteral("/workspace")));
        QVERIFY(QDir::setCurrent(m_home.path()));
    }

    void copyMedia(const QString& name, const QString& to)
    {
        QFile::remove(to);
        QVERIFY2(QFile::copy(testenv::media(name), to), qPrintable(to));
    }

    // A fresh controller with the four tone sentences open from `material`
    // (in the workspace), their LRC beside it.
    void openToneSentences(const QString& material)
    {
        resetHome();
        copyMedia(QStringLiteral("sentences.mp3"), material);
        copyMedia(QStringLiteral("sentences.lrc"), QStringLiteral("./workspace/sentences.lrc"));
        makeController();
        m_repeta->openMaterial(material);
    }

    // Phase 0 is current after start-up: the first phase tab reports it.
    void makeController()
    {
        m_views = std::make_unique<FakeViews>();
        m_repeta = std::make_unique<Repeta>(&m_views->ctrl, &m_views->tabs, &m_views->rec, &m_views->pce,
                                            &m_views->ori, nullptr);
        m_repeta->choosePhase(PassageImitation);
        m_views->log.clear();
    }

    void destroyController()
    {
        m_repeta.reset();
        m_views.reset();
    }

    CallLog& log() { return m_views->log; }

    // The original's clock, in seconds.
    double position() const { return m_repeta->engine()->currentTime(m_repeta->originalMedia()); }

    // Watches a playing sentence until its clock jumps back from past `turn`
    // to before `back`. Empty when it did, without ever reaching `limit`;
    // otherwise what went wrong.
    QString jumpsBack(double turn, double back, double limit, int withinMs = 6000)
    {
        double latest = 0;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < withinMs) {
            QTest::qWait(20);
            const double now = position();
            if (now >= limit)
                return QStringLiteral("ran on to %1 s").arg(now);
            if (latest > turn && now < back)
                return QString();
            latest = now;
        }
        return QStringLiteral("no jump back within %1 ms").arg(withinMs);
    }
};
