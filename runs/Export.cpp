#include "Export.h"

#include "Base.h"
#include "FileSystem.h"
#include "Texts.h"

std::vector<std::string> CollectAvailable(const TResultList& list) {
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i) {
        if (list.Row(i).Column(1) == texts::StatusAvailable()) {
            names.push_back(list.Row(i).Caption);
        }
    }
    return names;
}

std::string ExportText(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names) {
        text += name;
        text += "\r\n";
    }
    return text;
}

void WriteExportFile(const platform::FilePath& path, const std::vector<std::string>& names) {
    if (!platform::WriteFileReplacing(path, ExportText(names))) {
        throw AppError(FormatText(texts::CannotCreateFile(), path.ToText()));
    }
}
