// The help key's sheet: every action beside its key, as the key map stands.
// Not modal, so that the learner can keep it open while trying the keys;
// Esc, the help key or the close button put it away.
#pragma once

#include "app/Shortcuts.h"

#include <QDialog>

class ShortcutSheet : public QDialog {
    Q_OBJECT
public:
    enum Column { KeyColumn, ActionColumn };

    explicit ShortcutSheet(const KeyMap& keys, QWidget* parent = nullptr);
};
