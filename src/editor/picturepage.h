// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QWidget>

class ImageView;
class PreviewBox;
class QRadioButton;
class ReportView;
class Session;
class TForm3;
struct FitRule;

// The "Images" sub-page: the pictures of the session's tag, a preview with fit
// and zoom, and the buttons that add, change, delete, export and copy them.
// Add and Edit open the image dialog.
class PicturePage : public QWidget {
    Q_OBJECT
public:
    PicturePage(Session& session, QWidget* parent);

    // The dialog that Add and Edit show (none: they show nothing).
    void setImageDialog(TForm3* dialog) { m_dialog = dialog; }

    ReportView* ListView5;
    ImageView* Image2; // the image view inside the preview box
    PreviewBox* ScrollBox1;
    QRadioButton* RadioButton1; // Original Size
    QRadioButton* RadioButton2; // Fit to Window

    // The export save dialog's start folder, and the last file exported to
    // (its folder is remembered at exit).
    QString exportFolder;
    QString lastExportFile;

    // The page's fitting: a side past 257 x 193 becomes exactly 257 or 193.
    static const FitRule Fit;

    // Rebuilds the picture list from the model.
    void readpicture();
    // Another file is being read: no preview until a picture is selected.
    void hidePreview();

    // Loads picture entry position (1-based) into the preview and sizes it
    // after the chosen radio button.
    void showPicture(int position);
    // Copies the bytes of picture entry position into target.
    void exportPicture(int position, const QString& target);
    // The save dialog's extension for a MIME type ending in its zero.
    static QString exportExtension(const std::string& mimeType);

public slots:
    void ListView5SelectItem(int row);
    void RadioButton1Click(); // Original Size
    void RadioButton2Click(); // Fit to Window
    void BitBtn12Click();     // Add
    void BitBtn13Click();     // Edit
    void BitBtn14Click();     // Delete
    void BitBtn15Click();     // Export to file
    void BitBtn22Click();     // Send to clipboard
    void BitBtn23Click();     // Zoom in
    void BitBtn24Click();     // Zoom out

private:
    void applySizing();

    Session& m_session;
    TForm3* m_dialog = nullptr;
};
