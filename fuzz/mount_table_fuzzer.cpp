// The mount table as the disc roots read it (OpticalMounts): every entry found is the device
// and mount point fields of a line of the table, on an optical drive, sorted, each mount point
// once; and a mount point of any bytes, written with the table's escapes, reads back as itself.
#include "fuzzer_common.h"

#include "common/AsciiText.h"
#include "platform/DiscDrives.h"

#include <cstdio>

using namespace quarto;
using namespace quarto::fuzz;

namespace {

// A field as the table writes it: blanks, tabs, line breaks and backslashes as octal escapes.
std::string Escaped(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\\') {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\%03o", static_cast<unsigned char>(c));
            out += escape;
        } else {
            out += c;
        }
    }
    return out;
}

// The field with its escapes undone: an independent reading of the table's rule.
std::string Unescaped(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const auto octal = [&](std::size_t at) { return field[at] >= '0' && field[at] <= '7'; };
        if (field[i] == '\\' && i + 3 < field.size() && octal(i + 1) && octal(i + 2) &&
            octal(i + 3)) {
            out += static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                                     (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

bool IsOpticalLine(const std::vector<std::string_view>& fields) {
    const std::string device = Unescaped(fields[0]);
    const std::string type = Unescaped(fields[2]);
    for (const char* prefix : {"/dev/sr", "/dev/scd", "/dev/cdrom"})
        if (device.rfind(prefix, 0) == 0)
            return true;
    return type == "iso9660" || type == "udf";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view table = InputView(data, size);
    const std::vector<TOpticalMount> mounts = OpticalMounts(table);

    // The entries a line of the table gives, before sorting and merging.
    std::vector<TOpticalMount> lines;
    std::size_t start = 0;
    while (start < table.size()) {
        std::size_t end = table.find('\n', start);
        if (end == std::string_view::npos)
            end = table.size();
        const std::vector<std::string_view> fields =
            FieldsOf(table.substr(start, end - start), IsSpaceOrTab);
        start = end + 1;
        if (fields.size() >= 3 && IsOpticalLine(fields) && !Unescaped(fields[1]).empty())
            lines.push_back({Unescaped(fields[0]), Unescaped(fields[1])});
    }
    for (std::size_t i = 0; i < mounts.size(); ++i) {
        FUZZ_CHECK(!mounts[i].MountPoint.empty());
        FUZZ_CHECK(std::find(lines.begin(), lines.end(), mounts[i]) != lines.end());
        if (i > 0) {
            const TOpticalMount& a = mounts[i - 1];
            const TOpticalMount& b = mounts[i];
            FUZZ_CHECK(a.Device < b.Device ||
                       (a.Device == b.Device && a.MountPoint < b.MountPoint));
        }
        for (std::size_t j = 0; j < i; ++j)
            FUZZ_CHECK(mounts[j].MountPoint != mounts[i].MountPoint);
    }
    // Every mount point of the optical lines is found (under the first device that has it).
    for (const TOpticalMount& line : lines)
        FUZZ_CHECK(std::any_of(mounts.begin(), mounts.end(), [&](const TOpticalMount& m) {
            return m.MountPoint == line.MountPoint;
        }));

    // The input as one mount point, written as the system writes it, reads back unchanged.
    if (!table.empty()) {
        const std::string line = "/dev/sr0 " + Escaped(table) + " iso9660 ro,nosuid 0 0\n";
        const std::vector<TOpticalMount> one = OpticalMounts("proc /proc proc rw 0 0\n" + line);
        FUZZ_CHECK(one.size() == 1);
        FUZZ_CHECK(one[0].Device == "/dev/sr0" && one[0].MountPoint == table);
    }
    return 0;
}
