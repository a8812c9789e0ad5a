// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "dialogs/addeditimage.h"

#include "graphics/imageview.h"
#include "graphics/picturejob.h"
#include "graphics/pictureloader.h"
#include "services/userdialogs.h"
#include "session/session.h"
#include "tagengine/v24.h"
#include "widgets/chosen.h"
#include "widgets/latin1.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

const FitRule TForm3::Fit{281, 337, 280, 336, true};

TForm3::TForm3(Session& session, QWidget* parent) : QDialog(parent), m_session(session) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Add Image"));

    auto labelFor = [this](const char* name, const QString& text, QWidget* buddy) {
        auto* label = new QLabel(text, this);
        label->setObjectName(QLatin1String(name));
        label->setBuddy(buddy);
        return label;
    };
    auto button = [this](const char* name, const QString& caption, void (TForm3::*slot)()) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    for (std::string_view name : v24::PictureTypeNames)
        ComboBox1->addItem(QString::fromUtf8(name.data(), qsizetype(name.size())));
    ComboBox1->setCurrentIndex(-1);
    Label4 = new QLabel(QStringLiteral("Unknown"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    auto* load = button("BitBtn1", QStringLiteral("Load file..."), &TForm3::BitBtn1Click);

    RadioButton1 = new QRadioButton(QStringLiteral("Original size"), this);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2 = new QRadioButton(QStringLiteral("Fit to window"), this);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton2->setChecked(true);
    whenChosen(RadioButton1, [this] { RadioButton1Click(); });
    whenChosen(RadioButton2, [this] { RadioButton2Click(); });
    auto* zoomIn = button("BitBtn4", QStringLiteral("Zoom in"), &TForm3::BitBtn4Click);
    auto* zoomOut = button("BitBtn5", QStringLiteral("Zoom out"), &TForm3::BitBtn5Click);
    BitBtn2 = button("BitBtn2", QStringLiteral("Add"), &TForm3::BitBtn2Click);
    BitBtn2->setDefault(true);
    auto* cancel = button("BitBtn3", QStringLiteral("Cancel"), &TForm3::BitBtn3Click);

    ScrollBox1 = new PreviewBox(QSize(297, 353), QPoint(8, 8), QSize(281, 337), this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setAccessibleName(QStringLiteral("Preview"));
    Image1 = ScrollBox1->view();
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(QStringLiteral("Picture"));
    Image1->hide();
    m_job = new PictureJob(this);
    m_job->showIn(
        Image1, [this] { applySizing(); },
        [this](const QString& message) { reportError(m_session.dialogs(), this, message); });

    auto* fields = new QVBoxLayout;
    fields->setSpacing(2);
    fields->addWidget(labelFor("Label1", QStringLiteral("Description:"), Edit1));
    fields->addWidget(Edit1);
    fields->addSpacing(6);
    fields->addWidget(labelFor("Label2", QStringLiteral("Type:"), ComboBox1));
    fields->addWidget(ComboBox1);
    fields->addSpacing(6);
    auto* format = new QHBoxLayout;
    format->addWidget(labelFor("Label3", QStringLiteral("Image Format:"), Label4));
    format->addWidget(Label4, 1);
    fields->addLayout(format);
    fields->addSpacing(6);
    fields->addWidget(labelFor("Label5", QStringLiteral("Image Path:"), Edit2));
    fields->addWidget(Edit2);
    fields->addWidget(load, 0, Qt::AlignRight);
    fields->addStretch(1);
    fields->addWidget(RadioButton1);
    fields->addWidget(RadioButton2);
    auto* zoom = new QHBoxLayout;
    zoom->addWidget(zoomIn);
    zoom->addWidget(zoomOut);
    fields->addLayout(zoom);
    fields->addSpacing(12);
    auto* confirm = new QHBoxLayout;
    confirm->addStretch(1);
    confirm->addWidget(BitBtn2);
    confirm->addWidget(cancel);
    fields->addLayout(confirm);

    auto* layout = new QHBoxLayout(this);
    layout->setSpacing(10);
    layout->addLayout(fields, 1);
    layout->addWidget(ScrollBox1, 0, Qt::AlignTop);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    Edit1->setMinimumWidth(250);
}

QString TForm3::mimeTypeForPath(const QString& path) {
    if (path.endsWith(QStringLiteral(".jpeg"), Qt::CaseInsensitive))
        return QStringLiteral("image/jpeg");
    return QStringLiteral("image/") + path.right(3);
}

void TForm3::setMode(ImageDialogMode mode, int index) {
    m_mode = mode;
    m_index = mode == ImageDialogMode::EditPicture ? index : 0;
}

int TForm3::showModal(ImageDialogMode mode, int index) {
    setMode(mode, index);
    m_stored = 0;
    return exec() == QDialog::Accepted ? m_stored : 0;
}

int TForm3::addPicture() {
    return showModal(ImageDialogMode::AddPicture, 0);
}

int TForm3::editPicture(int index) {
    return showModal(ImageDialogMode::EditPicture, index);
}

bool TForm3::listIsFull(Session& session, QWidget* parent) {
    if (!session.ID3v241.Pictures().full()) return false;
    session.dialogs().message(parent, FullListMessage, QStringLiteral("Warning!"),
                              UserDialogs::Icon::Warning);
    return true;
}

void TForm3::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Restoring a minimised dialog is no new showing.
    if (event->spontaneous()) return;
    Edit1->setFocus();
    guarded(m_session.dialogs(), this, [&] { FormShow(); });
}

void TForm3::FormShow() {
    if (m_mode == ImageDialogMode::AddPicture) {
        setWindowTitle(QStringLiteral("Add Image"));
        BitBtn2->setText(QStringLiteral("Add"));
        Image1->hide();
        Edit1->clear();
        ComboBox1->setCurrentIndex(-1);
        Edit2->clear();
        return;
    }
    const auto& pictures = m_session.ID3v241.Pictures();
    const int index = pictureIndex();
    if (index < 1 || index > pictures.count()) return;
    const auto& entry = pictures[index];
    Edit1->setText(shownText(entry.description));
    ComboBox1->setCurrentIndex(
        ComboBox1->findText(shownText(entry.pictureType), Qt::MatchFixedString));
    Edit2->setText(QString::fromStdString(entry.pictureFile));
    Label4->setText(shownText(entry.mimeType));
    // Taken before the picture is loaded, so that an entry whose picture cannot
    // be shown is still stored back unchanged.
    pendingMimeType = Label4->text();
    Image1->setAutoSize(true);
    showPictureFile(Edit2->text(), graphics::pictureName(index, Edit1->text()));
}

void TForm3::showPictureFile(const QString& path, const QString& name) {
    Image1->show();
    m_job->show(path, name);
}

void TForm3::hideEvent(QHideEvent* event) {
    // A decode the dialog no longer shows is given up, its helper killed.
    m_job->cancel();
    QDialog::hideEvent(event);
}

void TForm3::applySizing() {
    if (RadioButton1->isChecked())
        Image1->originalSize();
    else if (RadioButton2->isChecked())
        Image1->fitToWindow(Fit);
}

void TForm3::BitBtn1Click() {
    guarded(m_session.dialogs(), this, [&] {
        const QString folder =
            lastPictureFile.isEmpty() ? pictureFolder : QFileInfo(lastPictureFile).path() + '/';
        const QString path =
            m_session.dialogs().openPicture(this, folder, graphics::openPictureFilter());
        if (!path.isEmpty()) loadFile(path);
    });
}

void TForm3::loadFile(const QString& path) {
    Edit2->setText(path);
    lastPictureFile = path;
    pendingMimeType = mimeTypeForPath(path);
    // The format shown is the one "Add" will store.
    Label4->setText(pendingMimeType);
    showPictureFile(path);
    applySizing();
}

void TForm3::BitBtn2Click() {
    guarded(m_session.dialogs(), this, [&] {
        const bool adding = m_mode == ImageDialogMode::AddPicture;
        if (adding && listIsFull(m_session, this)) return;
        const int index = adding ? m_session.ID3v241.Pictures().count() + 1 : pictureIndex();
        m_session.ID3v241.SetPicture(
            tag::withTerminator(modelText(Edit1->text())), modelText(ComboBox1->currentText()),
            tag::withTerminator(modelText(pendingMimeType)), Edit2->text().toStdString(), index);
        m_stored = index;
        emit pictureStored();
        accept();
    });
}

void TForm3::BitBtn3Click() {
    reject();
}

void TForm3::BitBtn4Click() {
    Image1->zoomIn();
}

void TForm3::BitBtn5Click() {
    Image1->zoomOut();
}

void TForm3::RadioButton1Click() {
    Image1->originalSize();
}

void TForm3::RadioButton2Click() {
    Image1->fitToWindow(Fit);
}
