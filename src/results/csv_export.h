#pragma once
// The command-line scanner's export: the normal and the deleted preview list
// of every kind, each as a CSV file in the format of saved results.

#include <string>
#include <system_error>
#include <vector>

#include "platform/text_codec.h"
#include "scan/result_tables.h"

namespace orv {

struct CsvFileResult {
  std::string path;
  std::size_t rows = 0;         // lines written
  std::error_code error;        // empty when the file was written
  std::size_t unconverted = 0;  // characters the encoding could not hold
};

// Writes contacts.csv, contacts-deleted.csv, calls.csv, calls-deleted.csv,
// sms.csv and sms-deleted.csv into `directory` (which must exist); an empty
// list gives an empty file. Every file is tried; returns one result per file
// in that order.
std::vector<CsvFileResult> ExportPreviewCsvFiles(const ResultTables& tables,
                                                 const std::string& directory,
                                                 FileEncoding encoding);

}  // namespace orv
