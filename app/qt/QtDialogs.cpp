#include "QtDialogs.h"

#include "QtText.h"
#include "Texts.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace qtdialogs {

using dialogs::Icon;
using dialogs::SaveOptions;

void ShowBox(QWidget* parent, const std::string& text, Icon icon) {
    const dialogs::Script* script = dialogs::ActiveScript();
    if (script && script->message) {
        script->message(text, icon);
        return;
    }
    QMessageBox box(icon == Icon::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
                    Q(texts::AppTitle()), Q(text), QMessageBox::Ok, parent);
    box.exec();
}

bool InputQuery(QWidget* parent, const std::string& caption, const std::string& prompt,
                std::string& value, int maxLength) {
    const dialogs::Script* script = dialogs::ActiveScript();
    if (script && script->input) {
        return script->input(caption, prompt, value);
    }
    QDialog dialog(parent);
    dialog.setWindowTitle(Q(caption));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(Q(prompt), &dialog));
    auto* edit = new QLineEdit(Q(value), &dialog);
    edit->setMaxLength(maxLength);
    layout->addWidget(edit);
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    value = Gbk(edit->text());
    return true;
}

bool SaveFile(QWidget* parent, const SaveOptions& options, platform::FilePath& chosen) {
    const dialogs::Script* script = dialogs::ActiveScript();
    if (script && script->save) {
        return script->save(options, chosen);
    }
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    QStringList filters{Q(options.filterName) + QStringLiteral(" (") + Q(options.filterPattern) +
                        QStringLiteral(")")};
    QStringList extensions{Q(options.defaultExtension)};
    for (const dialogs::SaveFilter& more : options.moreFilters) {
        filters << Q(more.name) + QStringLiteral(" (") + Q(more.pattern) + QStringLiteral(")");
        extensions << Q(more.extension);
    }
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(extensions.constFirst());
    // A name typed without an extension gets the chosen type's.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, filters, extensions](const QString& filter) {
                         const auto at = filters.indexOf(filter);
                         if (at >= 0) {
                             dialog.setDefaultSuffix(extensions.at(at));
                         }
                     });
    dialog.setDirectory(QPath(options.initialFolder));
    if (!options.fileName.empty()) {
        dialog.selectFile(QPath(options.fileName));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    chosen = PathOf(dialog.selectedFiles().constFirst());
    return true;
}

} // namespace qtdialogs
