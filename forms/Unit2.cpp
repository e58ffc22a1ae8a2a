#include "forms/Unit2.h"

#include "engine/append_path.h"
#include "engine/messages.h"
#include "engine/text_buffer.h"
#include "vcl/application.h"
#include "vcl/shlobj.h"
#include "vcl/windows.h"
#include "win32/kernel.h"
#include "win32/shell.h"

TForm2* Form2 = nullptr;

namespace {

constexpr WORD kProbeFlags = FOF_SILENT | FOF_NOCONFIRMATION;  // 20

void RefuseTooLong(const vcl::AnsiString& text) {
  vcl::Application->MessageBox(vcl::AnsiString(engine::PathTooLongMessage(text.view())),
                               vcl::AnsiString(engine::SetupCaption()),
                               vcl::MB_OK | vcl::MB_ICONSTOP);
}

}  // namespace

TForm2::TForm2(vcl::TComponent* Owner) : vcl::TForm(Owner) {
  LoadDescription("TFORM2", vcl::FormBindings()
                                .Handler("FormShow", [this](vcl::TObject* s) { FormShow(s); })
                                .Handler("Button1Click", [this](vcl::TObject* s) { Button1Click(s); })
                                .Handler("Button2Click", [this](vcl::TObject* s) { Button2Click(s); })
                                .Component("Label1", Label1)
                                .Component("GroupBox1", GroupBox1)
                                .Component("Edit1", Edit1)
                                .Component("Label2", Label2)
                                .Component("Button1", Button1)
                                .Component("Button2", Button2)
                                .Component("Button3", Button3)
                                .Component("CheckBox1", CheckBox1)
                                .Component("Label3", Label3));
}

void TForm2::FormShow(vcl::TObject* /*Sender*/) { Button2->SetFocus(); }

void TForm2::Button1Click(vcl::TObject* /*Sender*/) {
  char browse[260] = {};
  vcl::BROWSEINFOA info{};
  info.hwndOwner = Handle();
  info.pidlRoot = nullptr;
  info.pszDisplayName = browse;
  info.lpszTitle = nullptr;
  info.ulFlags = vcl::BIF_RETURNONLYFSDIRS;
  info.lpfn = nullptr;
  info.lParam = 0;
  info.iImage = 0;
  vcl::LPITEMIDLIST list = vcl::SHBrowseForFolderA(&info);
  if (list == nullptr) return;
  vcl::SHGetPathFromIDListA(list, browse);
  Edit1->SetText(browse);
  vcl::IMalloc* allocator = nullptr;
  if (vcl::SHGetMalloc(&allocator) == 0 && allocator != nullptr) {
    allocator->Free(list);
    allocator->Release();
  }
}

void TForm2::Button2Click(vcl::TObject* /*Sender*/) {
  char source[260] = {};
  const UINT length = GetWindowsDirectoryA(source, sizeof source);
  // Without a Windows directory the layer has already said why; the dialog stays.
  if (length == 0) return;
  if (length >= sizeof source || !engine::AppendPath(source, "WIN.INI")) {
    RefuseTooLong(vcl::AnsiString(source));
    return;
  }
  // The text, a separator, "KWIX.INI" and two NULs must fit the 260-byte list;
  // a longer text is refused here instead of being cut or overrunning the list.
  const vcl::AnsiString text = Edit1->Text();
  char destination[260] = {};
  if (!engine::CopyText(destination, text.view()) || !engine::AppendPath(destination, "KWIX.INI")) {
    RefuseTooLong(text);
    return;
  }
  SHFILEOPSTRUCTA copy{};
  copy.hwnd = Handle();
  copy.wFunc = FO_COPY;
  copy.pFrom = source;
  copy.pTo = destination;
  copy.fFlags = kProbeFlags;
  if (SHFileOperationA(&copy) != 0) return;
  SHFILEOPSTRUCTA remove{};
  remove.hwnd = Handle();
  remove.wFunc = FO_DELETE;
  remove.pFrom = destination;
  remove.pTo = nullptr;
  remove.fFlags = kProbeFlags;
  SHFileOperationA(&remove);
  SetModalResult(vcl::mrOk);
}
