// From a material's choice to the main window painted with it: the sentence
// file read, the timeline built, the text views filled and laid out, the
// window drawn. Prints one line per material.
#include "app/Dialog.h"
#include "controller/Repeta.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    Dialog window;
    window.show();
    QApplication::processEvents();
    out << "opening a material in the main window (choice to painted window)\n";
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        QElapsedTimer timer;
        timer.start();
        window.controller()->openMaterial(path);
        const qint64 opened = timer.elapsed();
        window.repaint();
        QApplication::processEvents();
        const qint64 painted = timer.elapsed();
        out << QStringLiteral("%1: %2 sentences, opened %3 ms, painted %4 ms\n")
                   .arg(path)
                   .arg(window.controller()->sentenceCount())
                   .arg(opened)
                   .arg(painted);
        out.flush();
    }
    return 0;
}
