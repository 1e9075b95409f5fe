// Entry point: the program keeps its state relative to the working directory.
#include "ShutdownSignals.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Repeta"));
    quitOnShutdownSignals();

    QWidget window;
    window.setWindowTitle(QStringLiteral("Repeta"));
    auto* layout = new QVBoxLayout(&window);
    auto* caption = new QLabel(QObject::tr("Repeta 英语口语训练"), &window);
    caption->setAlignment(Qt::AlignCenter);
    layout->addWidget(caption);
    window.resize(640, 400);
    window.show();
    return app.exec();
}
