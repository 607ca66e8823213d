#pragma once
// Names and places of the split pieces: "N-name" in the output folder with
// the first N (from the piece's own position on) that is not taken.

#include <string>

enum class NumberedName; // media/filters/OutputFile.h

// Replaces every ".wav" by ".mp3" for MP3 output, every ".mp3" by ".wav"
// otherwise; case-insensitive ("Song.MP3" to WAV gives "Song.wav").
std::string FitOutputName(const std::string& name, bool mp3Output);

// Creates every missing level of `dir`. False with a reason on failure
// (including an existing non-directory on the way).
bool MakeSureDirectoryPathExists(const std::string& dir, std::string* reason);

// dir + "/" + "%d-" + name with the first number from pieceIndex + 1 on whose
// candidate does not exist (neither file nor directory nor dangling link).
std::string FindFreeOutputPath(const std::string& dir, const std::string& name, int pieceIndex);
// That number.
long long FindFreeOutputNumber(const std::string& dir, const std::string& name, int pieceIndex);
// The same for either form of numbered name; with NumberedName::Suffix the
// first N from 1 on whose NumberedOutputPath is free ("name", "stem (2).ext", ...).
long long FindFreeOutputNumber(const std::string& dir, const std::string& name, int pieceIndex, NumberedName how);
