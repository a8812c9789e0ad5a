#include "editor/selectionpage.h"

#include "browser/filebrowser.h"
#include "session/session.h"
#include "widgets/reportview.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

SelectionPage::SelectionPage(Session& session, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabSheet3"));
    setAccessibleName(tr("File selection"));
    m_browser = new FileBrowser(this);

    auto* add = new QPushButton(QStringLiteral("Add to list"), this);
    add->setObjectName(QStringLiteral("BitBtn1"));
    auto* remove = new QPushButton(QStringLiteral("Remove form list"), this);
    remove->setObjectName(QStringLiteral("BitBtn2"));
    auto* removeAll = new QPushButton(QStringLiteral("Remove all from list"), this);
    removeAll->setObjectName(QStringLiteral("BitBtn30"));

    ListView1 = new ReportView(
        QStringLiteral("ListView1"), QStringLiteral("Selection List"),
        {{QStringLiteral("No."), 30}, {QStringLiteral("File"), 320}, {QStringLiteral("Path"), 200}},
        this);
    auto* label = new QLabel(QStringLiteral("Selection List:"), this);
    label->setObjectName(QStringLiteral("Label2"));
    label->setBuddy(ListView1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addWidget(removeAll);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_browser, 5);
    layout->addLayout(buttons);
    layout->addWidget(label);
    layout->addWidget(ListView1, 4);

    connect(add, &QPushButton::clicked, this, &SelectionPage::BitBtn1Click);
    connect(remove, &QPushButton::clicked, this, &SelectionPage::BitBtn2Click);
    connect(removeAll, &QPushButton::clicked, this, &SelectionPage::BitBtn30Click);
    session.reportSelections(ListView1);
    // A run walks the list row by row: it keeps its rows until the run ends.
    connect(&session.run, &LoopRun::activeChanged, this, [add, remove, removeAll](bool running) {
        for (QPushButton* b : {add, remove, removeAll})
            b->setEnabled(!running);
    });
}

QString SelectionPage::makerealpath(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

int SelectionPage::rowCount() const {
    return ListView1->topLevelItemCount();
}
QString SelectionPage::rowFile(int row) const {
    return ListView1->topLevelItem(row)->text(1);
}
QString SelectionPage::rowFolder(int row) const {
    return ListView1->topLevelItem(row)->text(2);
}
QString SelectionPage::rowPath(int row) const {
    return rowFolder(row) + rowFile(row);
}
void SelectionPage::setRowFile(int row, const QString& name) {
    ListView1->topLevelItem(row)->setText(1, name);
}

void SelectionPage::appendRow(const QString& file, const QString& folder) {
    ListView1->addRow({QString::number(rowCount() + 1), file, folder});
}

void SelectionPage::BitBtn1Click() {
    const QString folder = makerealpath(m_browser->currentFolder());
    for (const QString& name : m_browser->selectedNames())
        appendRow(name, folder);
}

void SelectionPage::BitBtn2Click() {
    const int row = ListView1->selectedRow();
    if (row < 0) return;
    delete ListView1->takeTopLevelItem(row);
    renumber();
}

void SelectionPage::BitBtn30Click() {
    ListView1->clear();
}

void SelectionPage::renumber() {
    for (int r = 0; r < rowCount(); ++r)
        ListView1->topLevelItem(r)->setText(0, QString::number(r + 1));
}
