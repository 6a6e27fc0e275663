#include "app/KSqtText.h"

#include "common/KScodepage.h"
#include "common/KSlocal.h"

#include <QByteArray>
#include <QFile>

#include <utility>

namespace ks::app {

QString FromKS(const std::string& text) {
    return QString::fromStdString(Windows1252ToUtf8(text));
}

QString FromTree(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QString FromMessage(const std::string& message) {
    return QString::fromStdString(MessageToUtf8(message));
}

std::string ToTree(const QString& text) {
    return text.toStdString();
}

std::string ToKS(const QString& text, bool* replaced) {
    NearestText kept = Utf8ToNearestWindows1252(text.toStdString());
    if (replaced) *replaced = kept.Replaced;
    return std::move(kept.Text);
}

QString FromPath(const std::string& path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string ToPath(const QString& path) {
    const QByteArray bytes = QFile::encodeName(path);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString Lookup(const std::string& literal) {
    return FromKS(LookupText(literal, "Text"));
}

} // namespace ks::app
