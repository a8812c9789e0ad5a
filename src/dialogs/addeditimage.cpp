#include "addeditimage.h"

#include "editor/tagprog1.h"

TForm3::TForm3(TForm1& form, QWidget* parent) : QDialog(parent), m_form(form) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Add Image"));
}
