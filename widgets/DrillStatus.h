// What the running drill does, small in the control panel: the round, the
// learner's pause with a shrinking bar and its seconds, or the playback of
// the take. Hidden while the drill does not run; its room stays reserved so
// that the panel does not move.
#pragma once

#include <QPixmap>
#include <QWidget>

class DrillStatus : public QWidget {
    Q_OBJECT
public:
    enum class Stage { Idle, Round, Speaking, Playback };

    explicit DrillStatus(QWidget* parent = nullptr);

    Stage stage() const { return m_stage; }
    QString text() const { return m_text; }
    // The bar's filled share while speaking: remaining / total, 0 to 1.
    double barFraction() const { return m_fraction; }

public slots:
    void showRound(int round, int rounds);
    void showSpeaking(double remainingSeconds, double totalSeconds);
    void showPlayback();
    void clear();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showStage(Stage stage, const QString& text);

    QPixmap m_ground;
    QPixmap m_track;
    QPixmap m_light;
    Stage m_stage = Stage::Idle;
    QString m_text;
    double m_fraction = 0.0;
};
