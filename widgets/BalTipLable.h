// The balloon that replaces the standard tool tip over the picture tabs. At
// most one balloon exists in the process at a time.
#pragma once

#include <QLabel>
#include <QPixmap>
#include <QPointer>

class BalTipLable : public QLabel {
    Q_OBJECT
public:
    BalTipLable(const QString& text, QWidget* parent);

    // Replaces the current balloon by one holding the text, as a child of
    // parent, with the tip of its tail at point (parent coordinates). Without
    // a parent the balloon is a tool-tip window and point is global.
    static void showBalloon(const QPoint& point, const QString& text, QWidget* parent);
    // Hides the current balloon, if there is one; it is not deleted.
    static void hideBalloon();
    static BalTipLable* currentBalloon();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
    static QPointer<BalTipLable> s_current;
};
