#include "ArticleStore.h"

#include <stdexcept>

namespace quarto {

std::vector<TArticlePart> CollectArticleParts(const std::vector<TContentsRec>& list, int article) {
    if (article < 0 || static_cast<std::size_t>(article) >= list.size())
        throw std::out_of_range("Article " + std::to_string(article) +
                                " is not in the contents of " + std::to_string(list.size()) +
                                " entries.");
    std::vector<TArticlePart> parts;
    const std::uint8_t level0 = list[article].Level;
    for (std::size_t j = static_cast<std::size_t>(article); j < list.size(); ++j) {
        if (j > static_cast<std::size_t>(article) && list[j].Level <= level0)
            break;
        parts.push_back({list[j].DataOffset, list[j].Kind, list[j].Level});
    }
    return parts;
}

std::string WrapBody(const std::string& plain, const TArticlePart& lastPart) {
    if (lastPart.Kind == KindPlainText)
        return lastPart.Level != 0 ? "<PRE>" + plain + "</PRE>" : plain;
    if (lastPart.Kind == KindHtml)
        return plain;
    return {};
}

std::string ReadArticleBody(TTextStore& store, const std::vector<TArticlePart>& parts) {
    TMemoryStream plain;
    for (const TArticlePart& part : parts) {
        store.AppendRecord(part.DataOffset, plain);
        // The last four bytes of every stored text are not part of it.
        std::string& bytes = plain.Data();
        if (bytes.size() >= TextStoreFormat::TrailerLength)
            bytes.replace(bytes.size() - TextStoreFormat::TrailerLength,
                          TextStoreFormat::TrailerLength, TextStoreFormat::TrailerLength, ' ');
    }
    // Only the last part decides the wrapping of the whole body.
    return parts.empty() ? std::string() : WrapBody(plain.Data(), parts.back());
}

std::string ReadArticle(const std::string& bookFolder, const std::vector<TContentsRec>& list,
                        int article) {
    const std::vector<TArticlePart> parts = CollectArticleParts(list, article);
    TTextStore store(bookFolder);
    return ReadArticleBody(store, parts);
}

} // namespace quarto
