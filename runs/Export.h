#pragma once

#include "FilePath.h"
#include "ResultList.h"

#include <string>
#include <vector>

// The captions of the rows whose status is exactly "可以注册", top to bottom.
std::vector<std::string> CollectAvailable(const TResultList& list);

// The export file's bytes: each name followed by CR LF, nothing else.
std::string ExportText(const std::vector<std::string>& names);

// Writes the names to path, replacing any file there. The new file is written
// whole before it takes the old one's place, so a failure leaves the old file
// as it was. Raises AppError "Cannot create file <path>" on failure.
void WriteExportFile(const platform::FilePath& path, const std::vector<std::string>& names);

// The whole table as a spreadsheet opens it: UTF-8 with a byte-order mark (so
// Excel and WPS read the Chinese right), a header line of the column titles,
// then every row in list order (caption, status, both dates, the words), CR LF
// line ends, fields quoted as RFC 4180 says. A cell that a spreadsheet would
// run as a formula (it begins with =, +, -, @, a tab or a CR) gets a "'" in
// front: a date is the server's own text when it could not be read.
std::string CsvText(const TResultList& list);

// Writes CsvText(list) to path as WriteExportFile writes, whole or not at all.
void WriteCsvFile(const platform::FilePath& path, const TResultList& list);

// The rows given (any order, repeats allowed) as a spreadsheet pastes them, in
// list order: one row a line ended by CR LF, its five cells separated by tabs.
// GBK; a tab or a line break inside a cell becomes a blank, so that a cell
// never splits. Rows outside the list are left out.
std::string RowsText(const TResultList& list, const std::vector<int>& rows);

// Whether a file name asks for the table (it ends in ".csv", any case).
bool IsCsvFileName(const platform::FilePath& path);
