// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "renamer/renamer.h"

#include <QPersistentModelIndex>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class ReportView;
class Session;

// Page 2: the template renamer. The template rows live in ListView8; a run
// gives every file of the session's selection list the name its own tags
// make, reading them into the session's components.
class RenamerPage : public QWidget {
    Q_OBJECT
public:
    RenamerPage(Session& session, QWidget* parent);

    QLineEdit* Edit38;     // prefix
    QComboBox* ComboBox5;  // frame name, pick-only
    QLineEdit* Edit39;     // suffix
    ReportView* ListView8; // Prefix, Frame Name, Sufix
    QLabel* Label77;       // the preview
    QPushButton* Button1;  // Rename files in selection list
    QProgressBar* ProgressBar2;
    QLabel* Label80; // "i of n"

    // Shown only during a run; stops it after the file in hand, as Escape does.
    QPushButton* StopButton;

    // The renamer page button sets the progress to 0 and the counter to "0 of 0".
    void resetProgress();

    // The template as the list holds it, in list order.
    void addTemplateRow(const QString& prefix, const QString& frameName, const QString& suffix);
    void addTemplateRow(const renamer::TemplateRow& row);
    int templateRowCount() const;
    QStringList templateRow(int row) const; // prefix, frame name, suffix
    renamer::Template templateRows() const;

    // Shows the template as text: frame names between prefixes and suffixes.
    void showrenamepreview();
    // Renames every file of the selection list after the template.
    void renameselection();

    // The refusal of "Add to list".
    static const QString InvalidCharsMessage;

signals:
    // A run went through the selection list, or was stopped.
    void finished();

public slots:
    void BitBtn28Click(); // Add to list
    void BitBtn29Click(); // Delete from list
    void ListView8SelectItem(int row);
    void Button1Click(); // Rename files in selection list

private:
    void runChanged(bool running);

    Session& m_session;
    QPersistentModelIndex m_selectedTemplateRow;
};
