// kestrin-wizard: the wizard that combines the name indexes of several
// published family trees into one HTML index.
#include "app/KSHTMLverzamelIndex.h"
#include "app/KSqtText.h"
#include "app/KSstartup.h"
#include "common/KSerrors.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KESTRIN - HTML verzamelindex"));
    std::unique_ptr<ks::TKScommon> environment;
    try {
        environment = ks::app::StartEnvironment(ks::app::StartupSwitches(application.arguments()));
    } catch (const ks::EKSError& error) {
        QMessageBox::critical(nullptr, QStringLiteral("KESTRIN"), ks::app::FromKS(error.what()));
        return 1;
    }
    ks::app::TwzrdHTMLverzamelIndex wizard;
    QObject::connect(&wizard, &QDialog::finished, &application, &QApplication::quit);
    wizard.show();
    return application.exec();
}
