#include "RecordFile.h"

namespace quarto {

TRecordFile::TRecordFile(std::string bytes, std::size_t recordSize)
    : FBytes(std::move(bytes)), FRecordSize(recordSize == 0 ? 1 : recordSize) {}

TRecordFile TRecordFile::Load(const std::string& path, std::size_t recordSize) {
    return TRecordFile(ReadWholeFile(path), recordSize);
}

std::string_view TRecordFile::Record(std::size_t i) const {
    if (i >= Count())
        throw std::out_of_range("Record " + std::to_string(i) + " is outside the file of " +
                                std::to_string(Count()) + " records.");
    return std::string_view(FBytes).substr(i * FRecordSize, FRecordSize);
}

} // namespace quarto
