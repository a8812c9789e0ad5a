// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "editor/picturepage.h"

#include "dialogs/addeditimage.h"
#include "editor/entrylists.h"
#include "graphics/imageview.h"
#include "graphics/picturejob.h"
#include "graphics/pictureloader.h"
#include "io/copyfile.h"
#include "services/userdialogs.h"
#include "session/session.h"
#include "widgets/chosen.h"
#include "widgets/latin1.h"
#include "widgets/reportview.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <tuple>

const FitRule PicturePage::Fit{257, 193, 257, 193, false};

PicturePage::PicturePage(Session& session, QWidget* parent) : QWidget(parent), m_session(session) {
    setObjectName(QStringLiteral("PicturePage"));
    ListView5 = new ReportView(QStringLiteral("ListView5"), QStringLiteral("Images"),
                               {{QStringLiteral("No."), 30},
                                {QStringLiteral("Description"), 200},
                                {QStringLiteral("Format"), 80},
                                {QStringLiteral("Type"), 150}},
                               this);
    m_session.reportSelections(ListView5, tag::ListKind::Pictures);
    // Only a newly selected row loads its picture: the deselection that comes
    // with emptying the list leaves the preview as it is.
    connect(ListView5->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                if (!selected.indexes().isEmpty())
                    ListView5SelectItem(selected.indexes().constFirst().row());
            });

    // Each row of buttons shares its own width, so that the column stays
    // narrow enough for the preview box beside it.
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(4);
    auto row = [&](std::initializer_list<std::tuple<const char*, QString, void (PicturePage::*)()>>
                       entries) {
        auto* line = new QHBoxLayout;
        line->setSpacing(4);
        for (const auto& [name, caption, slot] : entries) {
            auto* b = new QPushButton(caption, this);
            b->setObjectName(QLatin1String(name));
            // Narrower than the style's usual 80 pixels when room is short.
            b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
            b->setMinimumWidth(60);
            connect(b, &QPushButton::clicked, this, slot);
            line->addWidget(b);
        }
        buttons->addLayout(line);
    };
    row({{"BitBtn12", QStringLiteral("Add"), &PicturePage::BitBtn12Click},
         {"BitBtn13", QStringLiteral("Edit"), &PicturePage::BitBtn13Click},
         {"BitBtn14", QStringLiteral("Delete"), &PicturePage::BitBtn14Click}});
    row({{"BitBtn15", QStringLiteral("Export to file"), &PicturePage::BitBtn15Click},
         {"BitBtn22", QStringLiteral("Send to clipboard"), &PicturePage::BitBtn22Click}});
    row({{"BitBtn23", QStringLiteral("Zoom in"), &PicturePage::BitBtn23Click},
         {"BitBtn24", QStringLiteral("Zoom out"), &PicturePage::BitBtn24Click}});
    RadioButton1 = new QRadioButton(QStringLiteral("Original Size"), this);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2 = new QRadioButton(QStringLiteral("Fit to Window"), this);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton2->setChecked(true);
    whenChosen(RadioButton1, [this] { RadioButton1Click(); });
    whenChosen(RadioButton2, [this] { RadioButton2Click(); });
    buttons->addWidget(RadioButton1);
    buttons->addWidget(RadioButton2);
    buttons->addStretch(1);

    ScrollBox1 = new PreviewBox(QSize(273, 209), QPoint(4, 8), QSize(257, 193), this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setAccessibleName(QStringLiteral("Preview"));
    Image2 = ScrollBox1->view();
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setAccessibleName(QStringLiteral("Picture"));
    Image2->hide();

    // A metafile is decoded while the window goes on; its answer is shown
    // only if its row is still the one selected.
    m_job = new PictureJob(this);
    m_job->showIn(
        Image2, [this] { applySizing(); },
        [this](const QString& message) { reportError(m_session.dialogs(), this, message); });

    auto* lower = new QHBoxLayout;
    lower->setSpacing(6);
    lower->addLayout(buttons, 1);
    lower->addWidget(ScrollBox1, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ListView5, 1);
    layout->addLayout(lower);
}

void PicturePage::readpicture() {
    ListView5->clear();
    const tag::TagData& model = m_session.ID3v241.model();
    for (int k = 1; k <= model.count(tag::ListKind::Pictures); ++k)
        ListView5->addRow(entryRow(model, tag::ListKind::Pictures, k));
}

