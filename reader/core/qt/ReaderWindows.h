// The reader's seven windows: created once, in a fixed order, main window first, each reached
// through its global instance until the program ends.
#pragma once

#include <QString>

#include <string>
#include <vector>

namespace quarto {

// Creates Form1 (which runs the whole start-up), SearchForm, PreviewForm, insertForm, Form2,
// Refs and Form3, in this order. appFolder is the reader's folder, ending with a separator;
// arguments the command line without the program, as 1251 bytes.
void CreateReaderWindows(const std::string& appFolder, const std::vector<std::string>& arguments);
// Destroys the windows in the reverse order and clears the globals.
void DestroyReaderWindows();

// The message the reader gives when no edition is found under appFolder.
QString NoEditionsText(const std::string& appFolder);

} // namespace quarto
