// The X display as a learner uses it: the program's windows, the pointer,
// the keyboard and screenshots, through xdotool and ImageMagick's import.
#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

#include <functional>

struct ScreenWindow {
    QString id; // the X window id, as xdotool prints it
    QRect geometry; // on the screen
};

namespace desktop {

// Checks the condition a few times a second, meanwhile running this
// process's events, until it holds or the time is out.
bool pollUntil(const std::function<bool()>& condition, int timeoutMs);

// The visible windows that the process with this pid owns.
QList<ScreenWindow> windowsOf(qint64 pid);
// Waits until the process shows `count` windows or more; what it shows then.
QList<ScreenWindow> waitForWindows(qint64 pid, int count, int timeoutMs);
// Waits for a visible window of the process that is not in `known`.
bool waitForNewWindow(qint64 pid, const QList<ScreenWindow>& known, int timeoutMs, ScreenWindow* found);
bool waitUntilGone(qint64 pid, const ScreenWindow& window, int timeoutMs);
// Waits until the window has the keyboard: a window just shown takes it a
// moment later, and keys sent before then are lost.
bool waitForFocus(const ScreenWindow& window, int timeoutMs);

// Gives the window the keyboard, as a click on it would, without clicking.
bool focus(const ScreenWindow& window);

bool moveTo(QPoint point);
bool click(QPoint point); // left button
// xdotool key names, such as "Return".
bool pressKey(const QString& key);
bool type(const QString& text);

// The whole screen; a null image when it cannot be taken.
QImage screenshot();
// Polls screenshots until `condition` holds for one; that screenshot, or the
// last one taken when the time ran out (then *met is false).
QImage waitForScreen(const std::function<bool(const QImage&)>& condition, int timeoutMs, bool* met);

// Columns of `a` in which some pixel differs from `b` (same size) by more
// than a little: what changed, and how widely.
int changedColumns(const QImage& a, const QImage& b);
// Pixels that differ by more than a little.
qsizetype changedPixels(const QImage& a, const QImage& b);

} // namespace desktop
