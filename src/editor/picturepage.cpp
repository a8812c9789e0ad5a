#include "picturepage.h"

#include "latin1.h"
#include "reportview.h"
#include "tagprog1.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>

PicturePage::PicturePage(TForm1& form, QWidget* parent) : QWidget(parent), m_form(form) {
    ListView5 = new ReportView(QStringLiteral("ListView5"), QStringLiteral("Images"),
                               {{QStringLiteral("No."), 30},
                                {QStringLiteral("Description"), 200},
                                {QStringLiteral("Format"), 80},
                                {QStringLiteral("Type"), 150}},
                               this);
    m_form.reportSelections(ListView5);

    auto button = [this](const QString& name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        return b;
    };
    auto* buttons = new QGridLayout;
    buttons->addWidget(button(QStringLiteral("BitBtn12"), QStringLiteral("Add")), 0, 0);
    buttons->addWidget(button(QStringLiteral("BitBtn13"), QStringLiteral("Edit")), 0, 1);
    buttons->addWidget(button(QStringLiteral("BitBtn14"), QStringLiteral("Delete")), 0, 2);
    buttons->addWidget(button(QStringLiteral("BitBtn15"), QStringLiteral("Export to file")), 1, 0,
                       1, 2);
    buttons->addWidget(button(QStringLiteral("BitBtn22"), QStringLiteral("Send to clipboard")), 1,
                       2);
    buttons->addWidget(button(QStringLiteral("BitBtn23"), QStringLiteral("Zoom in")), 2, 0);
    buttons->addWidget(button(QStringLiteral("BitBtn24"), QStringLiteral("Zoom out")), 2, 1);
    RadioButton1 = new QRadioButton(QStringLiteral("Original Size"), this);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2 = new QRadioButton(QStringLiteral("Fit to Window"), this);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton2->setChecked(true);
    buttons->addWidget(RadioButton1, 3, 0, 1, 2);
    buttons->addWidget(RadioButton2, 4, 0, 1, 2);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setAccessibleName(QStringLiteral("Preview"));
    ScrollBox1->setFixedSize(273, 209);
    Image2 = new QLabel;
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setFixedSize(257, 193);
    ScrollBox1->setWidget(Image2);
    Image2->hide();

    auto* lower = new QHBoxLayout;
    lower->addLayout(buttons);
    lower->addWidget(ScrollBox1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ListView5, 1);
    layout->addLayout(lower);
}

void PicturePage::readpicture() {
    ListView5->clear();
    int i = 0;
    for (const auto& e : m_form.ID3v241.Pictures())
        ListView5->addRow({QString::number(++i), shownText(e.description), shownText(e.mimeType),
                           shownText(e.pictureType)});
}

void PicturePage::hidePreview() {
    Image2->hide();
}
