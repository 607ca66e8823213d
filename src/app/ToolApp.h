#pragma once
// The application: starts the media layer, runs the first page as the main
// window and ends when that page ends.

class CToolApp {
public:
    // Runs the program; always false, as there is no event loop of the
    // application's own to enter afterwards.
    bool InitInstance();
    // Shuts the media layer down; the result is the process exit code.
    int ExitInstance();

private:
    void StartMediaLayer();
    void StopMediaLayer();
};
