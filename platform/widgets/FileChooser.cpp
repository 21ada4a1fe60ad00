#include "platform/widgets/FileChooser.h"

#include <QFileDialog>
#include <QMetaObject>
#include <QTimer>
#include <filesystem>
#include <memory>

namespace platform::widgets {

namespace {
FileChooser::Script& CurrentScript() {
    static FileChooser::Script script;
    return script;
}
}  // namespace

void FileChooser::SetScript(Script script) {
    CurrentScript() = std::move(script);
}

QStringList FileChooser::NameFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QString(parts[i + 1]).replace(';', ' ');
        const QString desc = parts[i];
        out << (desc.contains("(" + patterns + ")") ? desc : desc + " (" + patterns + ")");
    }
    return out;
}

void FileChooser::Report(Mode mode, const std::string& typed) {
    std::string path = typed;
    if (mode == Mode::Save && !path.empty() && !DefaultExt.empty() &&
        !std::filesystem::path(path).has_extension())
        path += "." + DefaultExt;
    if (!path.empty()) FileName = path;
    Chosen(path);
}

void FileChooser::Show(Mode mode, QWidget* parent) {
    if (const Script& script = CurrentScript()) {
        const auto answer = script(Request{mode, DialogTitle, InitDir, Filter, FileName});
        // Delivered from the loop, as the dialog would.
        QTimer::singleShot(0, [this, mode, path = answer.value_or("")] { Report(mode, path); });
        return;
    }
    auto* dialog = new QFileDialog(parent, QString::fromStdString(DialogTitle),
                                   QString::fromStdString(InitDir));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setNameFilters(NameFilters(Filter));
    const bool save = mode == Mode::Save;
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The dialog asks before overwriting the name as it will be saved.
    if (save) dialog->setDefaultSuffix(QString::fromStdString(DefaultExt));
    // Reports once: an accept gives the file, any other close a cancel.
    auto reported = std::make_shared<bool>(false);
    QObject::connect(dialog, &QFileDialog::finished, dialog,
                     [this, dialog, reported, mode](int result) {
                         if (*reported) return;
                         *reported = true;
                         const QStringList files = dialog->selectedFiles();
                         Report(mode, result == QDialog::Accepted && !files.isEmpty()
                                          ? files.front().toStdString()
                                          : "");
                     });
    dialog->open();
}

}  // namespace platform::widgets
