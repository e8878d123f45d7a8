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
