#include "ToolApp.h"

#include "FunctionDlg.h"
#include "media/render/MediaInit.h"

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

// The media layer's process-wide start-up and shutdown: the built-in
// filters are registered, and the audio back end is closed at the end.
void CToolApp::StartMediaLayer()
{
    MediaInitialize();
}

void CToolApp::StopMediaLayer()
{
    MediaUninitialize();
}
