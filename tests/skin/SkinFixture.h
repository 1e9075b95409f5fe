// Test skins written to a temporary folder: every element of the picture is
// an opaque rectangle of its own colour (the top-left corner with a clear
// notch), so that a test can tell from a pixel which element was drawn
// where. Also the mouse events that the skin tests send to a real window.
#pragma once

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QMouseEvent>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>
#include <QWidget>

namespace skintest {

// Side of the clear square at the top-left corner of `border_topleft`.
constexpr int kNotch = 3;

struct SkinShape {
    int top = 30;    // height of the title band
    int left = 4;    // width of `border_left`
    int right = 4;   // width of `border_right`
    int bottom = 6;  // height of `border_bottom`
    int corner = 8;  // width of every corner element
    int topRight = 8;
    QSize minimize{24, 20};
    QSize maximize{24, 20};
    QSize close{24, 20};
    QString iniLines = QStringLiteral("Hintergrundfarbe=336699\n");
};

inline const QStringList& elementIds()
{
    static const QStringList ids = {
        QStringLiteral("border_topleft"), QStringLiteral("border_top"), QStringLiteral("border_topright"),
        QStringLiteral("border_left"), QStringLiteral("border_right"), QStringLiteral("border_bottomleft"),
        QStringLiteral("border_bottom"), QStringLiteral("border_bottomright"),
        QStringLiteral("minimize_button_normal"), QStringLiteral("minimize_button_hover"),
        QStringLiteral("minimize_button_pressed"), QStringLiteral("close_button_normal"),
        QStringLiteral("close_button_hover"), QStringLiteral("close_button_pressed"),
        QStringLiteral("maximize_button_normal")};
    return ids;
}

// The colour in which the test skin draws an element.
inline QColor colourOf(const QString& id)
{
    const int index = int(elementIds().indexOf(id));
    return QColor(40 + 12 * index, 200 - 10 * index, 60 + 9 * index);
}

// A path as the skin wants it: relative to the folder of the executable.
inline QString fromProgram(const QString& path)
{
    return QDir(QCoreApplication::applicationDirPath()).relativeFilePath(path);
}

// Writes "<name>.svg" and "<name>.ini" into the folder; returns the
// settings path to hand to setSettingsPath().
inline QString writeSkin(const QTemporaryDir& folder, const SkinShape& shape,
                         const QString& name = QStringLiteral("test"))
{
    const QHash<QString, QSize> sizes = {
        {QStringLiteral("border_topleft"), {shape.corner, shape.top}},
        {QStringLiteral("border_top"), {8, shape.top}},
        {QStringLiteral("border_topright"), {shape.topRight, shape.top}},
        {QStringLiteral("border_left"), {shape.left, 8}},
        {QStringLiteral("border_right"), {shape.right, 8}},
        {QStringLiteral("border_bottomleft"), {shape.corner, shape.bottom}},
        {QStringLiteral("border_bottom"), {8, shape.bottom}},
        {QStringLiteral("border_bottomright"), {shape.corner, shape.bottom}},
        {QStringLiteral("minimize_button_normal"), shape.minimize},
        {QStringLiteral("minimize_button_hover"), shape.minimize},
        {QStringLiteral("minimize_button_pressed"), shape.minimize},
        {QStringLiteral("close_button_normal"), shape.close},
        {QStringLiteral("close_button_hover"), shape.close},
        {QStringLiteral("close_button_pressed"), shape.close},
        {QStringLiteral("maximize_button_normal"), shape.maximize},
    };
    QString svg;
    QTextStream out(&svg);
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"400\" height=\"400\">\n";
    int x = 0;
    for (const QString& id : elementIds()) {
        const QSize size = sizes.value(id);
        const QString fill = colourOf(id).name();
        out << "<g id=\"" << id << "\">";
        if (id == QLatin1String("border_topleft")) {
            out << QStringLiteral("<rect x=\"%1\" y=\"0\" width=\"%2\" height=\"%3\" fill=\"none\"/>")
                       .arg(x).arg(size.width()).arg(size.height());
            out << QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\"/>")
                       .arg(x).arg(kNotch).arg(size.width()).arg(size.height() - kNotch).arg(fill);
            out << QStringLiteral("<rect x=\"%1\" y=\"0\" width=\"%2\" height=\"%3\" fill=\"%4\"/>")
                       .arg(x + kNotch).arg(size.width() - kNotch).arg(kNotch).arg(fill);
        } else {
            out << QStringLiteral("<rect x=\"%1\" y=\"0\" width=\"%2\" height=\"%3\" fill=\"%4\"/>")
                       .arg(x).arg(size.width()).arg(size.height()).arg(fill);
        }
        out << "</g>\n";
        x += size.width() + 2;
    }
    out << "</svg>\n";
    out.flush();

    QFile svgFile(folder.filePath(name + QStringLiteral(".svg")));
    QFile iniFile(folder.filePath(name + QStringLiteral(".ini")));
    if (!svgFile.open(QIODevice::WriteOnly) || !iniFile.open(QIODevice::WriteOnly))
        return QString();
    svgFile.write(svg.toUtf8());
    iniFile.write("[Skin]\nSkinpfad=" + fromProgram(svgFile.fileName()).toUtf8() + "\n" + shape.iniLines.toUtf8());
    return fromProgram(iniFile.fileName());
}

// A mouse event through the window's event filters, as the window system
// would deliver it; `local` is in window coordinates.
inline bool sendMouse(QWidget* window, QEvent::Type type, QPoint local, Qt::MouseButton button,
                      Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(local), QPointF(window->mapToGlobal(local)), button, buttons,
                      Qt::NoModifier);
    return QApplication::sendEvent(window, &event);
}

inline bool press(QWidget* w, QPoint local, Qt::MouseButton button = Qt::LeftButton)
{
    return sendMouse(w, QEvent::MouseButtonPress, local, button, button);
}

inline bool release(QWidget* w, QPoint local, Qt::MouseButton button = Qt::LeftButton)
{
    return sendMouse(w, QEvent::MouseButtonRelease, local, button, Qt::NoButton);
}

inline void hover(QWidget* w, QPoint local)
{
    sendMouse(w, QEvent::MouseMove, local, Qt::NoButton, Qt::NoButton);
}

// A move with the left button held, to a point on the screen.
inline void dragTo(QWidget* w, QPoint global)
{
    sendMouse(w, QEvent::MouseMove, w->mapFromGlobal(global), Qt::NoButton, Qt::LeftButton);
}

} // namespace skintest
