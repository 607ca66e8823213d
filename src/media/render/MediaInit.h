#pragma once
// Media layer start-up and shutdown (in place of CoInitialize /
// CoUninitialize): every built-in filter is registered under its class
// identifier text, so that CreateFilter, AddSourceFilter and RenderFile find
// them. Starting up again is harmless; the job objects and CMediaGraph start
// the layer themselves when nobody did.

void MediaInitialize();
// Closes the audio back end (opened lazily by the first renderer).
void MediaUninitialize();
