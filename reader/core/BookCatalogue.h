// The catalogue of editions: every folder under "Books" beside the reader that holds a
// descriptor "setup.inf" and a contents file "cContents.dat".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quarto {

// One edition. Texts are 1251 bytes.
struct Tbook {
    std::string RegKey;      // "Main" "RegKey"
    std::string DisplayName; // "Main" "Title" + " - " + "Main" "Title2"
    std::string BookFolder;  // the edition's folder, without a trailing separator
    bool Audio = false;
    bool Video = false;
    bool Pictures = false;
    bool Music = false;
    bool UTF = false; // pages use the UTF-8 template "Base/Back_UTF.htm"
    bool BR = false;  // line-break tags in pages are made ineffective
};

// Descriptor defaults (1251).
const std::string& TitleNotSpecified(); // "!!!Не указано!!!"
inline constexpr std::string_view DefaultRegKey = "empty";

// Reads an edition's descriptor; bookFolder becomes the entry's BookFolder as given.
Tbook ReadBookDescriptor(const std::string& bookFolder);

// Finds the editions under appFolder + "Books": folders sorted by name in byte order, hidden
// entries skipped, each listed only when it holds both "setup.inf" and "ccontents.dat"
// (names matched ignoring case). appFolder ends with a separator.
std::vector<Tbook> FindBooks(const std::string& appFolder);

// Index of the first edition whose RegKey equals key exactly, or -1.
int FindBookByKey(const std::vector<Tbook>& books, std::string_view key);

// Names of the options that are on, comma-separated, in the order
// Audio,Pictures,Music,Video,UTF,BR; "-" when none is.
std::string BookOptionNames(const Tbook& book);

} // namespace quarto
