#include "Desktop.h"

#include "Subprocess.h"

#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace desktop {

namespace {

// Each look runs xdotool or import: a few per second keep one core free.
constexpr int kPollMs = 200;
// A colour channel must move by more than this for a pixel to count as
// changed: the twins' offscreen painting may round a blend otherwise than
// the screen's.
constexpr int kChannelTolerance = 24;

QByteArray xdotool(const QStringList& arguments)
{
    return outputOf(QStringList{QStringLiteral("xdotool")} + arguments);
}

bool runXdotool(const QStringList& arguments)
{
    return exitCodeOf(QStringList{QStringLiteral("xdotool")} + arguments) == 0;
}

// "X=12\nY=34\nWIDTH=..." as getwindowgeometry --shell prints it.
QRect geometryOf(const QString& id)
{
    int values[4] = {0, 0, 0, 0};
    const char* keys[4] = {"X=", "Y=", "WIDTH=", "HEIGHT="};
    const QByteArray shell = xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), id});
    for (const QByteArray& line : shell.split('\n')) {
        for (int i = 0; i < 4; ++i) {
            if (line.startsWith(keys[i]))
                values[i] = line.mid(int(std::strlen(keys[i]))).toInt();
        }
    }
    return QRect(values[0], values[1], values[2], values[3]);
}

bool differs(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) > kChannelTolerance || std::abs(qGreen(a) - qGreen(b)) > kChannelTolerance
           || std::abs(qBlue(a) - qBlue(b)) > kChannelTolerance;
}

bool contains(const QList<ScreenWindow>& windows, const QString& id)
{
    return std::any_of(windows.cbegin(), windows.cend(), [&id](const ScreenWindow& w) { return w.id == id; });
}

// Only the ids: a window that closes between the search and a look at its
// geometry makes xdotool fail.
QStringList windowIdsOf(qint64 pid)
{
    QStringList ids;
    const QByteArray found = xdotool(
        {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"), QString::number(pid)});
    for (const QByteArray& id : found.split('\n')) {
        if (!id.trimmed().isEmpty())
            ids.append(QString::fromLatin1(id.trimmed()));
    }
    return ids;
}

} // namespace

bool pollUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (condition())
            return true;
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(kPollMs);
    }
}

QList<ScreenWindow> windowsOf(qint64 pid)
{
    QList<ScreenWindow> windows;
    for (const QString& id : windowIdsOf(pid))
        windows.append(ScreenWindow{id, geometryOf(id)});
    return windows;
}

QList<ScreenWindow> waitForWindows(qint64 pid, int count, int timeoutMs)
{
    pollUntil([&] { return windowIdsOf(pid).size() >= count; }, timeoutMs);
    return windowsOf(pid);
}

bool waitForNewWindow(qint64 pid, const QList<ScreenWindow>& known, int timeoutMs, ScreenWindow* found)
{
    return pollUntil([&] {
        for (const QString& id : windowIdsOf(pid)) {
            if (!contains(known, id)) {
                *found = ScreenWindow{id, geometryOf(id)};
                return true;
            }
        }
        return false;
    }, timeoutMs);
}

bool waitUntilGone(qint64 pid, const ScreenWindow& window, int timeoutMs)
{
    return pollUntil([&] { return !windowIdsOf(pid).contains(window.id); }, timeoutMs);
}

bool waitForFocus(const ScreenWindow& window, int timeoutMs)
{
    return pollUntil([&] { return xdotool({QStringLiteral("getwindowfocus")}).trimmed() == window.id.toLatin1(); },
                     timeoutMs);
}

bool focus(const ScreenWindow& window)
{
    return runXdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window.id}) &&
           waitForFocus(window, 5000);
}

bool moveTo(QPoint point)
{
    return runXdotool({QStringLiteral("mousemove"), QString::number(point.x()), QString::number(point.y())});
}

bool click(QPoint point)
{
    return runXdotool({QStringLiteral("mousemove"), QString::number(point.x()), QString::number(point.y()),
                       QStringLiteral("click"), QStringLiteral("1")});
}

bool pressKey(const QString& key)
{
    return runXdotool({QStringLiteral("key"), key});
}

bool type(const QString& text)
{
    return runXdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text});
}

QImage screenshot()
{
    // PPM: nothing to compress, so a look costs little.
    const QByteArray ppm = outputOf({QStringLiteral("import"), QStringLiteral("-window"), QStringLiteral("root"),
                                     QStringLiteral("ppm:-")});
    return QImage::fromData(ppm, "PPM").convertToFormat(QImage::Format_RGB32);
}

QImage waitForScreen(const std::function<bool(const QImage&)>& condition, int timeoutMs, bool* met)
{
    QImage shot;
    *met = pollUntil([&] {
        shot = screenshot();
        return !shot.isNull() && condition(shot);
    }, timeoutMs);
    return shot;
}

int changedColumns(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return qMax(a.width(), b.width());
    int columns = 0;
    for (int x = 0; x < a.width(); ++x) {
        for (int y = 0; y < a.height(); ++y) {
            if (differs(a.pixel(x, y), b.pixel(x, y))) {
                ++columns;
                break;
            }
        }
    }
    return columns;
}

qsizetype changedPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return qsizetype(qMax(a.width(), b.width())) * qMax(a.height(), b.height());
    qsizetype pixels = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x)
            pixels += differs(a.pixel(x, y), b.pixel(x, y)) ? 1 : 0;
    }
    return pixels;
}

} // namespace desktop
