#pragma once

#include <QDialog>

class TForm1;

// The add/edit text entry dialog for comments, lyrics, user texts, user URLs
// and terms of use.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    TForm2(TForm1& form, QWidget* parent = nullptr);

    // The Import dialog's start folder, and the last text file imported (its
    // folder is remembered at exit).
    QString textFolder;
    QString lastTextFile;

private:
    TForm1& m_form;
};
