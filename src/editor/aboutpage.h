#pragma once

#include <QWidget>

class TForm1;

// Page 3: the picture, the title and the beta notice with its two links.
class AboutPage : public QWidget {
    Q_OBJECT
public:
    AboutPage(TForm1& form, QWidget* parent);

    static const QString BugReportLink;
    static const QString WebPageLink;

private slots:
    void BitBtn31Click(); // Report bug
    void BitBtn32Click(); // Check new version

private:
    TForm1& m_form;
};
