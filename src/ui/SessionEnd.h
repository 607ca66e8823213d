#pragma once
// The end of the user's session: the terminal the program was started from
// closing (SIGHUP), a logout's SIGTERM, Ctrl+C (SIGINT), or the session
// manager asking the program to save its work. Each closes every open page
// as its Cancel does, so that a running job stops and removes its partial
// output before the program ends.

namespace ui {

// Installs the handlers; call once, after the QApplication exists. The
// signal handlers only write a byte to a socket; the pages are closed on
// the GUI thread.
void CancelPagesAtSessionEnd();

} // namespace ui
