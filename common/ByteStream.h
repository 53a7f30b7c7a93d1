// Byte streams: a sequence of bytes with a size and a position. Reads report how many
// bytes they delivered; writes go to the position and extend the stream when needed.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace quarto {

// A stream that cannot be opened, read or written.
class EStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A write that failed because the disk is full (or the user's quota used up).
class EDiskFullError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

class TStream {
public:
    virtual ~TStream() = default;
    virtual std::int64_t Size() const = 0;
    virtual std::int64_t Position() const = 0;
    // Moves to an absolute position, 0..Size(); anything else throws EStreamError.
    virtual void Seek(std::int64_t position) = 0;
    // Reads up to count bytes at the position; returns the number delivered (0 at the end).
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Writes count bytes at the position, growing the stream; throws EStreamError on failure.
    virtual void Write(const void* buffer, std::size_t count) = 0;
};

// A stream held in memory; Data() is the whole content.
class TMemoryStream final : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string data) : FData(std::move(data)) {}

    std::int64_t Size() const override { return static_cast<std::int64_t>(FData.size()); }
    std::int64_t Position() const override { return FPosition; }
    void Seek(std::int64_t position) override;
    std::size_t Read(void* buffer, std::size_t count) override;
    void Write(const void* buffer, std::size_t count) override;

    const std::string& Data() const { return FData; }
    std::string& Data() { return FData; }
    // Empties the stream and moves to 0.
    void Clear();
    // Cuts or extends (with zero bytes) the stream; the position is kept within it.
    void SetSize(std::int64_t size);

private:
    std::string FData;
    std::int64_t FPosition = 0;
};

class TReadableFile;
class TWritableFile;

// A stream over a file, opened through the file layer.
class TFileStream final : public TStream {
public:
    enum class TMode { Read, Create };
    // Read: an existing file, read only. Create: a new or emptied file, written from its start
    // to its end (a write anywhere but at the end throws EStreamError).
    // Throws EStreamError naming the file when it cannot be opened.
    TFileStream(const std::string& path, TMode mode);
    ~TFileStream() override;
    TFileStream(TFileStream&&) noexcept;
    TFileStream& operator=(TFileStream&&) noexcept;

    std::int64_t Size() const override { return FSize; }
    std::int64_t Position() const override { return FPosition; }
    void Seek(std::int64_t position) override;
    std::size_t Read(void* buffer, std::size_t count) override;
    void Write(const void* buffer, std::size_t count) override;
    const std::string& Path() const { return FPath; }

private:
    std::unique_ptr<TReadableFile> FIn;
    std::unique_ptr<TWritableFile> FOut;
    std::string FPath;
    std::int64_t FPosition = 0;
    std::int64_t FSize = 0;
};

} // namespace quarto
