#include "WizardTestKit.h"

#include "common/KScommon.h"
#include "common/KSproduct.h"
#include "common/KSregstore.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QtTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace ks::test {

namespace {

std::unique_ptr<TKScommon>& TestEnvironment() {
    static std::unique_ptr<TKScommon> environment;
    return environment;
}

} // namespace

void StartTestEnvironment(const std::vector<std::string>& switches) {
    static QTemporaryDir home;
    std::unique_ptr<TKScommon>& environment = TestEnvironment();
    if (environment) return;
    ::setenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit().constData(), 1);
    // Files a run clears go to a trash of the test's own.
    ::setenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit().constData(), 1);
    ::setenv("TMPDIR", home.path().toLocal8Bit().constData(), 1);
    RegistryStore::Instance().Reload();
    // The program folder as the wizard of the build tree finds it: named
    // beside the test program, whatever the current folder.
    environment = std::make_unique<TKScommon>(switches, std::string());
    environment->SetProduct(kProductName, kProductVersion, kProductRelease, kProductReleaseDate);
    environment->InitEnvironment();
}

void StopTestEnvironment() {
    TestEnvironment().reset();
}

PrivateStore::PrivateStore() {
    std::filesystem::create_directories(Path("tmp"));
    ::setenv("XDG_CONFIG_HOME", Path("config").c_str(), 1);
    ::setenv("TMPDIR", Path("tmp").c_str(), 1);
    RegistryStore::Instance().Reload();
}

PrivateStore::~PrivateStore() = default;

ShownWizard::ShownWizard() {
    window.resize(640, 480);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
}

ShownWizard::~ShownWizard() {
    if (window.isVisible()) window.btnCancelClick();
}

std::string PrivateStore::Path(const std::string& name) const {
    return dir_.path().toStdString() + "/" + name;
}

std::string PrivateStore::StoreFile() const {
    return ReadText(RegistryStore::Instance().FilePath());
}

void WriteText(const std::string& path, const std::string& text) {
    const std::filesystem::path file(path);
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteHtx(const std::string& path, const HtxHeader& header) {
    std::string text = "[KESTRIN]\r\nversion=3.22\r\ntype=" + header.type +
                       "\r\nformat=" + header.format +
                       "\r\n[userdata]\r\nusernr=7\r\nusername=P. Tester\r\n";
    if (header.withMetadata)
        text += "[metadata]\r\ndatafile=tree.ksd\r\ntitle=" + header.title +
                "\r\ncreated=01-03-2019\r\nhtmfile=" + header.htmFile + "\r\n";
    std::istringstream description(header.description);
    int n = 0;
    for (std::string line; std::getline(description, line);)
        text += "description" + std::to_string(++n) + "=" + line + "\r\n";
    text += "[indexdata]\r\nA\tAbel\tJan\t\t1850\t1900\t1\tindex.htm#p1\r\n";
    WriteText(path, text);
}

void AnswerModalWidget(const char* className, std::function<void(QWidget*)> answer) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, className, answer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->inherits(className)) return;
        timer->stop();
        timer->deleteLater();
        answer(modal);
    });
    timer->start();
}

} // namespace ks::test
