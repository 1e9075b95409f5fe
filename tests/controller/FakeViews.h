// Recording fakes of the view interfaces: every call lands in one shared log,
// in order, as "view.operation(arguments)".
#pragma once

#include "controller/Contracts.h"

#include <QRegularExpression>
#include <QStringList>

class CallLog {
public:
    void add(const QString& call) { m_calls.append(call); }
    void clear() { m_calls.clear(); }
    const QStringList& calls() const { return m_calls; }
    bool contains(const QString& call) const { return m_calls.contains(call); }
    int count(const QString& call) const { return int(m_calls.count(call)); }
    // Index of the first call at or after `from`, -1 if none.
    int indexOf(const QString& call, int from = 0) const { return int(m_calls.indexOf(call, from)); }
    // Whether the calls occur in this order (others may come between).
    bool inOrder(const QStringList& expected) const
    {
        int at = 0;
        for (const QString& call : expected) {
            at = indexOf(call, at);
            if (at < 0)
                return false;
            ++at;
        }
        return true;
    }
    QStringList startingWith(const QString& prefix) const { return m_calls.filter(QRegularExpression(QStringLiteral("^") + QRegularExpression::escape(prefix))); }

private:
    QStringList m_calls;
};

inline QString boolText(bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); }

class FakeCtrl final : public vCtrlWidget {
public:
    explicit FakeCtrl(CallLog& log) : m_log(log) {}
    void setOriPlayEnabled(bool on) override { add(QStringLiteral("setOriPlayEnabled"), on); }
    void setPcePlayEnabled(bool on) override { add(QStringLiteral("setPcePlayEnabled"), on); }
    void setRecPlayEnabled(bool on) override { add(QStringLiteral("setRecPlayEnabled"), on); }
    void setOriPlayChecked(bool on) override { add(QStringLiteral("setOriPlayChecked"), on); }
    void setPcePlayChecked(bool on) override { add(QStringLiteral("setPcePlayChecked"), on); }
    void setRecPlayChecked(bool on) override { add(QStringLiteral("setRecPlayChecked"), on); }
    void setOriRowVisible(bool on) override { add(QStringLiteral("setOriRowVisible"), on); }
    void setPceRowVisible(bool on) override { add(QStringLiteral("setPceRowVisible"), on); }
    void setRecRowVisible(bool on) override { add(QStringLiteral("setRecRowVisible"), on); }
    void setPracticeEnabled(bool on) override { add(QStringLiteral("setPracticeEnabled"), on); }
    void setPhaseEnabled(bool enabled, int tab) override
    {
        m_log.add(QStringLiteral("ctrl.setPhaseEnabled(%1,%2)").arg(boolText(enabled)).arg(tab));
    }
    void setRecordChecked(bool on) override { add(QStringLiteral("setRecordChecked"), on); }
    void setHelpMode(bool on) override { add(QStringLiteral("setHelpMode"), on); }
    void setTextTabOffset(const QPoint& offset) override
    {
        m_log.add(QStringLiteral("ctrl.setTextTabOffset(%1,%2)").arg(offset.x()).arg(offset.y()));
    }
    void setRecTime(const QString& text) override { addText(QStringLiteral("setRecTime"), text); }
    void setPceTime(const QString& text) override { addText(QStringLiteral("setPceTime"), text); }
    void setOriTime(const QString& text) override { addText(QStringLiteral("setOriTime"), text); }
    void setSpeed(double speed) override { m_log.add(QStringLiteral("ctrl.setSpeed(%1)").arg(speed, 0, 'f', 2)); }
    void setDrillChecked(bool on) override { add(QStringLiteral("setDrillChecked"), on); }
    void showDrill(const DrillState& state) override
    {
        drill = state;
        if (state.stage == DrillState::Speaking)
            speakingSeconds = state.totalSeconds;
        else // the countdown would flood the log
            m_log.add(QStringLiteral("ctrl.showDrill(%1,%2/%3)").arg(state.stage).arg(state.round).arg(state.rounds));
    }
    DrillState drill;
    double speakingSeconds = 0; // the latest pause's length

private:
    void add(const QString& name, bool on) { m_log.add(QStringLiteral("ctrl.%1(%2)").arg(name, boolText(on))); }
    void addText(const QString& name, const QString& text)
    {
        m_log.add(QStringLiteral("ctrl.%1(%2)").arg(name, QString(text).replace(QLatin1Char('\n'), QLatin1Char('|'))));
    }
    CallLog& m_log;
};

