#pragma once
// Turning a configuration file into the configuration image, with the message lines the operator
// sees: what Apply does before its transfer, and all that `qln lint` / `qln encode` do.
#include "config/ConfigConversion.h"

class SetupSession;

namespace config {

// A file that does not exist or is empty shows "Invalid file pathname" and gives false.
bool CheckConfigFile(SetupSession& s, const QString& path);

// Starts a fresh image, switches collect mode on (it stays on) and converts the file; shows and
// logs the result line, and after a complete conversion the record total and, when there is
// none, the no-records warning. False, after the "Invalid file pathname" message, when the file
// could not be read; the image then counts for nothing.
bool ConvertToImage(SetupSession& s, const QString& path, ConversionResult& result);

}  // namespace config
