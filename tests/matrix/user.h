// A scripted user for the installer running in this process: it watches for the
// installer's modal windows (dialogs and message boxes), writes what each showed to
// a log, and answers each with the next answer of its script.
#pragma once

#include <string>
#include <vector>

namespace matrix {

// Answers, consumed in order, one per modal window shown:
//   "Return", "Escape"            a key press in the window
//   "text:<UTF-8>;Return"         the destination box's text replaced, then Return
// When the script is used up: the destination dialog is cancelled (Escape), and
// every other window gets Return.
void StartScriptedUser(const std::vector<std::string>& answers, const std::string& logPath);

}  // namespace matrix
