// kestrin-wizard: the wizard that combines the name indexes of several
// published family trees into one HTML index.
#include "app/KSHTMLverzamelIndex.h"
#include "app/KSqtText.h"
#include "app/KSstartup.h"
#include "common/KScodepage.h"
#include "common/KSerrors.h"

#include <QApplication>
#include <QMessageBox>
#include <iostream>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KESTRIN - HTML verzamelindex"));
    std::unique_ptr<ks::TKScommon> environment;
    try {
        environment = ks::app::StartEnvironment(ks::app::StartupSwitches(application.arguments()));
    } catch (const ks::EKSError& error) {
        // A path is bytes as the system has it; the reason is a text of the program.
        const QString message = error.Path().empty()
                                    ? ks::app::FromKS(error.Reason())
                                    : ks::app::FromPath(error.Path()) + QStringLiteral(": ") +
                                          ks::app::FromKS(error.Reason());
        // Also on the terminal, for a start without anyone at the window.
        std::cerr << "kestrin-wizard: " << (error.Path().empty() ? "" : error.Path() + ": ")
                  << ks::MessageToUtf8(error.Reason()) << std::endl;
        QMessageBox::critical(nullptr, QStringLiteral("KESTRIN"), message);
        return 1;
    }
    ks::app::TwzrdHTMLverzamelIndex wizard;
    QObject::connect(&wizard, &QDialog::finished, &application, &QApplication::quit);
    wizard.show();
    return application.exec();
}
