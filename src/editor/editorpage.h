#pragma once

#include "fieldtable.h"

#include <QWidget>
#include <array>
#include <string>

class DateMaskEdit;
class EntryLists;
class PicturePage;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QStackedWidget;
class TForm1;

// Page 1: the tag editor. Eight sub-pages of fields and lists, and the row of
// buttons that writes, copies or leaves what it shows.
class EditorPage : public QWidget {
    Q_OBJECT
public:
    EditorPage(TForm1& form, QWidget* parent);

    QStackedWidget* PageControl3;
    QProgressBar* ProgressBar1;
    QLabel* Label74; // "i of n"
    EntryLists* lists() const { return m_lists; }
    PicturePage* pictures() const { return m_pictures; }

    void showSubPage(int index);
    // Entering the editor: no preview, progress at 0, "0 of 0".
    void enterEditor();
    void hidePicturePreview();

    // Reading the tag into the editor.
    void clearEntryLists();
    void cleaneditboxes();
    void writeframetoedit();
    void writetag1edit();
    void WriteTimeToEdit();

    // The widget of a field of the ID3v2 table, and of the ID3v1.1 page.
    QWidget* field(tag::Prop prop) const { return m_fields[size_t(prop)]; }
    QWidget* id3v1Field(fields::V1 f) const { return m_v1Fields[size_t(f)]; }

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

    // The text a field shows, and showing a property's text in it.
    QString fieldText(const fields::EditorField& f) const;
    void setFieldText(const fields::EditorField& f, const std::string& modelText);
    QLineEdit* v1Edit(fields::V1 f) const;
    QComboBox* v1Genre() const;

    // Write Tag without returning to the selection page.
    void writeTagSteps();
    void fieldsToModel();
    void id3v1FieldsToComponent();

    TForm1& m_form;
    EntryLists* m_lists;
    PicturePage* m_pictures;
    std::array<QWidget*, tag::PropCount> m_fields{};
    std::array<QWidget*, 7> m_v1Fields{};
};

// The progress of a loop over n files after file i: i * (100 / n) computed in
// single precision and rounded to the nearest integer, halves to even.
int progressPosition(int i, int n);
