// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "tagengine/frametable.h"

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class Session;

namespace addlang {

// A text file's characters: UTF-8 when its bytes are valid UTF-8 (a leading
// byte order mark dropped), otherwise one ISO-8859-1 character per byte.
QString decodeTextFile(const QByteArray& bytes);
// Lines split at CR LF, a lone CR or a lone LF; a text ending in a line break
// ends with an empty line.
QStringList splitLines(const QString& text);
// The characters of ISO-8859-1 (what a URL can hold), the others left out.
QString latin1Only(const QString& text, bool* leftOut = nullptr);

} // namespace addlang

// The add/edit text entry dialog for comments, lyrics, user texts, user URLs
// and terms of use. The list buttons set the session's dialog request and
// show it modally; the dialog stores the entry in the session's tag model and
// says which list it stored to.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    TForm2(Session& session, QWidget* parent = nullptr);

    // The Import dialog's start folder, and the last text file imported (its
    // folder is remembered at exit).
    QString textFolder;
    QString lastTextFile;

    QLabel* Label1;       // "Description:"
    QLineEdit* Edit1;     // description
    QLabel* Label2;       // "Language:"
    QComboBox* ComboBox1; // language names, pick-only
    QLabel* Label3;       // text label, set per mode
    QPlainTextEdit* Memo1;
    QPushButton* BitBtn1; // confirm: "Add" or "Edit"
    QPushButton* BitBtn2; // "Cancel"
    QPushButton* BitBtn3; // "Import"

    // Prepares the controls for the requested mode; runs on every showing.
    void FormShow();
    // The memo's lines as the model holds text: joined by CR LF.
    std::string memoText() const;
    void setMemoText(const QString& text);

    // Confirming: stores the entry at its position.
    void storeEntry();
    // Loads a text file into the memo (the file's lines, joined by CR LF).
    void importFile(const QString& path);

signals:
    // An entry of list was stored in the model.
    void entryStored(tag::ListKind list);

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void BitBtn1Click(); // confirm
    void BitBtn2Click(); // Cancel
    void BitBtn3Click(); // Import

private:
    int targetIndex() const;
    // Whether the memo holds a URL, which the tag keeps in ISO-8859-1.
    bool memoIsLatin1Only() const;
    void selectLanguage(const std::string& code);

    Session& m_session;
};
