// Renders the main window and the help window to PNG files in the given folder.

#include "ui/Fonts.h"
#include "ui/HelpForm.h"
#include "ui/RinvoMain.h"
#include "ui/RuleBox.h"
#include "ui/WindowHarness.h"

#include <QApplication>
#include <QPixmap>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    rinvo::registerFontSubstitutes();
    rinvo::testing::WindowHarness harness;
    rinvo::RinvoMain window(harness.services());
    window.sourceBox(0)->setPlainText(QStringLiteral("/home/user/documents"));
    window.destinationBox(0)->setPlainText(QStringLiteral("/media/user/backup/documents"));
    window.sourceBox(1)->setPlainText(
        QStringLiteral("/home/user/projects/annual-report-2026/drafts"));
    window.destinationBox(1)->setPlainText(
        QStringLiteral("/media/user/backup/projects/annual-report-2026/drafts/latest-version"));
    window.show();
    rinvo::HelpForm help;
    help.show();
    QApplication::processEvents();
    const bool saved = window.grab().save(folder + QStringLiteral("/main-window.png"))
        && help.grab().save(folder + QStringLiteral("/help-window.png"));
    return saved ? 0 : 1;
}
