// Renders the main window and the help window to PNG files in the given folder.

#include "ui/Fonts.h"
#include "ui/HelpForm.h"
#include "ui/RinvoMain.h"
#include "ui/RuleBox.h"
#include "ui/WindowHarness.h"

#include <QApplication>
#include <QPixmap>

#include <cstdio>
#include <cstring>

#include <QPalette>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc != 2 && !(argc == 3 && std::strcmp(argv[2], "dark") == 0)) {
        std::fprintf(stderr, "usage: %s FOLDER [dark]\n", argv[0]);
        return 2;
    }
    const bool dark = argc == 3;
    if (dark) {
        // A dark colour scheme, as a desktop set to one gives the program.
        QPalette palette;
        for (QPalette::ColorRole role : { QPalette::Window, QPalette::Button })
            palette.setColor(role, QColor(0x2B, 0x2B, 0x2B));
        palette.setColor(QPalette::Base, QColor(0x1E, 0x1E, 0x1E));
        for (QPalette::ColorRole role :
            { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
            palette.setColor(role, QColor(0xE8, 0xE8, 0xE8));
        QApplication::setStyle(QStringLiteral("Fusion"));
        QApplication::setPalette(palette);
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
    if (dark)
        return window.grab().save(folder + QStringLiteral("/main-window-dark.png")) ? 0 : 1;
    const bool saved = window.grab().save(folder + QStringLiteral("/main-window.png"))
        && help.grab().save(folder + QStringLiteral("/help-window.png"));
    return saved ? 0 : 1;
}
