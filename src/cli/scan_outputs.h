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
// activity.log (time^type^description) and the six preview CSV files.
// Returns the paths that could not be written.
std::vector<std::string> WriteScanOutputs(const ResultTables& tables,
                                          const std::vector<LogLine>& log,
                                          const std::string& directory, FileEncoding encoding);

}  // namespace orv
