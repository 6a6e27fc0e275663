#include "app/KScontrolState.h"

#include "app/KSqtText.h"
#include "app/KSsplitter.h"
#include "common/KSfiles.h"
#include "common/KSini.h"
#include "common/KStextutil.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QVariant>

namespace ks::app {

namespace {

constexpr const char* kHelpKeyword = "helpKeyword";

std::string ValueName(const QWidget* control, int flags) {
    if (flags & kStateByHelpKeyword) return ToKS(HelpKeyword(control));
    const QString name = control->objectName();
    // Qt's own inner widgets carry names of their own; they are no controls of ours.
    if (name.startsWith(QStringLiteral("qt_"))) return std::string();
    return ToKS(name);
}

bool IsValueControl(const QWidget* control) {
    return qobject_cast<const QLineEdit*>(control) || qobject_cast<const QCheckBox*>(control) ||
           qobject_cast<const QListWidget*>(control) || qobject_cast<const QComboBox*>(control);
}

int SplitterPosition(const QSplitter* splitter) {
    if (auto* ours = qobject_cast<const TKSsplitter*>(splitter)) return ours->LeftPosition();
    return splitter->sizes().value(0);
}

void SetSplitterPosition(QSplitter* splitter, int position) {
    if (auto* ours = qobject_cast<TKSsplitter*>(splitter)) return ours->SetLeftPosition(position);
    QList<int> sizes = splitter->sizes();
    if (sizes.size() < 2) return;
    const int total = sizes[0] + sizes[1];
    sizes[0] = position;
    sizes[1] = qMax(0, total - position);
    splitter->setSizes(sizes);
}

// The text stored for a value control; nothing to store when it has no value.
bool ValueOf(const QWidget* control, std::string& value) {
    if (auto* edit = qobject_cast<const QLineEdit*>(control)) {
        value = ToKS(edit->text());
    } else if (auto* check = qobject_cast<const QCheckBox*>(control)) {
        value = check->isChecked() ? "-1" : "0";
    } else if (auto* list = qobject_cast<const QListWidget*>(control)) {
        const QListWidgetItem* item = list->currentItem();
        if (!item || !item->isSelected()) return false;
        value = ToKS(item->text());
    } else if (auto* combo = qobject_cast<const QComboBox*>(control)) {
        if (combo->currentIndex() < 0) return false;
        value = std::to_string(combo->currentIndex());
    } else {
        return false;
    }
    return true;
}

void SelectListText(QListWidget* list, const QString& text) {
    if (list->count() == 0) return;
    // Two lines may show the same text; the one already selected stays.
    if (list->currentItem() && list->currentItem()->text() == text) {
        list->currentItem()->setSelected(true);
        return;
    }
    int row = 0;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text() == text) {
            row = i;
            break;
        }
    }
    list->setCurrentRow(row);
}

void Apply(QWidget* control, const std::string& value) {
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(FromKS(value));
    } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
        check->setChecked(StrToIntDef(value, 0) != 0);
    } else if (auto* list = qobject_cast<QListWidget*>(control)) {
        SelectListText(list, FromKS(value));
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        if (combo->count() == 0) return;
        const int index = StrToIntDef(value, 0);
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : 0);
    }
}

QList<QWidget*> ChildWidgets(QWidget* container) {
    return container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
}

} // namespace

void SetHelpKeyword(QWidget* control, const QString& keyword) {
    control->setProperty(kHelpKeyword, keyword);
}

QString HelpKeyword(const QWidget* control) {
    return control->property(kHelpKeyword).toString();
}

void SaveControls(QWidget* container, const std::string& key, int flags) {
    for (QWidget* child : ChildWidgets(container))
        SaveControl(child, key, flags);
}

void SaveControl(QWidget* control, const std::string& key, int flags) {
    TKSreg reg(key);
    const std::string name = ValueName(control, flags);
    if (auto* splitter = qobject_cast<QSplitter*>(control)) {
        if (!name.empty()) reg.WriteString(name, std::to_string(SplitterPosition(splitter)));
        SaveControls(control, key, flags);
    } else if (!IsValueControl(control)) {
        SaveControls(control, key, flags);
    } else if (std::string value; !name.empty() && ValueOf(control, value)) {
        reg.WriteString(name, value);
    }
    reg.Close();
}

void LoadControls(QWidget* container, const std::string& key, int flags) {
    for (QWidget* child : ChildWidgets(container))
        LoadControl(child, key, flags);
}

void LoadControl(QWidget* control, const std::string& key, int flags,
                 const std::string& defaultValue) {
    TKSreg reg(key);
    const std::string name = ValueName(control, flags);
    std::string value = defaultValue;
    if (!name.empty() && reg.ValueExists(name)) value = reg.ReadString(name);
    reg.Close();
    if (auto* splitter = qobject_cast<QSplitter*>(control)) {
        int32_t position = 0;
        if (!value.empty() && ParseWholeNumber(value, position))
            SetSplitterPosition(splitter, position);
        LoadControls(control, key, flags);
    } else if (!IsValueControl(control)) {
        LoadControls(control, key, flags);
    } else if (!name.empty() && !value.empty()) {
        Apply(control, value);
    }
}

} // namespace ks::app
