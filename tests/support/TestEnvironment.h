// What every test executable shares: the services started for the run, the
// generated media, and a main() that loads both before Qt starts.
#pragma once

#include <QApplication>
#include <QString>
#include <QTest>

namespace testenv {

// Puts the services' variables (display, sound server) into the environment,
// leaving alone any that the test's own environment already sets.
void load();

// A file of the generated test media.
QString media(const QString& name);

// Whether the sound server of the run answers.
bool soundServerRunning();

// Small files for a test: writeFile fails the test when it cannot write.
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path); // "<missing>" when it cannot be read

} // namespace testenv

#define REPETA_TEST_MAIN(TestObject)                                                               \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
        testenv::load();                                                                           \
        QApplication app(argc, argv);                                                              \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
