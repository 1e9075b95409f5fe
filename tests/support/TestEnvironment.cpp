#include "TestEnvironment.h"

#include <QFile>
#include "Subprocess.h"

#include <cstdlib>

namespace testenv {

void load()
{
    QFile env(QStringLiteral(REPETA_TEST_SERVICES_DIR "/env"));
    if (!env.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    while (!env.atEnd()) {
        const QByteArray line = env.readLine().trimmed();
        const int equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        const QByteArray key = line.left(equals);
        if (qEnvironmentVariableIsEmpty(key.constData()))
            ::setenv(key.constData(), line.mid(equals + 1).constData(), 1);
    }
}

QString media(const QString& name)
{
    return QStringLiteral(REPETA_TEST_MEDIA_DIR "/") + name;
}

bool soundServerRunning()
{
    return exitCodeOf({QStringLiteral("pactl"), QStringLiteral("info")}) == 0;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace testenv
