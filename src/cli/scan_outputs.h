#pragma once
// The files the command-line scanner leaves in its output folder. Scripts
// rely on these names and formats.

#include <string>
#include <vector>

#include "platform/log_line.h"
#include "platform/text_codec.h"
#include "scan/result_tables.h"

namespace orv {

// raw-pages.txt, raw-contacts.txt, raw-calls.txt, raw-sms.txt (DB-Result,
// Fuck1, Fuck2, Fuck3: SN, then "^" and each further cell, CR LF),
// activity.log (time^type^description) and the six preview CSV files. When
// characters could not be held by the encoding, activity.log ends with a line
// that says how many.
struct ScanOutputsResult {
  std::vector<std::string> failed;  // paths that could not be written
  std::size_t unconverted = 0;      // characters written as kUnconvertedMark
};
ScanOutputsResult WriteScanOutputs(const ResultTables& tables, std::vector<LogLine> log,
                                   const std::string& directory, FileEncoding encoding);

}  // namespace orv
