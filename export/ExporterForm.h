// The widgets of the export dialog, named as the dialog and its tests find
// them: per phase a rule, a bar of what is recorded, a hint and a file name;
// then the target folder and the buttons. The fourth "phase" is the
// comparison of model sentences and takes, drawn from the second's recordings.
#pragma once

class ExpProgBar;
class OctImgBtn;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;

struct ExporterForm {
    QLabel* label_4 = nullptr;
    QLabel* label_8 = nullptr;
    QGroupBox* groupBox = nullptr;
    ExpProgBar* progImit = nullptr;
    ExpProgBar* progShad = nullptr;
    ExpProgBar* progRete = nullptr;
    ExpProgBar* progComp = nullptr;
    QLabel* label_12 = nullptr;
    QLabel* label_13 = nullptr;
    QLabel* label_14 = nullptr;
    QLabel* label_15 = nullptr;
    QLabel* label_9 = nullptr;
    QLabel* label_10 = nullptr;
    QLabel* label_11 = nullptr;
    QLabel* label_16 = nullptr;
    QLabel* label = nullptr;
    QLabel* label_2 = nullptr;
    QLabel* label_3 = nullptr;
    QLabel* label_5 = nullptr;
    QLineEdit* imitFile = nullptr;
    QLineEdit* shadFile = nullptr;
    QLineEdit* reteFile = nullptr;
    QLineEdit* compFile = nullptr;
    QLabel* label_7 = nullptr;
    QLineEdit* expPath = nullptr;
    OctImgBtn* btnChoDir = nullptr;
    OctImgBtn* btnExport = nullptr;
    OctImgBtn* btnCancel = nullptr;

    // Builds the widgets into the dialog's layout.
    void setupUi(QDialog* dialog);
};
