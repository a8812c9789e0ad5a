#pragma once

#include <QWidget>

class ReportView;
class TForm1;

// The five entry lists of the editor (user URLs, lyrics, comments, user texts,
// terms of use): report views that mirror the tag model's lists and are
// rebuilt from the model after every change.
class EntryLists : public QObject {
    Q_OBJECT
public:
    EntryLists(TForm1& form, QWidget* parent);

    ReportView* ListView2; // user defined URLs
    ReportView* ListView3; // lyrics
    ReportView* ListView4; // comments
    ReportView* ListView7; // user defined texts
    ReportView* ListView6; // terms of use

    // Each list view with its label above it, ready to be placed on a sub-page.
    QWidget* panel(ReportView* view) const;

    // Rebuild operations: append rows 1..count of the model list (the caller
    // empties the list view first).
    void readuserurl();
    void readUSLT();
    void readcomments();
    void readuserText();
    void readUSER();
    void clearAll();

private:
    QWidget* makePanel(ReportView* view, const QString& label, QWidget* parent);

    TForm1& m_form;
};
