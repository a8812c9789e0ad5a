#include "programsettings.h"

#include "dialogs/addeditimage.h"
#include "dialogs/addlang.h"
#include "editorpage.h"
#include "picturepage.h"
#include "programfolder.h"
#include "renamerpage.h"
#include "tagprog1.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>

namespace {

const char* const PositionSection = "Position";
const char* const PathSection = "Path";
const char* const TemplateSection = "Rename Template";
constexpr int DefaultLeft = 73;
constexpr int DefaultTop = 56;

std::string utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string rowKey(int row, const char* word) {
    return std::to_string(row) + word;
}

// A position saved on a screen that is gone would open the window where
// nobody can see it; such a position gives way to the default one.
QPoint visiblePosition(QPoint saved) {
    const QPoint titleBar = saved + QPoint(40, 10);
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().contains(titleBar)) return saved;
    return QPoint(DefaultLeft, DefaultTop);
}

} // namespace

ProgramSettings::ProgramSettings(TForm1& form)
    : QObject(&form), m_form(form),
      m_profile(QFile::encodeName(programFolder() + QStringLiteral("quillet.ini")).toStdString()) {
    setObjectName(QStringLiteral("IniFile1"));
}

ProgramSettings* ProgramSettings::of(const TForm1& form) {
    return form.findChild<ProgramSettings*>(QStringLiteral("IniFile1"), Qt::FindDirectChildrenOnly);
}

// --- Start-up --------------------------------------------------------------------

void ProgramSettings::readAtStartup() {
    m_form.editorPage()->pictures()->exportFolder =
        readPath("ImageSaveDir", programFolder() + QStringLiteral("Export Images/"));
    // The classic start folder "c:\" is the user's home here.
    if (m_form.Form3) m_form.Form3->pictureFolder = readPath("OpenPictureDir", homeFolder());
    if (m_form.Form2) m_form.Form2->textFolder = readPath("OpenTextDir", homeFolder());
    readTemplate();
    m_form.renamerPage()->showrenamepreview();
}

void ProgramSettings::readPosition() {
    const int left = m_profile.readInteger(PositionSection, "Left", DefaultLeft);
    const int top = m_profile.readInteger(PositionSection, "Top", DefaultTop);
    m_form.move(visiblePosition(QPoint(left, top)));
}

QString ProgramSettings::readPath(const char* key, const QString& defaultFolder) const {
    return fromUtf8(m_profile.readString(PathSection, key, utf8(defaultFolder)));
}

void ProgramSettings::readTemplate() {
    RenamerPage* page = m_form.renamerPage();
    const int count = m_profile.readInteger(TemplateSection, "NumberOfItems", 0);
    for (int row = 1; row <= count; ++row) {
        page->addTemplateRow(
            fromUtf8(m_profile.readString(TemplateSection, rowKey(row, "Prefix"), "")),
            fromUtf8(m_profile.readString(TemplateSection, rowKey(row, "FrameName"), "")),
            fromUtf8(m_profile.readString(TemplateSection, rowKey(row, "Suffix"), "")));
    }
}

// --- Exit ------------------------------------------------------------------------

void ProgramSettings::writeAtExit() {
    m_profile.writeInteger(PositionSection, "Left", m_form.pos().x());
    m_profile.writeInteger(PositionSection, "Top", m_form.pos().y());
    writePath("ImageSaveDir", m_form.editorPage()->pictures()->lastExportFile);
    if (m_form.Form3) writePath("OpenPictureDir", m_form.Form3->lastPictureFile);
    if (m_form.Form2) writePath("OpenTextDir", m_form.Form2->lastTextFile);
    writeTemplate();
}

void ProgramSettings::writePath(const char* key, const QString& lastFile) {
    // A dialog not used to choose a file in this run leaves its key as it was.
    if (lastFile.isEmpty()) return;
    m_profile.writeString(PathSection, key, utf8(extractdialogpath(lastFile)));
}

void ProgramSettings::writeTemplate() {
    const RenamerPage* page = m_form.renamerPage();
    const int count = page->templateRowCount();
    m_profile.writeInteger(TemplateSection, "NumberOfItems", count);
    // Rows an earlier, longer template left in the file stay; the count hides them.
    for (int row = 1; row <= count; ++row) {
        const QStringList cells = page->templateRow(row - 1);
        m_profile.writeString(TemplateSection, rowKey(row, "Prefix"), utf8(cells[0]));
        m_profile.writeString(TemplateSection, rowKey(row, "Framename"), utf8(cells[1]));
        m_profile.writeString(TemplateSection, rowKey(row, "Suffix"), utf8(cells[2]));
    }
}

// --- Helpers ---------------------------------------------------------------------

QString extractdialogpath(const QString& fileName) {
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : fileName.left(slash + 1);
}

void cleanTempFolder(const QString& folder) {
    static const char* const patterns[] = {"*.jpg", "*.jpeg", "*.bmp", "*.wmf", "*.emf", "*.ico"};
    const QDir dir(folder);
    for (const char* pattern : patterns) {
        // One listing per pattern: each match is tried once, so an entry that
        // will not go away cannot keep the loop turning.
        const QStringList names =
            dir.entryList({QString::fromLatin1(pattern)},
                          QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QString& name : names)
            QFile::remove(dir.filePath(name));
    }
}
