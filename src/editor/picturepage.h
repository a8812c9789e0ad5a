#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QRadioButton;
class QScrollArea;
class ReportView;
class TForm1;

// The "Images" sub-page: the pictures of the tag, a preview with fit and zoom,
// and the buttons that add, change, delete, export and copy them.
class PicturePage : public QWidget {
    Q_OBJECT
public:
    PicturePage(TForm1& form, QWidget* parent);

    ReportView* ListView5;
    QLabel* Image2; // the image view inside the preview box
    QScrollArea* ScrollBox1;
    QRadioButton* RadioButton1; // Original Size
    QRadioButton* RadioButton2; // Fit to Window

    // The export save dialog's start folder, and the last file exported to
    // (its folder is remembered at exit).
    QString exportFolder;
    QString lastExportFile;

    // Rebuilds the picture list from the model.
    void readpicture();
    void hidePreview();

private:
    TForm1& m_form;
};
