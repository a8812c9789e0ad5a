#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class TForm1;

// Page 2: the template renamer.
class RenamerPage : public QWidget {
    Q_OBJECT
public:
    RenamerPage(TForm1& form, QWidget* parent);

    QProgressBar* ProgressBar2;
    QLabel* Label80; // "i of n"

    // The renamer page button sets the progress to 0 and the counter to "0 of 0".
    void resetProgress();

private:
    TForm1& m_form;
};
