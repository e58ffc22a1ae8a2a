// The archiver's command text: x "archive" "destination".
#pragma once

#include <string>

namespace unlha32 {

struct Command {
  std::string archive;      // CP932 Windows path, without its quotes
  std::string destination;  // CP932 Windows path, without its quotes
};

// Parses text. Blanks (spaces or tabs) separate the three parts; more than one, or
// blanks at either end, are allowed. Returns 0 and fills command, or
// ERROR_COMMAND_NAME when the first word is not "x", or ERROR_NOT_FILENAME when the
// rest is not two non-empty double-quoted paths and nothing else. A double quote
// cannot be the second byte of a CP932 character, so the scan is safe for CP932.
int ParseCommand(const char* text, Command& command);

}  // namespace unlha32
