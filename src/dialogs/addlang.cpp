#include "addlang.h"

#include "editor/tagprog1.h"

TForm2::TForm2(TForm1& form, QWidget* parent) : QDialog(parent), m_form(form) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Add"));
}
