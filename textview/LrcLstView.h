// The list page: every sentence of the material, the current one selected.
// It is read-only until the main window makes it editable.
#pragma once

#include <QTextEdit>

class LrcLstView : public QTextEdit {
    Q_OBJECT
public:
    explicit LrcLstView(QWidget* parent = nullptr);

    // The list's colours: the selection marks the current sentence, dark blue
    // while the list has the focus and light blue otherwise.
    static QPalette listPalette(QPalette base);
};