void PicturePage::hidePreview() {
    m_job->cancel();
    Image2->hide();
    // The picture of the file read before is not this file's: nothing to copy.
    Image2->clearPicture();
}

// --- Preview -----------------------------------------------------------------------

void PicturePage::showPicture(int position) {
    const auto& pictures = m_session.ID3v241.Pictures();
    if (position < 1 || position > pictures.count()) return;
    Image2->show();
    const auto& entry = pictures[position];
    // Errors name the picture as the list shows it.
    if (m_job->show(QString::fromStdString(entry.pictureFile),
                    graphics::pictureName(position, shownText(entry.description))))
        applySizing();
}

void PicturePage::cancelPreview() {
    m_job->cancel();
    if (Image2->hasPicture()) return;
    Image2->clearPicture();
}

void PicturePage::applySizing() {
    if (RadioButton1->isChecked())
        Image2->originalSize();
    else if (RadioButton2->isChecked())
        Image2->fitToWindow(Fit);
}

void PicturePage::ListView5SelectItem(int row) {
    guarded(m_session.dialogs(), this, [&] { showPicture(row + 1); });
}

void PicturePage::RadioButton1Click() {
    Image2->originalSize();
}

void PicturePage::RadioButton2Click() {
    Image2->fitToWindow(Fit);
}

void PicturePage::BitBtn23Click() {
    Image2->zoomIn();
}

void PicturePage::BitBtn24Click() {
    Image2->zoomOut();
}

// --- Add, Edit, Delete ----------------------------------------------------------------

void PicturePage::BitBtn12Click() {
    guarded(m_session.dialogs(), this, [&] {
        if (TForm3::listIsFull(m_session, this) || !m_dialog) return;
        m_dialog->addPicture();
    });
}

void PicturePage::BitBtn13Click() {
    guarded(m_session.dialogs(), this, [&] {
        const int index = m_session.currentListItemPosition(ListView5);
        if (index == 0) {
            m_session.dialogs().message(this,
                                        QStringLiteral("You have not chosen any image to edit!"),
                                        QStringLiteral("Warning!"), UserDialogs::Icon::Warning);
            return;
        }
        if (m_dialog) m_dialog->editPicture(index);
    });
}

void PicturePage::BitBtn14Click() {
    guarded(m_session.dialogs(), this, [&] {
        if (ListView5->selectedRow() < 0) return;
        m_session.ID3v241.DeletePicture(m_session.currentListItemPosition(ListView5));
        readpicture();
    });
}

// --- Export and clipboard ---------------------------------------------------------------

QString PicturePage::exportExtension(const std::string& mimeType) {
    // The three characters before the MIME type's zero name the file type,
    // except for image/jpeg, whose files are known as .jpg.
    const QString type = shownText(mimeType);
    if (type.compare(QStringLiteral("image/jpeg"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("jpg");
    return type.right(3);
}

void PicturePage::exportPicture(int position, const QString& target) {
    io::copyFile(m_session.ID3v241.Pictures()[position].pictureFile, target.toStdString());
}

void PicturePage::BitBtn15Click() {
    guarded(m_session.dialogs(), this, [&] {
        const int row = ListView5->selectedRow();
        if (row < 0) {
            m_session.dialogs().message(this, QStringLiteral("Please select image for export"),
                                        QStringLiteral("Error"), UserDialogs::Icon::Warning);
            return;
        }
        const auto& entry = m_session.ID3v241.Pictures()[row + 1];
        const QString ext = exportExtension(entry.mimeType);
        const QString filter = QStringLiteral("Image file (*.%1)|*.%1").arg(ext);
        // A "/" in a description would make the proposed name a path.
        const QString name =
            shownText(entry.description).replace(QLatin1Char('/'), QLatin1Char('_'));
        const QString folder =
            lastExportFile.isEmpty() ? exportFolder : QFileInfo(lastExportFile).path() + '/';
        const QString target = m_session.dialogs().saveFile(this, folder, name, filter, ext);
        if (target.isEmpty()) return;
        lastExportFile = target;
        exportPicture(row + 1, target);
    });
}

void PicturePage::BitBtn22Click() {
    if (Image2->hasPicture()) QGuiApplication::clipboard()->setImage(Image2->picture());
}