class FakePlot final : public vPlotWidget {
public:
    FakePlot(CallLog& log, const QString& name) : m_log(log), m_name(name) {}
    void setTintColor(const QColor& color) override
    {
        add(QStringLiteral("setTintColor(%1,%2,%3,%4)").arg(color.red()).arg(color.green()).arg(color.blue()).arg(color.alpha()));
    }
    void setPlotting(bool on) override { add(QStringLiteral("setPlotting(%1)").arg(boolText(on))); }
    void setRecording(bool on) override { add(QStringLiteral("setRecording(%1)").arg(boolText(on))); }
    void setMarking(bool on) override { add(QStringLiteral("setMarking(%1)").arg(boolText(on))); }
    void setText(const QString& text) override { add(QStringLiteral("setText(%1)").arg(text)); }
    void setPixmap(const QPixmap* picture) override
    {
        pixmap = picture;
        add(picture ? QStringLiteral("setPixmap(picture)") : QStringLiteral("setPixmap(null)"));
    }
    void setSentenceTimes(const QVector<float>* starts, const QVector<float>* ends) override
    {
        sentenceTimes = starts;
        sentenceEnds = ends;
        add(starts ? QStringLiteral("setSentenceTimes(%1)").arg(starts->size()) : QStringLiteral("setSentenceTimes(null)"));
    }
    void setDuration(float seconds) override { add(QStringLiteral("setDuration(%1)").arg(seconds)); }
    void setPosition(float fraction) override
    {
        position = fraction;
        add(QStringLiteral("setPosition(%1)").arg(fraction));
    }
    void setCurrentSentence(int index) override { add(QStringLiteral("setCurrentSentence(%1)").arg(index)); }
    void setSentenceHandler(SentenceHandler handler) override
    {
        sentenceHandler = handler;
        add(handler ? QStringLiteral("setSentenceHandler(set)") : QStringLiteral("setSentenceHandler(null)"));
    }
    void setSeekHandler(SeekHandler handler) override
    {
        seekHandler = handler;
        add(handler ? QStringLiteral("setSeekHandler(set)") : QStringLiteral("setSeekHandler(null)"));
    }
    void setHandlerObject(Repeta* controller) override
    {
        handlerObject = controller;
        add(QStringLiteral("setHandlerObject"));
    }
    bool marks(float* in, float* out) override
    {
        *in = markIn;
        *out = markOut;
        return markIn < markOut;
    }

    const QPixmap* pixmap = nullptr;
    const QVector<float>* sentenceTimes = nullptr;
    const QVector<float>* sentenceEnds = nullptr;
    float position = -1;
    SentenceHandler sentenceHandler = nullptr;
    SeekHandler seekHandler = nullptr;
    Repeta* handlerObject = nullptr;
    float markIn = 0;
    float markOut = 1;

private:
    void add(const QString& call) { m_log.add(m_name + QLatin1Char('.') + call); }
    CallLog& m_log;
    QString m_name;
};

class FakeTabs final : public vTabsWidget {
public:
    explicit FakeTabs(CallLog& log) : m_log(log) {}
    void setTabEnabled(int index, bool on) override
    {
        m_log.add(QStringLiteral("tabs.setTabEnabled(%1,%2)").arg(index).arg(boolText(on)));
    }
    void setCurrentIndex(int index) override { m_log.add(QStringLiteral("tabs.setCurrentIndex(%1)").arg(index)); }
    void showSentence(int current, int above, int below) override
    {
        m_log.add(QStringLiteral("tabs.showSentence(%1,%2,%3)").arg(current).arg(above).arg(below));
    }
    void setKaraokeProgress(float fraction) override { m_log.add(QStringLiteral("tabs.setKaraokeProgress(%1)").arg(fraction)); }
    void setSentences(const QVector<Sentence>& given) override
    {
        sentences = given;
        m_log.add(QStringLiteral("tabs.setSentences(%1)").arg(given.size()));
    }
    QString selectedText() override { return selection; }
    void showComparison(const Comparison& result, const Sentence& sentence) override
    {
        comparison = result;
        comparedText = sentence.text;
        m_log.add(QStringLiteral("tabs.showComparison(%1,%2)").arg(boolText(result.ok), result.error));
    }
    void showComparisonPage() override { m_log.add(QStringLiteral("tabs.showComparisonPage()")); }
    Comparison comparison;
    QString comparedText;
    // As the list gives it: the (possibly edited) text and a line break.
    QString sentenceText(int n) override
    {
        return n < sentences.size() ? sentences[n].text + QStringLiteral("\r\n") : QString();
    }

    QVector<Sentence> sentences;
    QString selection;

private:
    CallLog& m_log;
};

class FakeExporter final : public vExporter {
public:
    explicit FakeExporter(CallLog& log) : m_log(log) {}
    void setMaterialDir(const QString& dir) override { m_log.add(QStringLiteral("exporter.setMaterialDir(%1)").arg(dir)); }
    void refresh() override { m_log.add(QStringLiteral("exporter.refresh")); }
    void setSentenceCount(int count) override { m_log.add(QStringLiteral("exporter.setSentenceCount(%1)").arg(count)); }
    int exec() override
    {
        m_log.add(QStringLiteral("exporter.exec"));
        return confirmed ? 1 : 0;
    }
    void targetPaths(QString& imitation, QString& repeat, QString& retelling, QString& comparison) override
    {
        imitation = imitationTarget;
        repeat = repeatTarget;
        retelling = retellingTarget;
        comparison = comparisonTarget;
    }

    bool confirmed = true;
    QString imitationTarget;
    QString repeatTarget;
    QString retellingTarget;
    QString comparisonTarget;

private:
    CallLog& m_log;
};

// The views of one controller, wired as the main window wires them.
struct FakeViews {
    CallLog log;
    FakeCtrl ctrl{log};
    FakeTabs tabs{log};
    FakePlot rec{log, QStringLiteral("rec")};
    FakePlot pce{log, QStringLiteral("pce")};
    FakePlot ori{log, QStringLiteral("ori")};
};
