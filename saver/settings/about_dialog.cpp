#include "settings/about_dialog.h"

#include "resource.h"
#include "settings/file_version.h"

AboutDialog::AboutDialog(HWND parent) : Dialog(IDD_ABOUTBOX, parent) {}

AboutDialog::~AboutDialog() {}

BOOL AboutDialog::OnInitDialog()
{
    Dialog::OnInitDialog();
    char version[32];
    FormatFileVersion(version);
    SetDlgItemTextA(Handle(), IDC_VERSION_LABEL, version);
    CenterWindow();
    return TRUE;
}
