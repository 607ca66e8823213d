#pragma once
// The application: starts the media layer, runs the first page as the main
// window and ends when that page ends.

#include <QStringList>

// The files named on the command line (the desktop entry's %F), made
// absolute; options (arguments starting with "-") are skipped up to a "--".
QStringList StartFiles(const QStringList& arguments);
// Whether --merge comes before any "--": start on the merge page.
bool MergeRequested(const QStringList& arguments);
// Whether --tracks comes before any "--": open the file on the tracks page.
bool TracksRequested(const QStringList& arguments);

class CToolApp {
public:
    // Runs the program; always false, as there is no event loop of the
    // application's own to enter afterwards. `files` open the page of their
    // job at once (see CFunctionDlg::OpenStartFiles); `merge` opens the
    // merge page even for fewer than two files; `tracks` opens one file on
    // the tracks page.
    bool InitInstance(const QStringList& files = {}, bool merge = false, bool tracks = false);
    // Shuts the media layer down; the result is the process exit code.
    int ExitInstance();

private:
    void StartMediaLayer();
    void StopMediaLayer();
};
