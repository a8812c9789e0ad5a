// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "editor/fieldtable.h"
#include "tagengine/writetag.h"

#include <QStringList>
#include <QWidget>
#include <array>
#include <optional>
#include <string>

class DateMaskEdit;
class EntryLists;
class PicturePage;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QStackedWidget;
class Session;

namespace journal {
class Recording;
}

// Page 1: the tag editor. Eight sub-pages of fields and lists, and the row of
// buttons that writes, copies or leaves what it shows. It shows and writes
// the session's components for the file it read; "Write for all" writes
// every file of the session's selection list.
class EditorPage : public QWidget {
    Q_OBJECT
public:
    EditorPage(Session& session, QWidget* parent);

    QStackedWidget* PageControl3;
    QProgressBar* ProgressBar1;
    QLabel* Label74; // "i of n"
    EntryLists* lists() const { return m_lists; }
    PicturePage* pictures() const { return m_pictures; }

    void showSubPage(int index);
    // Entering the editor: no preview, progress at 0, "0 of 0".
    void enterEditor();
    void hidePicturePreview();

    // Reads the two tags of path into the editor: "Write Tag" writes to it.
    void readFile(const QString& path);
    const QString& file() const { return m_file; }

    // Reading the tag into the editor.
    void clearEntryLists();
    void cleaneditboxes();
    void writeframetoedit();
    void writetag1edit();
    void WriteTimeToEdit();

    // The widget of a field of the ID3v2 table, and of the ID3v1.1 page.
    QWidget* field(tag::Prop prop) const { return m_fields[size_t(prop)]; }
    QWidget* id3v1Field(std::string Id3v1::*member) const;

signals:
    // Writing or cancelling ended the editing: back to the selection page.
    void done();
    // "Write for all" went through the selection list, or was stopped.
    void finished();

public slots:
    void BitBtn19Click(); // Write Tag
    void Button2Click();  // Write for all
    void BitBtn20Click(); // Copy to ID3v1.1
    void BitBtn21Click(); // Copy from ID3v1.1
    void Button3Click();  // Cancel editing

private:
    QWidget* buildSubPage(const fields::SubPage& page);
    QWidget* makeField(const fields::EditorField& f, QWidget* parent);
    QWidget* buildId3v1Page(QWidget* page);
    QWidget* buildButtonRow();
    // During a run nothing here may start a write or change the model the run
    // writes; "Cancel editing" stays, it stops "Write for all".
    void runChanged(bool running);

    // The text a field shows, and showing a property's text in it.
    QString fieldText(const fields::EditorField& f) const;
    void setFieldText(const fields::EditorField& f, const std::string& modelText);
    QLineEdit* v1Edit(std::string Id3v1::*member) const;
    QComboBox* v1Genre() const;

    // Write Tag into path without returning to the selection page, recorded
    // in the undo journal when given a recording.
    void writeTagSteps(const QString& path, journal::Recording* recording, writetag::Loss loss);
    // Names the frames of the files' tags a write could not keep and asks
    // whether to write all the same: nothing when the user says No, the loss
    // the writes may take otherwise.
    std::optional<writetag::Loss> lossAccepted(const QStringList& paths);
    void fieldsToModel();
    void id3v1FieldsToComponent();

    Session& m_session;
    QString m_file; // the file read into the editor
    EntryLists* m_lists;
    PicturePage* m_pictures;
    std::array<QWidget*, tag::PropCount> m_fields{};
    std::array<QWidget*, id3::Fields.size()> m_v1Fields{}; // in id3::Fields order
    QList<QWidget*> m_lockedDuringRun;
};
