#pragma once

#include <QDialog>

class TForm1;

// The add image dialog: description, picture type and image file of a picture.
class TForm3 : public QDialog {
    Q_OBJECT
public:
    TForm3(TForm1& form, QWidget* parent = nullptr);

    // The picture open dialog's start folder, and the last picture file chosen
    // (its folder is remembered at exit).
    QString pictureFolder;
    QString lastPictureFile;

private:
    TForm1& m_form;
};
