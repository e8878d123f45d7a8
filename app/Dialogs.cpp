#include "Dialogs.h"

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

namespace dialogs {
namespace {

const Script* g_script = nullptr;

void Box(QWidget* parent, const std::string& text, Icon icon) {
    if (g_script && g_script->message) {
        g_script->message(text, icon);
        return;
    }
    QMessageBox box(icon == Icon::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
                    Q(texts::AppTitle()), Q(text), QMessageBox::Ok, parent);
    box.exec();
}

} // namespace

void SetScript(const Script* script) {
    g_script = script;
}

void ShowMessage(QWidget* parent, const std::string& text) {
    Box(parent, text, Icon::Information);
}

std::string ErrorDisplayText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
        return message + ".";
    }
    return message;
}

void ShowError(QWidget* parent, const std::string& message) {
    Box(parent, ErrorDisplayText(message), Icon::Error);
}

bool InputQuery(QWidget* parent, const std::string& caption, const std::string& prompt,
                std::string& value, int maxLength) {
    if (g_script && g_script->input) {
        return g_script->input(caption, prompt, value);
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

namespace {

// A name typed without an extension gets the default one, as the dialog adds it.
std::string WithDefaultExtension(const std::string& path, const std::string& extension) {
    const auto slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (extension.empty() || name.empty() || name.find('.') != std::string::npos) {
        return path;
    }
    return path + "." + extension;
}

bool RunSaveDialog(QWidget* parent, const SaveOptions& options, std::string& chosen) {
    if (g_script && g_script->save) {
        return g_script->save(options, chosen);
    }
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setNameFilter(Q(options.filterName) + QStringLiteral(" (") + Q(options.filterPattern) +
                         QStringLiteral(")"));
    dialog.setDefaultSuffix(Q(options.defaultExtension));
    dialog.setDirectory(Q(options.initialFolder));
    if (!options.fileName.empty()) {
        dialog.selectFile(Q(options.fileName));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    chosen = Gbk(dialog.selectedFiles().constFirst());
    return true;
}

} // namespace

bool SaveFile(QWidget* parent, const SaveOptions& options, std::string& chosen) {
    if (!RunSaveDialog(parent, options, chosen) || chosen.empty()) {
        return false;
    }
    chosen = WithDefaultExtension(chosen, options.defaultExtension);
    return true;
}

} // namespace dialogs
