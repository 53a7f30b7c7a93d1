// The lines of the authoring sources' lists (contents.txt, pictures.txt, music.txt, audio.txt,
// video.txt): UTF-8 text, a byte-order mark allowed, lines ending in LF or CR LF, blank lines
// and lines starting with "#" skipped; every fault names the file and the line.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace quarto {

// What separates the fields of a source line.
inline constexpr const char* SourceBlanks = " \t\r";

struct TSourceLine {
    const std::string& Text;   // without its line end
    std::size_t First;         // where its first field begins
    int Number;                // from 1
    const std::string& FileName;

    // Throws EEditionSourceError naming the file and the line.
    [[noreturn]] void Fail(const std::string& what) const;
    // The code page 1251 bytes of a field; fails when the field cannot be converted.
    std::string To1251(const std::string& utf8) const;
};

// The fields of a source line, read in turn from a position: words separated by SourceBlanks,
// then the rest of the line as one text (a title).
class TSourceFields {
public:
    TSourceFields(const std::string& line, std::size_t from) : FLine(line), FPos(from) {}
    // The next word; "" when only blanks are left.
    std::string Next();
    // What follows the words read, without the blanks around it; "" when only blanks are left.
    std::string Rest() const;

private:
    const std::string& FLine;
    std::size_t FPos;
};

// The whole file at path; throws EEditionSourceError with the file layer's message when it
// cannot be read.
std::string ReadSourceFile(const std::string& path);

// Calls each for every line of text that is neither blank nor a comment; a line holding a NUL
// byte fails.
void ForEachSourceLine(const std::string& text, const std::string& fileName,
                       const std::function<void(const TSourceLine&)>& each);

} // namespace quarto
