// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "tagengine/frametable.h"

#include <QDialog>
#include <QStringList>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class Session;

// What the entry dialog is shown for: to add an entry to one of the five
// text lists, or to edit one of its entries.
enum class EntryDialogMode {
    AddLyric,
    EditLyric,
    AddComment,
    EditComment,
    AddUserText,
    EditUserText,
    AddUserUrl,
    EditUserUrl,
    AddTermsOfUse,
    EditTermsOfUse,
};

// The lists of the entry dialog's modes: each Add mode is followed by the Edit
// mode of the same list.
inline constexpr std::array<tag::ListKind, 5> EntryDialogLists{
    tag::ListKind::Lyrics, tag::ListKind::Comments, tag::ListKind::UserTexts,
    tag::ListKind::UserUrls, tag::ListKind::TermsOfUse};

constexpr tag::ListKind entryList(EntryDialogMode mode) {
    return EntryDialogLists[size_t(mode) / 2];
}
constexpr bool isEditMode(EntryDialogMode mode) {
    return size_t(mode) % 2 == 1;
}
constexpr EntryDialogMode addMode(tag::ListKind list) {
    size_t i = 0;
    while (i + 1 < EntryDialogLists.size() && EntryDialogLists[i] != list)
        ++i;
    return EntryDialogMode(i * 2);
}
constexpr EntryDialogMode editMode(tag::ListKind list) {
    return EntryDialogMode(size_t(addMode(list)) + 1);
}
static_assert(entryList(EntryDialogMode::EditTermsOfUse) == tag::ListKind::TermsOfUse &&
              editMode(tag::ListKind::UserUrls) == EntryDialogMode::EditUserUrl);

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
// and terms of use. The list buttons call it with the list and, to edit, the
// entry's position; it stores the entry in the session's tag model, returns
// where, and says which list it stored to.
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

    // Shows the dialog modally to add an entry to list, or to edit its entry
    // at index (1-based). Returns the position stored to, 0 when cancelled.
    int addEntry(tag::ListKind list);
    int editEntry(tag::ListKind list, int index);

    // What the next showing is for: mode, and for an Edit mode the entry's
    // position (the modal calls above set it; tests show the dialog after it).
    void setMode(EntryDialogMode mode, int index = 0);
    EntryDialogMode mode() const { return m_mode; }
    // Prepares the controls for the mode; runs on every showing.
    void FormShow();
    // The memo's lines as the model holds text: joined by CR LF.
    std::string memoText() const;
    void setMemoText(const QString& text);

    // Confirming: stores the entry at its position and returns it.
    int storeEntry();
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
    int showModal(EntryDialogMode mode, int index);

    Session& m_session;
    EntryDialogMode m_mode = EntryDialogMode::AddLyric;
    int m_index = 0;  // the entry an Edit mode works on
    int m_stored = 0; // where the last confirmation stored its entry
};
