// Writing an edition's word index ("Voc.txt", "Pos.rec", "FileIndex.rec", "InnerBase.dat") as
// the reader searches it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quarto {

// The words of an article's stored text (code page 1251) in order, as the index holds them:
// runs of letters (Latin, Cyrillic, Ё/ё) and digits in the text outside tags and character
// references, lower-cased; a hyphen between two letters or digits stays inside the word as a
// double quote (the query normaliser puts one in its place).
std::vector<std::string> IndexWords(std::string_view text);

// Collects the words of an edition's articles, one call per contents entry in order (the entry
// number is the article number), then writes the index.
class TSearchIndexWriter {
public:
    // Adds the next article's text (code page 1251). Throws std::runtime_error beyond the
    // articles 16-bit article numbers can address.
    void AddArticle(std::string_view text);
    // Writes the four index files into folder out (which must exist).
    void Write(const std::string& out) const;

private:
    std::unordered_map<std::string, std::uint32_t> FIds; // word -> id in order of first sight
    std::vector<std::string> FWords;                     // id -> word
    std::vector<std::vector<std::uint32_t>> FArticles;   // the word ids of each article, in order
};

} // namespace quarto
