#include "ToolApp.h"

#include "FunctionDlg.h"

bool CToolApp::InitInstance()
{
    StartMediaLayer();
    CFunctionDlg page;
    page.DoModal();
    return false;
}

int CToolApp::ExitInstance()
{
    StopMediaLayer();
    return 0;
}

// The media layer's process-wide start-up and shutdown belong here; it
// needs none yet.
void CToolApp::StartMediaLayer() {}
void CToolApp::StopMediaLayer() {}
