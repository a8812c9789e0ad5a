#include "entrylists.h"

#include "languages/languages.h"
#include "latin1.h"
#include "reportview.h"
#include "tagprog1.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {
QString languageName(const std::string& code) {
    return shownText(languages::LanguageName(code));
}
} // namespace

EntryLists::EntryLists(TForm1& form, QWidget* parent) : QObject(parent), m_form(form) {
    const QString no = QStringLiteral("No.");
    ListView2 = new ReportView(
        QStringLiteral("ListView2"), QStringLiteral("User Defined URLs"),
        {{no, 30}, {QStringLiteral("Description"), 250}, {QStringLiteral("Url"), 250}});
    ListView3 = new ReportView(QStringLiteral("ListView3"), QStringLiteral("Texts/Lyrics"),
                               {{no, 30},
                                {QStringLiteral("Description"), 200},
                                {QStringLiteral("Language"), 100},
                                {QStringLiteral("Lyric"), 200}});
    ListView4 = new ReportView(QStringLiteral("ListView4"), QStringLiteral("Comments"),
                               {{no, 30},
                                {QStringLiteral("Description"), 200},
                                {QStringLiteral("Language"), 100},
                                {QStringLiteral("Comment"), 200}});
    ListView7 = new ReportView(
        QStringLiteral("ListView7"), QStringLiteral("User Defined Text"),
        {{no, 30}, {QStringLiteral("Description"), 200}, {QStringLiteral("Text"), 300}});
    ListView6 = new ReportView(
        QStringLiteral("ListView6"), QStringLiteral("Terms of Use"),
        {{no, 30}, {QStringLiteral("Language"), 100}, {QStringLiteral("Terms of Use"), 400}});
    makePanel(ListView2, QStringLiteral("User Defined URLs:"), parent);
    makePanel(ListView3, QStringLiteral("Texts/Lyrics:"), parent);
    makePanel(ListView4, QStringLiteral("Comments:"), parent);
    makePanel(ListView7, QStringLiteral("User Defined Text:"), parent);
    makePanel(ListView6, QStringLiteral("Terms of Use:"), parent);
    for (ReportView* view : {ListView2, ListView3, ListView4, ListView7, ListView6})
        m_form.reportSelections(view);
}

QWidget* EntryLists::makePanel(ReportView* view, const QString& label, QWidget* parent) {
    auto* panel = new QWidget(parent);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    auto* caption = new QLabel(label, panel);
    caption->setBuddy(view);
    view->setParent(panel);
    layout->addWidget(caption);
    layout->addWidget(view, 1);
    return panel;
}

QWidget* EntryLists::panel(ReportView* view) const {
    return view->parentWidget();
}

void EntryLists::readuserurl() {
    int k = 0;
    for (const auto& e : m_form.ID3v241.UserUrls())
        ListView2->addRow({QString::number(++k), shownText(e.description), shownText(e.url)});
}

void EntryLists::readUSLT() {
    int k = 0;
    for (const auto& e : m_form.ID3v241.Lyrics())
        ListView3->addRow({QString::number(++k), shownText(e.description), languageName(e.language),
                           shownText(e.text)});
}

void EntryLists::readcomments() {
    int k = 0;
    for (const auto& e : m_form.ID3v241.Comments())
        ListView4->addRow({QString::number(++k), shownText(e.description), languageName(e.language),
                           shownText(e.text)});
}

void EntryLists::readuserText() {
    int k = 0;
    for (const auto& e : m_form.ID3v241.UserTexts())
        ListView7->addRow({QString::number(++k), shownText(e.description), shownText(e.value)});
}

void EntryLists::readUSER() {
    int k = 0;
    for (const auto& e : m_form.ID3v241.TermsOfUse())
        ListView6->addRow({QString::number(++k), languageName(e.language), shownText(e.text)});
}

void EntryLists::clearAll() {
    for (ReportView* view : {ListView2, ListView3, ListView4, ListView7, ListView6})
        view->clear();
}
