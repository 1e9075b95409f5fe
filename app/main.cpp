// Entry point: the program keeps its state relative to the working directory.
#include "Dialog.h"
#include "InterfaceFont.h"
#include "ShutdownSignals.h"

#include <QApplication>

namespace {
// The three windows are placed by the program, which a Wayland session does
// not allow; through XWayland they still move together.
void preferX11UnderWayland()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY") && qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}
} // namespace

int main(int argc, char* argv[])
{
    preferX11UnderWayland();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Repeta"));
    preferSimplifiedChinese();
    useChineseQtTexts();
    quitOnShutdownSignals();
    int status = 0;
    {
        Dialog window;
        window.show();
        if (!shutdownRequested())
            status = app.exec();
    }
    return status;
}
