#include "Export.h"

#include "Base.h"
#include "FileSystem.h"
#include "Gbk.h"
#include "Texts.h"

#include <algorithm>

namespace {

// The column titles, as the list shows them.
constexpr const char* kCsvHeader = "域名,状态,注册日期,过期日期,词语";

void AppendCell(std::string& out, const std::string& gbk) {
    std::string cell = platform::GbkToUtf8(gbk);
    if (!cell.empty() && (cell[0] == '=' || cell[0] == '+' || cell[0] == '-' || cell[0] == '@' ||
                          cell[0] == '\t' || cell[0] == '\r')) {
        cell.insert(cell.begin(), '\'');
    }
    if (cell.find_first_of(",\"\r\n") == std::string::npos) {
        out += cell;
        return;
    }
    out += '"';
    for (const char c : cell) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

} // namespace

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

std::string CsvText(const TResultList& list) {
    std::string text = "\xEF\xBB\xBF";
    text += kCsvHeader;
    text += "\r\n";
    for (int i = 0; i < list.Count(); ++i) {
        const TListRow& row = list.Row(i);
        for (int column = 0; column < TResultList::kColumnCount; ++column) {
            if (column > 0) {
                text += ',';
            }
            AppendCell(text, row.Column(column));
        }
        text += "\r\n";
    }
    return text;
}

void WriteCsvFile(const platform::FilePath& path, const TResultList& list) {
    if (!platform::WriteFileReplacing(path, CsvText(list))) {
        throw AppError(FormatText(texts::CannotCreateFile(), path.ToText()));
    }
}

std::string RowsText(const TResultList& list, const std::vector<int>& rows) {
    std::vector<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    std::string text;
    for (const int index : sorted) {
        if (index < 0 || index >= list.Count()) {
            continue;
        }
        const TListRow& row = list.Row(index);
        for (int column = 0; column < TResultList::kColumnCount; ++column) {
            if (column > 0) {
                text += '\t';
            }
            for (const char c : row.Column(column)) {
                text += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
            }
        }
        text += "\r\n";
    }
    return text;
}

bool IsCsvFileName(const platform::FilePath& path) {
    const std::string_view name = path.FileName();
    return name.size() > 4 && SameText(name.substr(name.size() - 4), ".csv");
}
