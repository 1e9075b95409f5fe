// Answers the modal dialogs that a test's action opens (file dialogs, input
// dialogs, message boxes), one answer per dialog in the order they open, so
// that no test waits for a learner's click. Each answer closes its dialog.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>

namespace testenv {

// What a dialog showed when it was answered.
struct SeenDialog {
    QString kind; // the dialog's class name
    QString title;
    QString text; // an input dialog's label, a message box's text
};

class ModalDialogs {
public:
    using Answer = std::function<void(QDialog* dialog)>;

    // How often the active modal widget is looked at, in milliseconds.
    static constexpr int kPollMs = 10;

    ModalDialogs()
    {
        timer.setInterval(kPollMs);
        QObject::connect(&timer, &QTimer::timeout, [this] { poll(); });
        timer.start();
    }

    ModalDialogs& then(Answer answer)
    {
        answers.push_back(std::move(answer));
        return *this;
    }

    QList<SeenDialog> seen;
    int unexpected = 0; // dialogs that opened when no answer was left; rejected

    // File dialogs: the files (absolute paths, typed in this order) or the
    // folder, then accept.
    static Answer chooseFiles(const QStringList& paths)
    {
        return [paths](QDialog* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            QStringList quoted;
            for (const QString& path : paths)
                quoted.append(QLatin1Char('"') + path + QLatin1Char('"'));
            files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(quoted.join(QLatin1Char(' ')));
            static_cast<QDialog*>(files)->accept(); // QFileDialog::accept, which checks the choice
        };
    }
    static Answer chooseFolder(const QString& folder)
    {
        return [folder](QDialog* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            files->setDirectory(folder);
            static_cast<QDialog*>(files)->accept(); // QFileDialog::accept, which checks the choice
        };
    }
    static Answer enterText(const QString& text)
    {
        return [text](QDialog* dialog) {
            auto* input = qobject_cast<QInputDialog*>(dialog);
            input->setTextValue(text);
            input->accept();
        };
    }
    static Answer clickOk()
    {
        return [](QDialog* dialog) { qobject_cast<QMessageBox*>(dialog)->button(QMessageBox::Ok)->click(); };
    }
    static Answer cancel()
    {
        return [](QDialog* dialog) { dialog->reject(); };
    }

private:
    void poll()
    {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        SeenDialog what{QString::fromLatin1(dialog->metaObject()->className()), dialog->windowTitle(), QString()};
        if (auto* input = qobject_cast<QInputDialog*>(dialog))
            what.text = input->labelText();
        else if (auto* box = qobject_cast<QMessageBox*>(dialog))
            what.text = box->text();
        seen.append(what);
        if (answers.empty()) {
            ++unexpected;
            dialog->reject();
            return;
        }
        const Answer answer = answers.front();
        answers.pop_front();
        answer(dialog);
    }

    QTimer timer;
    std::deque<Answer> answers;
};

} // namespace testenv
