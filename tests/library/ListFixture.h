// What the list tests share: a working folder of their own (the lists and
// "./workspace/train/" are relative to it) and a catcher for the message
// boxes that a parse error shows, so no test waits for a learner's click.
#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

namespace listtest {

// Makes a fresh temporary folder the working directory while it lives.
class WorkingFolder {
public:
    WorkingFolder()
        : previous(QDir::currentPath())
    {
        QDir::setCurrent(folder.path());
    }
    ~WorkingFolder() { QDir::setCurrent(previous); }

    QString path(const QString& name) const { return folder.filePath(name); }

    bool write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

    QByteArray read(const QString& name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QString previous;
    QTemporaryDir folder;
};

struct CaughtBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QWidget* parent = nullptr;
};

// Answers every message box that opens while it lives, by clicking its
// button, and keeps what each one said.
class MessageBoxCatcher {
public:
    explicit MessageBoxCatcher(int intervalMs = 10)
    {
        timer.setInterval(intervalMs);
        QObject::connect(&timer, &QTimer::timeout, [this] { answer(); });
        timer.start();
    }

    QList<CaughtBox> boxes;

private:
    void answer()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        boxes.append({box->windowTitle(), box->text(), box->icon(), box->parentWidget()});
        if (QAbstractButton* ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->reject();
    }

    QTimer timer;
};

} // namespace listtest
