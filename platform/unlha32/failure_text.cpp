#include "unlha32/observer.h"

namespace unlha32 {

std::string FailureText(const Failure& failure) {
  std::string text = "アーカイブを展開できませんでした。\n\nアーカイブ: " + failure.archive + "\n";
  if (!failure.entry.empty()) text += "ファイル: " + failure.entry + "\n";
  text += "理由: " + failure.reason;
  return text;
}

}  // namespace unlha32
