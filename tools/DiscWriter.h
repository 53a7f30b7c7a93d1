// Writing a disc folder for the installer: its "setup.inf", the installer, the reader's program
// group, "Base", "Skins", the music ("AudioData", "mp3") and "Books/<key>" of each edition.
#pragma once

#include <string>
#include <vector>

namespace quarto {

struct TDiscSource {
    std::string AppFolder;             // the reader's folder: programs, Base, Skins, music
    std::string SetupProgram;          // the installer to put in the disc root
    std::vector<std::string> Editions; // edition folders (each with its setup.inf)
    int SubVersion = 1;
};

// Writes the disc into folder out (created; files of the same names are replaced). The
// descriptor's Size is the megabytes the disc holds, rounded up. Throws std::runtime_error
// naming what is missing.
void MakeDisc(const TDiscSource& source, const std::string& out);

} // namespace quarto
