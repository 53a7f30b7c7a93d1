// Text lists and the code page 1251 text: conversion to and from UTF-8, case mapping.
#include "fuzzer_common.h"

#include "common/Cp1251.h"
#include "common/TextList.h"

using namespace quarto;
using namespace quarto::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = InputView(data, size);

    // Lines never hold a line end or a NUL, and they come from the text in order.
    const std::vector<std::string> lines = SplitTextList(text);
    std::size_t total = 0;
    for (const std::string& line : lines) {
        FUZZ_CHECK(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
        total += line.size();
    }
    FUZZ_CHECK(total <= text.size());
    {
        TMemoryScope memory;
        memory.Files.Put("/fuzz/list.txt", text);
        FUZZ_CHECK(ReadTextList("/fuzz/list.txt") == lines);
    }

    // 1251 -> UTF-8 -> 1251 gives the bytes back.
    const std::string utf8 = Cp1251ToUtf8(text);
    std::string back;
    FUZZ_CHECK(TryUtf8ToCp1251(utf8, back));
    FUZZ_CHECK(back == text);
    FUZZ_CHECK(Utf8ToCp1251(utf8) == text);

    // The input as UTF-8: what converts, converts back to the same UTF-8.
    std::string cp;
    if (TryUtf8ToCp1251(text, cp)) {
        FUZZ_CHECK(Cp1251ToUtf8(cp) == text);
        FUZZ_CHECK(Utf8ToCp1251(text) == cp);
    } else {
        // Every malformed sequence or missing character still gives bytes.
        (void)Utf8ToCp1251(text);
    }

    // Case mapping keeps the length (and, in UTF-8, every byte position).
    const std::string lower = LowerCase1251(text);
    const std::string upper = UpperCase1251(text);
    FUZZ_CHECK(lower.size() == text.size() && upper.size() == text.size());
    FUZZ_CHECK(SameText1251(lower, upper));
    FUZZ_CHECK(LowerCase1251(upper) == LowerCase1251(lower));
    FUZZ_CHECK(LowerCaseUtf8(text).size() == text.size());
    FUZZ_CHECK(LowerCaseUtf8(utf8) == Cp1251ToUtf8(lower));
    return 0;
}
