// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QDialog>

class ImageView;
class PictureJob;
class PreviewBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class Session;
struct FitRule;

// What the image dialog is shown for.
enum class ImageDialogMode { AddPicture, EditPicture };

// The add image dialog: description, picture type and image file of a picture
// that "Add" stores into the session tag's picture list, appended or in place
// of the picture being edited. Created once and reused for every showing.
class TForm3 : public QDialog {
    Q_OBJECT
public:
    TForm3(Session& session, QWidget* parent = nullptr);

    // The picture open dialog's start folder, and the last picture file chosen
    // (its folder is remembered at exit).
    QString pictureFolder;
    QString lastPictureFile;

    // The MIME type "Add" stores: set by "Load file..." from the file's
    // extension and by an Edit showing from the entry; kept by Add showings, so
    // it lives as long as the dialog, the whole run.
    QString pendingMimeType;

    QLineEdit* Edit1;     // description
    QComboBox* ComboBox1; // picture type
    QLabel* Label4;       // image format
    QLineEdit* Edit2;     // image path
    PreviewBox* ScrollBox1;
    ImageView* Image1;
    QRadioButton* RadioButton1; // Original size
    QRadioButton* RadioButton2; // Fit to window
    QPushButton* BitBtn2;       // Add

    // The dialog's fitting: a side past 281 x 337 becomes 280 or 336 (or one
    // less), truncated.
    static const FitRule Fit;

    // "image/" and the path's last three characters; a ".jpeg" path gives image/jpeg.
    static QString mimeTypeForPath(const QString& path);

    // Shows the dialog modally to add a picture, or to edit the picture at
    // index (1-based). Returns the position stored to, 0 when cancelled.
    int addPicture();
    int editPicture(int index);
    // What the next showing is for: mode, and for EditPicture the picture's
    // position (the modal calls above set it; tests show the dialog after it).
    void setMode(ImageDialogMode mode, int index = 0);
    // The picture an Edit showing works on (0 for an Add).
    int pictureIndex() const { return m_index; }

    // A tag holds at most 100 pictures: adding to a full list says so (and
    // the caller stores nothing).
    static inline const QString FullListMessage =
        QStringLiteral("The image list is full: a tag holds at most 100 images!");
    static bool listIsFull(Session& session, QWidget* parent);

    // Prepares a showing for the mode.
    void FormShow();
    // The steps of "Load file..." once a file is chosen.
    void loadFile(const QString& path);

signals:
    // A picture was stored in the model.
    void pictureStored();

public slots:
    void BitBtn1Click(); // Load file...
    void BitBtn2Click(); // Add
    void BitBtn3Click(); // Cancel
    void BitBtn4Click(); // Zoom in
    void BitBtn5Click(); // Zoom out
    void RadioButton1Click();
    void RadioButton2Click();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void applySizing();
    // Shows a picture file; an error names it name (by default the file's name).
    void showPictureFile(const QString& path, const QString& name = {});
    int showModal(ImageDialogMode mode, int index);

    Session& m_session;
    PictureJob* m_job; // a metafile decoded while the window goes on
    ImageDialogMode m_mode = ImageDialogMode::AddPicture;
    int m_index = 0;
    int m_stored = 0; // where the last "Add" stored its picture
};
