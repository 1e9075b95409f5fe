// Capture is not built yet: a start ends at once without touching the file.
#include "PaRecThread.h"

PaRecThread::PaRecThread(QObject* parent)
    : QThread(parent)
{
}

void PaRecThread::run() {}
