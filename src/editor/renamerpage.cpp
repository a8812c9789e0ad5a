#include "renamerpage.h"

#include "tagprog1.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

RenamerPage::RenamerPage(TForm1& form, QWidget* parent) : QWidget(parent), m_form(form) {
    setObjectName(QStringLiteral("TabSheet5"));
    setAccessibleName(QStringLiteral("Turbo Renamer"));
    auto* title = new QLabel(QStringLiteral("Turbo Renamer"), this);
    QFont font = title->font();
    font.setBold(true);
    font.setPixelSize(16);
    title->setFont(font);
    ProgressBar2 = new QProgressBar(this);
    ProgressBar2->setObjectName(QStringLiteral("ProgressBar2"));
    ProgressBar2->setRange(0, 100);
    auto* done = new QLabel(QStringLiteral("Done:"), this);
    Label80 = new QLabel(QStringLiteral("0 of 0"), this);
    Label80->setObjectName(QStringLiteral("Label80"));
    auto* progress = new QHBoxLayout;
    progress->addWidget(ProgressBar2, 1);
    progress->addWidget(done);
    progress->addWidget(Label80);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addStretch();
    layout->addLayout(progress);
}

void RenamerPage::resetProgress() {
    ProgressBar2->setValue(0);
    Label80->setText(QStringLiteral("0 of 0"));
}
