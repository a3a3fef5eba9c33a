#pragma once
// Turning a configuration file into the configuration image, with the message lines the operator
// sees: what Apply does before its transfer, and all that `qln lint` / `qln encode` do.
#include "config/ConfigConversion.h"

class SetupSession;

namespace config {

// A file that does not exist or is empty shows "Invalid file pathname" and gives false.
bool CheckConfigFile(SetupSession& s, const QString& path);

// Converts the file into a fresh UIFCollectBuf (collect mode is off again when it returns);
// shows the result line (control characters as U+FFFD) and logs it with the file's bytes; after
// a complete conversion also the record total and, when there is none, the no-records warning.
// False, after the "Invalid file pathname" message, when the file could not be read; the image
// then counts for nothing.
bool ConvertToImage(SetupSession& s, const QString& path, ConversionResult& result);

}  // namespace config
