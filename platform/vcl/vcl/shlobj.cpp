#include "vcl/shlobj.h"

#include <QDir>
#include <QFileDialog>

#include <cstring>
#include <string>

#include "internal/gui.h"
#include "internal/message_box.h"
#include "vcl/windows.h"
#include "win32/codepage.h"
#include "win32/paths.h"

namespace vcl {

// An item list of the stand-in: the chosen folder's Windows path.
struct ITEMIDLIST {
  std::string windowsPath;
};

namespace {

// Copies text and a NUL into a MAX_PATH buffer; false (empty buffer) when it does
// not fit.
bool CopyBounded(LPSTR buffer, const std::string& text) {
  if (buffer == nullptr) return false;
  if (text.size() + 1 > MAX_PATH) {
    buffer[0] = '\0';
    return false;
  }
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return true;
}

class TaskAllocator : public IMalloc {
 public:
  void Free(void* block) override { delete static_cast<ITEMIDLIST*>(block); }
  unsigned long Release() override { return 1; }
};

}  // namespace

LPITEMIDLIST SHBrowseForFolderA(BROWSEINFOA* info) {
  internal::EnsureGui();
  QWidget* owner = internal::OwnerWidget(info != nullptr ? info->hwndOwner : nullptr);
  QFileDialog dialog(owner);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.setDirectory(QDir::homePath());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return nullptr;
  const std::string host = QDir::cleanPath(dialog.selectedFiles().front()).toStdString();
  auto windowsPath = win32::ToWindowsPath(host);
  std::string refusal;
  if (!windowsPath) {
    refusal = windowsPath.error().reason;
  } else if (windowsPath->size() + 1 > MAX_PATH) {
    refusal = "the folder's Windows path is longer than 259 bytes";
  }
  if (!refusal.empty()) {
    // Handing back a path the caller's buffer cannot hold would lose it silently.
    internal::ShowMessageBox(info != nullptr ? info->hwndOwner : nullptr,
                             QString::fromUtf8("フォルダの参照"),
                             QString::fromStdString(host + ":\n" + refusal), MB_OK | MB_ICONSTOP);
    return nullptr;
  }
  if (info != nullptr && info->pszDisplayName != nullptr) {
    const std::string& path = *windowsPath;
    const std::size_t cut = path.find_last_of('\\');
    const std::string name = cut == std::string::npos || cut + 1 == path.size() ? path : path.substr(cut + 1);
    CopyBounded(info->pszDisplayName, name);
  }
  return new ITEMIDLIST{*windowsPath};
}

BOOL SHGetPathFromIDListA(LPCITEMIDLIST list, LPSTR path) {
  if (list == nullptr) {
    if (path != nullptr) path[0] = '\0';
    return FALSE;
  }
  return CopyBounded(path, list->windowsPath) ? TRUE : FALSE;
}

long SHGetMalloc(IMalloc** allocator) {
  static TaskAllocator theAllocator;
  if (allocator == nullptr) return 0x80070057L;  // E_INVALIDARG
  *allocator = &theAllocator;
  return 0;
}

}  // namespace vcl
